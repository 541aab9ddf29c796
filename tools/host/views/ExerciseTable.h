#pragma once

#include <pugixml.hpp>
#include <string>
#include <vector>

#include "tools/host/views/OverviewPage.h"

// The list of every exercise: one row each, in the order given (newest
// first, those without a date last), in a table per year. Each table is a
// disclosure headed by its year's totals, the first alone open: a browser
// lays out only what is open, so a history of thousands shows at once, and
// its find opens the year that holds what it finds.

// What a set of exercises adds up to: "12 exercises, 10:02:00, 312.50 km, 5400 kcal".
struct Totals {
    int count = 0;
    double seconds = 0, metres = 0;
    int kcal = 0;
    void add(const OverviewExercise& exercise);
    std::string text() const;
};

void addExerciseTables(pugi::xml_node parent, const std::vector<OverviewExercise>& exercises);
