#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/host/recording/TextEncoding.h"

// The day diary `yyyymmdd.pdd` the monitor's Windows software keeps beside
// the exercise files: what the exercise files do not hold (the exercise's
// name and note, sport, energy, and which files belong to it).
//
// Layout: text in a single-byte code page, lines ending in CR LF, columns
// separated by TAB. Sections "[DayInfo]" and "[ExerciseInfo1]" to
// "[ExerciseInfoN]"; blank lines may separate them. A section's first line
// is a header of six numbers: layout version (100, 101), info rows (the
// header line counts as one), number rows, columns per number row, text
// rows, longest text ("101 1 24 6 12 512"). The number rows follow the info
// rows, then one line per text row. Older software writes 5 text rows,
// later software 12.
//   [DayInfo]       number row 1 column 1: the date yyyymmdd
//   [ExerciseInfoN] number row 1: column 5 start (seconds after midnight),
//                   column 6 total time (s); row 2: column 1 sport (an index
//                   into the person's own list of sports), column 6 energy
//                   (kcal); row 3: column 1 distance (m), column 6 ascent (m)
//                   text row 0 name, 1 note, 2 exercise file, 5 GPX track,
//                   6 R-R recording (files by name, in the diary's folder);
//                   older diaries may leave the name empty and write the
//                   text as the note.

struct DiaryDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const DiaryDate&) const = default;
};

// One [ExerciseInfoN] section. A value is absent when its row or column is
// missing or holds no whole number in range (no negative quantities, a
// start within the day).
struct DiaryExercise {
    int section = 0;                   // N
    std::optional<int32_t> start;      // seconds after midnight
    std::optional<int32_t> totalTime;  // seconds
    std::optional<int32_t> sport;
    std::optional<int32_t> energy;    // kcal
    std::optional<int32_t> distance;  // metres
    std::optional<int32_t> ascent;    // metres
    // UTF-8. A text is one line of the diary, so it holds no CR or LF.
    std::string name;
    std::string note;
    // As the diary writes them, in UTF-8, neither checked nor resolved
    // against the folder; empty when the diary names no file.
    std::string exerciseFile;
    std::string trackFile;
    std::string rrFile;
    bool operator==(const DiaryExercise&) const = default;
};

struct DayDiary {
    std::optional<DiaryDate> date;         // from the first [DayInfo] that gives a valid one
    std::vector<DiaryExercise> exercises;  // in the order of the diary
    // One sentence per section refused or value not read, naming the
    // section: "[ExerciseInfo2]: its header announces 24 number rows of 6
    // columns, but row 7 has 3". A refused section gives no exercise.
    std::vector<std::string> problems;
    bool operator==(const DayDiary&) const = default;
};

// Reads a diary whose texts are in `codePage`. Never throws on any input;
// work and memory grow with the input alone, whatever its headers announce.
DayDiary readDayDiary(std::string_view bytes, CodePage codePage);

// The diary in the file at `path`; nullopt with `error` set ("PATH: No such
// file or directory") when the file cannot be read or is far larger than
// any diary.
std::optional<DayDiary> readDayDiaryFile(const std::string& path, CodePage codePage, std::string& error);
