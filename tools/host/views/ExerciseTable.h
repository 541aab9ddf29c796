#pragma once

#include <pugixml.hpp>
#include <string>
#include <vector>

#include "tools/host/views/OverviewPage.h"

// The list of every exercise: one row each, in the order given, with a
// heading row per year where they span more than one.

// What a set of exercises adds up to: "12 exercises, 10:02:00, 312.50 km, 5400 kcal".
struct Totals {
    int count = 0;
    double seconds = 0, metres = 0;
    int kcal = 0;
    void add(const OverviewExercise& exercise);
    std::string text() const;
};

void addExerciseTable(pugi::xml_node parent, const std::vector<OverviewExercise>& exercises);
