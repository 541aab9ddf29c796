#pragma once

#include <pugixml.hpp>
#include <string>
#include <vector>

#include "tools/host/views/OverviewPage.h"

// Time in the heart-rate zones as people read it at a glance: a small bar
// of five parts in an exercise's row, and the legend naming the zones with
// how their bounds were found.

// "Zone 1 (very light)" ... "Zone 5 (maximum)".
const std::vector<std::string>& zoneNames();

// Each zone's share of `zoneSeconds` in per cent, as the bar draws it; empty
// where no second was spent in a zone.
std::vector<double> zoneShares(const std::vector<double>& zoneSeconds);

// The bar in `parent`: a part per zone as wide as its share, the minutes in
// its tooltip; a dash without heart rate. The style sheet draws it from
// where each zone ends (pageStyleSheet).
void addZoneBar(pugi::xml_node parent, const std::vector<double>& zoneSeconds);

// The zones' names beside their colours where any exercise has zones, and
// the bounds each exercise's zones were taken from, with how many exercises
// each, and how many have none.
void addZoneLegend(pugi::xml_node parent, const std::vector<OverviewExercise>& exercises);
