#pragma once

#include <pugixml.hpp>
#include <vector>

#include "tools/host/views/OverviewPage.h"

// Fitness, fatigue and form over the whole history (TrainingLoad.h) as a
// chart of three lines, with what they mean and, month by month, the
// numbers behind them.
void addLoadChart(pugi::xml_node parent, const std::vector<OverviewExercise>& exercises);
