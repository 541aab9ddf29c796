#include <gtest/gtest.h>

#include <cmath>

#include "TestFiles.h"
#include "framework/Convert.h"
#include "processing/ExerciseLoader.h"
#include "processing/HrmReader.h"

// Fields of the packed host records are compared as values (unary +): the
// assertions bind references, and a packed field may be misaligned for one.
namespace {

constexpr double kSecond = 1.0 / 86400;

std::vector<std::string> with(std::vector<std::string> lines, const std::vector<std::string>& more) {
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

// An exercise of three samples with `sections` before the samples.
Hrm exercise(const std::vector<std::string>& sections) {
    Hrm hrm;
    hrm.sections = sections;
    hrm.heartRates(3);
    return hrm;
}

double secondsOfDay(fw::DateTime value) { return std::round((value - std::floor(value)) / kSecond); }

}  // namespace

TEST(HrmHeader_split, columnsGoToTheirSlotsAndTheRestToSlotN) {
    struct Case {
        int count;
        const char* line;
        std::vector<std::string> slots;  // slots 0 to count
    };
    const Case cases[] = {
        {4, "a\tb\tc\td\te", {"a", "b", "c", "d", "e"}},
        {4, "a\tb", {"a", "", "", "", "b"}},           // fewer TABs: empty middle, last column in slot N
        {2, "a\tb\tc\td", {"a", "b", "c\td"}},         // surplus stays with its TABs
        {1, "", {"", ""}},
        {3, "\t\t\t", {"", "", "", ""}},
        {19, "x", std::vector<std::string>(19, "")},
    };
    ColumnSlots slots;
    for (const Case& c : cases) {
        slots.fill("stale");
        SplitColumns(c.count, c.line, slots);
        std::vector<std::string> expected = c.slots;
        if (c.count == 19) expected.push_back("x");
        for (size_t i = 0; i < slots.size(); ++i)
            EXPECT_EQ(slots[i], i < expected.size() ? expected[i] : "") << c.line << " slot " << i;
    }
}

TEST(HrmHeader_keys, parameterValuesFillTheSummary) {
    Hrm hrm = exercise({"VO2max=61", "StartDelay=0", "[Trip]", "123", "45", "0", "0", "1500", "250", "400", "0"});
    hrm.version = "102";
    hrm.monitor = "300";
    hrm.interval = "300";
    hrm.maxHR = "185";
    hrm.length = "1:02:03.4";
    TPluginState state;
    state.Settings.HRMaxDev = true;
    ASSERT_EQ(LoadExercise(state, hrm.lines()), 3);
    const ExerciseSummary& s = state.Summary;
    EXPECT_EQ(+s.StartDateTime, fw::encodeDate(2024, 5, 1) + fw::encodeTime(10, 0, 0, 0));
    EXPECT_EQ(+s.MonitorType, 44);   // low 8 bits of 300
    EXPECT_EQ(+s.IntervalSec, 44);
    EXPECT_EQ(+s.MaxHR, 185);
    EXPECT_EQ(+s.VO2max, 61);
    EXPECT_EQ(+s.DurationSec, 3723);
    EXPECT_EQ(+s.TripAscent, 450);         // altitude factor 10 below version 103
    EXPECT_EQ(+s.TripMaxAltitude, 15000);
    EXPECT_EQ(+s.TripAvgSpeed, 250);
    EXPECT_EQ(+s.TripMaxSpeed, 400);

    state.Settings.HRMaxDev = false;
    hrm.version = "103";
    hrm.sections = {"VO2max=fast", "[Trip]", "1", "45", "0", "0", "0", "0", "0"};
    ASSERT_EQ(LoadExercise(state, hrm.lines()), 3);  // a VO2max that is no number does not end the load
    EXPECT_EQ(+state.Summary.MaxHR, 0);
    EXPECT_EQ(+state.Summary.VO2max, 0);
    EXPECT_EQ(+state.Summary.TripAscent, 45);
}

TEST(HrmHeader_keys, startTimeAndLengthByTheColonPosition) {
    struct Case {
        const char* value;
        double seconds;  // -1: conversion error
    };
    const Case starts[] = {{"9:05:30.0", 32730}, {"09:05:30.0", 32730}, {"0905300", 0},  {"", 0},
                           {"24:00:00.0", -1},   {"9:65:00.0", -1},     {"1x:00:00.0", -1}};
    for (const Case& c : starts) {
        Hrm hrm = exercise({"StartTime=" + std::string(c.value)});
        hrm.startTime.clear();
        TPluginState state;
        if (c.seconds < 0) {
            EXPECT_THROW(LoadExercise(state, hrm.lines()), fw::ConvertError) << c.value;
            EXPECT_EQ(state.ExerciseDatas.Count(), 0);
            continue;
        }
        ASSERT_EQ(LoadExercise(state, hrm.lines()), 3) << c.value;
        EXPECT_EQ(std::floor(state.Summary.StartDateTime), fw::encodeDate(2024, 5, 1)) << c.value;
        EXPECT_EQ(secondsOfDay(state.Summary.StartDateTime), c.seconds) << c.value;
    }
    const Case lengths[] = {{"1:02:03.4", 3723},        {"01:02:03.4", 3723}, {"101:02:03.4", 101 * 3600 + 123},
                            {"0:75:00.0", 75 * 60},     {"25:00:10.0", 90010}, {"12345", 0},
                            {"1:0x:00.0", -1}};
    for (const Case& c : lengths) {
        Hrm hrm = exercise({});
        hrm.length = c.value;
        TPluginState state;
        if (c.seconds < 0) {
            EXPECT_THROW(LoadExercise(state, hrm.lines()), fw::ConvertError) << c.value;
            continue;
        }
        LoadExercise(state, hrm.lines());
        EXPECT_EQ(+state.Summary.DurationSec, c.seconds) << c.value;
    }
}

TEST(HrmHeader_keys, firstLiteralInTestOrderWinsCaseSensitively) {
    TPluginState state;
    // "SMode=" is tested before "Mode=", so this is no Mode line.
    Hrm hrm;
    hrm.smode = "101000000";
    hrm.rows = {"120\t253\t410"};
    ASSERT_EQ(LoadExercise(state, hrm.lines()), 1);
    EXPECT_DOUBLE_EQ(state.ExerciseDatas.GetSpeed(0), 25.3);

    // "Monitor=" is tested before "VO2max=", and its value counts from the line start.
    hrm = exercise({"Monitor=7 VO2max=55"});
    EXPECT_THROW(LoadExercise(state, hrm.lines()), fw::ConvertError);

    // Keys are case-sensitive: this line is ignored.
    hrm = exercise({"interval=abc", "vo2max=50"});
    ASSERT_EQ(LoadExercise(state, hrm.lines()), 3);
    EXPECT_EQ(+state.Summary.VO2max, 0);
}

TEST(HrmHeader_keys, headerValueErrorsEndTheLoad) {
    struct Case {
        const char* line;
        bool formatError;  // else a conversion error
    };
    const Case cases[] = {{"Version=1O6", false},    {"Monitor=", false},       {"Interval=5s", false},
                          {"MaxHR=x", false},        {"StartDelay=-", false},   {"Date=20241301", false},
                          {"Date=2024", false},      {"StartTime=10:60:00.0", false},
                          {"SMode=", true}};
    for (const Case& c : cases) {
        TPluginState state;
        const std::vector<std::string> lines = exercise({c.line}).lines();
        if (c.formatError)
            EXPECT_THROW(LoadExercise(state, lines), HrmFormatError) << c.line;
        else
            EXPECT_THROW(LoadExercise(state, lines), fw::ConvertError) << c.line;
        EXPECT_EQ(state.ExerciseDatas.Count(), 0) << c.line;
    }
}

TEST(HrmHeader_note, noteRules) {
    std::vector<std::string> longNote{"[Note]"};
    for (int i = 1; i <= 300; ++i) longNote.push_back("line " + std::to_string(i));
    longNote.push_back("");
    TPluginState state;
    ASSERT_EQ(LoadExercise(state, exercise(longNote).lines()), 3);
    std::string expected = "line 1";
    for (int i = 2; i <= 250; ++i) expected += "\r\nline " + std::to_string(i);
    EXPECT_EQ(state.ExerciseNote, expected);

    LoadExercise(state, exercise({"[Note]", "", "not in the note", ""}).lines());
    EXPECT_EQ(state.ExerciseNote, "");
    LoadExercise(state, exercise({"[Note]", "first", "second", "", "after"}).lines());
    EXPECT_EQ(state.ExerciseNote, "first\r\nsecond");

    // Note lines pass key recognition too.
    LoadExercise(state, exercise({"[Note]", "VO2max=55", ""}).lines());
    EXPECT_EQ(+state.Summary.VO2max, 55);
    EXPECT_THROW(LoadExercise(state, exercise({"[Note]", "Interval=fast", ""}).lines()), fw::ConvertError);
}

TEST(HrmHeader_note, lookingAheadPastTheLastLineEndsTheLoad) {
    const std::vector<std::vector<std::string>> files = {
        {"Version=106", "[Note]"},
        {"Version=106", "[Note]", "a note without an end"},
        {"Version=106", "[IntTimes]"},
        with({"Version=106", "[IntTimes]"}, {"0:01:00.0\t0\t0\t140\t150", "0\t0\t0\t0\t0\t0"}),
        {"Version=105", "[IntTimes]", "0:01:00.0\t0\t0\t140\t150", "0\t0\t0\t0\t0\t0", "0\t0\t0\t0\t0"},
    };
    for (std::vector<std::string> lines : files) {
        lines.shrink_to_fit();  // a read past the end leaves the allocation, for the sanitizer build
        TPluginState state;
        EXPECT_THROW(LoadExercise(state, lines), HrmFormatError) << lines.back();
    }
}

TEST(HrmHeader_intTimes, lapRowsAndLimits) {
    std::vector<std::string> laps{"[IntTimes]"};
    for (int l = 1; l <= 250; ++l) laps = with(laps, lapLines("0:00:" + std::to_string(10 + l % 50) + ".0", 1, 2, 3, 4, 5));
    laps.push_back("");
    TPluginState state;
    ASSERT_EQ(LoadExercise(state, exercise(laps).lines()), 3);
    EXPECT_EQ(state.LapList.Count(), 201);
    EXPECT_EQ(+state.Summary.LapCount, 201);

    laps = {"[IntTimes]"};
    for (int l = 1; l <= 5; ++l) laps = with(laps, lapLines("0:01:00.0", 1, 2, 3, 4, 5));
    laps.insert(laps.begin() + 1 + 3 * 5, "");  // an empty line after the third lap ends the laps
    LoadExercise(state, exercise(laps).lines());
    EXPECT_EQ(+state.Summary.LapCount, 3);
}

TEST(HrmHeader_intTimes, versionDecidesRowsPerLapAndPowerColumns) {
    // Version 105: three rows per lap, so these six lines are two laps and row 4 is never read.
    const std::vector<std::string> laps = {"[IntTimes]",      "1:02:03.4\t0\t0\t140\t300", "0\t0\t0\t254\t90\t100",
                                           "0\t0\t0\t12\t0",  "10:02:03.4\t0\t0\t141\t151", "0\t0\t0\t0\t0\t0",
                                           "0\t0\t0\t0\t0",   ""};
    Hrm hrm = exercise(laps);
    hrm.version = "105";
    TPluginState state;
    ASSERT_EQ(LoadExercise(state, hrm.lines()), 3);
    ASSERT_EQ(state.LapList.Count(), 2);
    LapRecord first, second;
    state.LapList.Get(0, &first);
    state.LapList.Get(1, &second);
    EXPECT_DOUBLE_EQ(+first.LapSplit, 3723.4);
    EXPECT_DOUBLE_EQ(+second.LapSplit, 36123.4);
    EXPECT_EQ(+first.LapMaxHR, 44);
    EXPECT_EQ(+first.LapAvgHR, 140);
    EXPECT_DOUBLE_EQ(+first.LapSpeed, 25.4);
    EXPECT_EQ(+first.LapCadence, 90);
    EXPECT_EQ(+first.LapAscent, 12);
    EXPECT_EQ(+first.LapPower, 0);
    EXPECT_EQ(+first.LapTemperature, 0);

    // Version 106: five rows per lap, power and temperature from row 4.
    hrm = exercise(with(with({"[IntTimes]"}, lapLines("0:10:00.0", 130, 150, 200, 180, 215)), {""}));
    TPluginState extended;
    ASSERT_EQ(LoadExercise(extended, hrm.lines()), 3);
    ASSERT_EQ(extended.LapList.Count(), 1);
    extended.LapList.Get(0, &first);
    EXPECT_EQ(+first.LapPower, 180);
    EXPECT_EQ(+first.LapTemperature, 215);
}

TEST(HrmHeader_intTimes, splitShapesAndBadColumns) {
    // A split whose colon is elsewhere keeps the previous lap's split.
    std::vector<std::string> laps = with(lapLines("0:10:00.0", 1, 2, 3, 4, 5), lapLines("100:00:00.0", 1, 2, 3, 4, 5));
    laps = with(laps, lapLines("12345", 1, 2, 3, 4, 5));
    Hrm hrm = exercise(with(with({"[IntTimes]"}, laps), {""}));
    TPluginState state;
    ASSERT_EQ(LoadExercise(state, hrm.lines()), 3);
    ASSERT_EQ(state.LapList.Count(), 3);
    LapRecord record;
    const double splits[] = {600, 360000, 360000};
    for (int l = 0; l < 3; ++l) {
        state.LapList.Get(l, &record);
        EXPECT_DOUBLE_EQ(+record.LapSplit, splits[l]) << l;
    }

    // A lap column that is no number ends the load; laps built before it stay.
    laps = with(lapLines("0:10:00.0", 1, 2, 3, 4, 5), lapLines("0:20:00.0", 1, 2, 3, 4, 5));
    laps[5 + 1] = "0\t0\t0\tfast\t0\t0";
    TPluginState failing;
    EXPECT_THROW(LoadExercise(failing, exercise(with(with({"[IntTimes]"}, laps), {""})).lines()), fw::ConvertError);
    EXPECT_EQ(failing.LapList.Count(), 1);
    EXPECT_EQ(+failing.Summary.LapCount, 1);
}

TEST(HrmHeader_trip, guardedRunKeepsTheValuesReadBeforeAFailure) {
    TPluginState state;
    Hrm hrm = exercise({"[Trip]", "12.5", "123", "0", "0", "high", "250", "400", ""});
    ASSERT_EQ(LoadExercise(state, hrm.lines()), 3);
    EXPECT_EQ(+state.Summary.TripAscent, 123);
    EXPECT_EQ(+state.Summary.TripMaxAltitude, 0);
    EXPECT_EQ(+state.Summary.TripAvgSpeed, 0);
    EXPECT_EQ(+state.Summary.TripMaxSpeed, 0);
    EXPECT_EQ(+state.Summary.TotalDistance, 0);  // replaced by the integrated distance

    // At the end of the file the trip values just stop; the load goes on.
    std::vector<std::string> lines = {"Version=106", "Interval=5", "[Trip]", "1.5", "77"};
    EXPECT_EQ(LoadExercise(state, lines), 0);
    EXPECT_EQ(+state.Summary.TripAscent, 77);
    EXPECT_EQ(+state.Summary.IntervalSec, 5);
}
