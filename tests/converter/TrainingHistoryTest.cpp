// The numbers the overview page draws from a history: training load and
// form by hand, the sums per year, sport and week, the zone bars' shares
// and each sport's records.
#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "tools/host/time/CivilTime.h"
#include "tools/host/views/RecordsTable.h"
#include "tools/host/views/TrainingLoad.h"
#include "tools/host/views/TrainingVolume.h"
#include "tools/host/views/ZoneBars.h"

namespace {

int64_t noonOf(int year, int month, int day) { return *unixDays(year, month, day) * 86400 + 43200; }

OverviewExercise done(const std::string& sport, int64_t start, double minutes, double kilometres = 0) {
    OverviewExercise e;
    e.name = e.source = sport + " " + std::to_string(start);
    e.sport = sport;
    e.start = start;
    e.duration = minutes * 60;
    if (kilometres > 0) e.distance = kilometres * 1000;
    return e;
}

// Two days of 42 and of 50 + 34 with a rest day between, given out of order.
TEST(TrainingLoad_model, fitnessFatigueAndFormByHand) {
    const std::vector<FormDay> days = trainingLoad({{102, 50}, {100, 42}, {102, 34}});
    ASSERT_EQ(days.size(), 3u) << "the day without exercise counts";
    EXPECT_EQ(days[1].day, 101);
    EXPECT_EQ(days[1].load, 0);
    EXPECT_EQ(days[2].load, 84);
    // Day 100: fitness 0 + 42/42, fatigue 0 + 42/7; form what the day began with.
    EXPECT_DOUBLE_EQ(days[0].fitness, 1);
    EXPECT_DOUBLE_EQ(days[0].fatigue, 6);
    EXPECT_DOUBLE_EQ(days[0].form, 0);
    // Day 101, no load: 1 - 1/42 and 6 - 6/7; form 1 - 6 of the day before.
    EXPECT_DOUBLE_EQ(days[1].fitness, 41.0 / 42);
    EXPECT_DOUBLE_EQ(days[1].fatigue, 36.0 / 7);
    EXPECT_DOUBLE_EQ(days[1].form, -5);
    // Day 102, 84: 41/42 * 41/42 + 84/42 and 36/7 * 6/7 + 84/7.
    EXPECT_NEAR(days[2].fitness, 1681.0 / 1764 + 2, 1e-12);
    EXPECT_NEAR(days[2].fatigue, 216.0 / 49 + 12, 1e-12);
    EXPECT_NEAR(days[2].form, 41.0 / 42 - 36.0 / 7, 1e-12);
    EXPECT_TRUE(trainingLoad({}).empty());
}

TEST(TrainingLoad_model, aDateDecadesFromTheRestLeftOut) {
    const std::vector<DayLoad> kept = busiestSpan({{9000, 1}, {-700000, 2}, {9010, 3}, {9399, 4}, {2900000, 5}}, 400);
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].load, 1);
    EXPECT_EQ(kept[2].load, 4);
    EXPECT_EQ(busiestSpan({{5, 1}, {900, 2}}, 400).size(), 1u) << "the earliest of equal spans";
    EXPECT_EQ(busiestSpan({{5, 1}, {900, 2}}, 400)[0].day, 5);
    EXPECT_TRUE(busiestSpan({}, 400).empty());
}

TEST(TrainingVolume_bins, yearsSumTheirExercisesPerSportAndKeepAnEmptyYear) {
    const std::vector<OverviewExercise> exercises = {
        done("Running", noonOf(2003, 4, 10), 50, 10),  done("Cycling", noonOf(2003, 12, 31), 120, 60),
        done("Running", noonOf(2005, 1, 1), 40, 8.5), done("Running", noonOf(2003, 1, 1), 30, 5),
        done("Cycling", noonOf(2005, 6, 1), 60, 25),
    };
    const std::vector<std::string> sports = sportsByTime(exercises);
    ASSERT_EQ(sports, (std::vector<std::string>{"Cycling", "Running"})) << "most time first";
    const std::vector<VolumeBin> years = yearBins(exercises, sports);
    ASSERT_EQ(years.size(), 3u);
    EXPECT_EQ(years[0].label, "2003");
    EXPECT_EQ(years[1].label, "2004");
    EXPECT_EQ(years[1].count, 0);
    EXPECT_EQ(years[0].seconds, (std::vector<double>{7200, 4800}));
    EXPECT_EQ(years[0].metres, (std::vector<double>{60000, 15000}));
    EXPECT_EQ(years[2].seconds, (std::vector<double>{3600, 2400}));
    EXPECT_EQ(years[2].metres, (std::vector<double>{25000, 8500}));
}

TEST(TrainingVolume_bins, weeksRunMondayToSundayAcrossTheYearsEnds) {
    EXPECT_EQ(mondayOf(*unixDays(1969, 12, 31)), *unixDays(1969, 12, 29));
    EXPECT_EQ(mondayOf(*unixDays(2024, 5, 12)), *unixDays(2024, 5, 6));
    const int64_t sundayNight = *unixDays(2024, 1, 7) * 86400 + 86399;
    const std::vector<OverviewExercise> exercises = {
        done("Running", sundayNight, 30),                       // week 1
        done("Running", sundayNight + 1, 45),                   // Monday: week 2
        done("Running", noonOf(2025, 1, 2), 20),                // the week of 2024-12-30
        done("Running", noonOf(2023, 12, 31), 60),              // the year before's
    };
    const std::vector<VolumeBin> weeks = weekBins(exercises, {"Running"}, 2024);
    ASSERT_EQ(weeks.size(), 53u);  // 2024-01-01 a Monday, 2024-12-31 a Tuesday
    EXPECT_EQ(weeks.front().label, "2024-01-01");
    EXPECT_EQ(weeks.back().label, "2024-12-30");
    EXPECT_EQ(weeks[0].seconds[0], 1800);
    EXPECT_EQ(weeks[1].seconds[0], 2700);
    EXPECT_EQ(weeks[52].seconds[0], 1200);
    int counted = 0;
    for (const VolumeBin& week : weeks) counted += week.count;
    EXPECT_EQ(counted, 3);
}

TEST(ZoneBars_shares, proportionalToTheSecondsAndNoneWithoutHeartRate) {
    const std::vector<double> shares = zoneShares({60, 0, 180, 120, 240});
    ASSERT_EQ(shares.size(), 5u);
    EXPECT_DOUBLE_EQ(shares[0], 10);
    EXPECT_DOUBLE_EQ(shares[1], 0);
    EXPECT_DOUBLE_EQ(shares[2], 30);
    EXPECT_DOUBLE_EQ(shares[3], 20);
    EXPECT_DOUBLE_EQ(shares[4], 40);
    EXPECT_TRUE(zoneShares({}).empty());
    EXPECT_TRUE(zoneShares({0, 0, 0, 0, 0}).empty());
}

TEST(RecordsTable_records, eachSportsBestOfEachKindTheEarliestOfEqualOnes) {
    std::vector<OverviewExercise> exercises = {
        done("Running", noonOf(2010, 5, 1), 200, 42.2),  // longest and farthest run
        done("Cycling", noonOf(2011, 5, 1), 300, 150),   // longest ride
        done("Running", noonOf(2012, 5, 1), 90, 21.1),   // most climbing
        done("Cycling", noonOf(2013, 5, 1), 240, 180),   // farthest ride
        done("Running", noonOf(2009, 5, 1), 60, 12),     // equal load, earlier
        done("Swimming", noonOf(2014, 5, 1), 45),        // no distance
    };
    exercises[2].ascent = 900;
    exercises[0].ascent = 300;
    exercises[0].load = 250;
    exercises[4].load = 250;
    exercises[1].load = 400;
    const std::vector<std::optional<size_t>> running = sportRecords(exercises, "Running");
    EXPECT_EQ(running, (std::vector<std::optional<size_t>>{0, 0, 2, 4}));
    const std::vector<std::optional<size_t>> cycling = sportRecords(exercises, "Cycling");
    EXPECT_EQ(cycling, (std::vector<std::optional<size_t>>{1, 3, std::nullopt, 1}));
    const std::vector<std::optional<size_t>> swimming = sportRecords(exercises, "Swimming");
    EXPECT_EQ(swimming, (std::vector<std::optional<size_t>>{5, std::nullopt, std::nullopt, std::nullopt}));
}

}  // namespace
