#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/host/recording/TextEncoding.h"
#include "tools/host/track/Sport.h"

// A person file (.ppd) of the monitor's Windows software: among the
// person's settings, the list of sports the day diaries' sport numbers
// index. Its section "[PersonSports]" holds the number of sports on its
// first line, then six lines per sport: its number, colour, name, short
// name and two more.
struct PersonFile {
    std::map<int32_t, std::string> sports;  // number -> the person's name for the sport, UTF-8
    std::vector<std::string> problems;      // one sentence each, of what was skipped
};

// The sports of a person file's text in `codePage`. What cannot be read is
// skipped and said; a text without the section names no sport.
PersonFile readPersonFile(std::string_view text, CodePage codePage);

// The person file at `path`; nullopt with `error` set when it cannot be
// read or is far larger than any person file.
std::optional<PersonFile> readPersonFileAt(const std::string& path, CodePage codePage, std::string& error);

// FIT's sport of a person's name for a sport where the name tells it
// clearly ("Nordic walking": walking; "Road cycling": cycling): the words
// of exactly one sport found in it, in any case. nullopt where none, or
// those of several ("Run & bike"), are found.
std::optional<Sport> sportOfName(std::string_view name);
