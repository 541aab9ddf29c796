#pragma once

#include <pugixml.hpp>
#include <string>

#include "tools/host/views/OverviewPage.h"

// The HTML elements the overview page's parts are built of. Every element
// is written with content or as one HTML allows empty, so that the page
// reads alike as XML and as HTML.

// What a cell shows for a value the exercise does not have: an en dash.
inline constexpr char kNone[] = "\xe2\x80\x93";

// An element of `text` (escaped as XML needs), with class `style` where given.
pugi::xml_node element(pugi::xml_node parent, const char* name, const std::string& text = "",
                       const char* style = nullptr);
// A relative link to `path` ('/' between folders, UTF-8).
void link(pugi::xml_node parent, const std::string& path, const std::string& text);
// A relative path as a link: every byte but letters, digits, '/' and "-._~" percent-encoded.
std::string href(const std::string& path);
// The exercise's name, linking its chart where it has one.
void exerciseLink(pugi::xml_node parent, const OverviewExercise& exercise);
// The chart among the exercise's files; empty without one.
std::string chartOf(const OverviewExercise& exercise);
bool isChart(const std::string& path);

// Days since 1970-01-01 of the exercise's start, and its year, in UTC.
int64_t dayOf(int64_t start);
int yearOf(int64_t start);
// "2024-05-12" of a day since 1970-01-01.
std::string dayText(int64_t day);
