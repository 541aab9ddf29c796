#pragma once

#include <optional>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "tools/host/views/OverviewPage.h"

// Each sport's records: the longest exercise, the farthest, the one with
// the most climbing and the one with the highest load.

enum class RecordKind { longest, farthest, climbing, load };
constexpr RecordKind kRecordKinds[] = {RecordKind::longest, RecordKind::farthest, RecordKind::climbing,
                                       RecordKind::load};

// The exercise's value a record compares; nullopt where it has none.
std::optional<double> recordValue(const OverviewExercise& exercise, RecordKind kind);

// The index into `exercises` of the sport's record of each kind, in the
// order of kRecordKinds; nullopt where no exercise of the sport has a value
// above 0. Of equal values the earliest exercise holds the record.
std::vector<std::optional<size_t>> sportRecords(const std::vector<OverviewExercise>& exercises,
                                                const std::string& sport);

// A table of the records of `sports`, each linking its exercise's chart.
void addRecordsTable(pugi::xml_node parent, const std::vector<OverviewExercise>& exercises,
                     const std::vector<std::string>& sports);
