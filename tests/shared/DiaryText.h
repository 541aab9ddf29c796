#pragma once

#include <string>
#include <vector>

// Day diaries (.pdd) of the later layout, made to measure for the tests and
// the benchmark.

// One exercise of a day diary: its start, sport number and energy, and its
// texts as the bytes given (the caller picks the code page).
struct DiaryEntry {
    int start;  // seconds after midnight
    int sport, energy;
    std::string name, note, exerciseFile, trackFile, rrFile;
};

// [DayInfo] of `date` ("yyyymmdd"), then one [ExerciseInfoN] per entry.
std::string diaryText(const std::vector<DiaryEntry>& entries, const std::string& date = "20240512");
