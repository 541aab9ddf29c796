// The conversion rules whose mistakes the readers would not show: what a
// header says about units and channels, the sport it tells, the offset from
// UTC of a wall-clock time, and what in an R-R recording is a beat.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "tools/host/recording/BeatSeries.h"
#include "tools/host/recording/RecordedSport.h"
#include "tools/host/recording/RecordingFacts.h"
#include "tools/host/time/CivilTime.h"
#include "tools/host/time/TimeZone.h"

TEST(ConversionRules_facts, unitsAndChannelsFromTheHeader) {
    const struct {
        const char* header;
        bool us, speed, cadence, altitude, power;
    } cases[] = {
        {"Version=106\r\nSMode=111110000\r\n", false, true, true, true, true},
        {"Version=106\r\nSMode=001000010\r\n", true, false, false, true, false},
        {"Version=106\nSMode=10100011\n", true, true, false, true, false},  // eight characters, LF only
        {"Version=106\r\nSMode=0000000\r\n", false, false, false, false, false},
        // Before version 106 rows hold heart rate, speed and altitude; Mode says which and the units.
        {"Version=105\r\nMode=011\r\n", true, true, false, false, false},
        {"Version=102\r\nMode=100\r\n", false, false, false, true, false},
        {"Version=105\r\nSMode=000000010\r\n", true, true, false, true, false},
        // Keys after the samples' start are rows, not keys.
        {"Version=106\r\nSMode=111000000\r\n[HRData]\r\nSMode=000000010\r\n", false, true, true, true, false},
    };
    for (const auto& c : cases) {
        const RecordingFacts facts = readRecordingFacts(c.header);
        EXPECT_EQ(facts.usUnits, c.us) << c.header;
        EXPECT_EQ(facts.speed, c.speed) << c.header;
        EXPECT_EQ(facts.cadence, c.cadence) << c.header;
        EXPECT_EQ(facts.altitude, c.altitude) << c.header;
        EXPECT_EQ(facts.power, c.power) << c.header;
    }
}

namespace {

// Samples of the given speeds (km/h, or mph in a file of US units) and
// cadences, one after another.
RecordedSamples samplesOf(std::vector<std::pair<double, int>> speedAndCadence) {
    return RecordedSamples{static_cast<int32_t>(speedAndCadence.size()), [speedAndCadence](int32_t i) {
                               SampleRecord sample{};
                               sample.Speed = speedAndCadence[static_cast<size_t>(i)].first;
                               sample.Cadence = static_cast<uint8_t>(speedAndCadence[static_cast<size_t>(i)].second);
                               return sample;
                           }};
}

// `count` samples at `kmh`, every `coastEvery`-th with the cadence 0.
RecordedSamples steady(double kmh, int count = 100, int coastEvery = 0) {
    std::vector<std::pair<double, int>> samples;
    for (int i = 0; i < count; ++i) samples.emplace_back(kmh + (i % 3) * 0.5, coastEvery && i % coastEvery == 0 ? 0 : 85);
    return samplesOf(samples);
}

}  // namespace

// The "HR + cycling data" flag tells nothing; power, a cycle computer and
// the speeds do.
TEST(ConversionRules_facts, sportFromTheRecording) {
    const auto sport = [](const char* header, const RecordedSamples& samples) {
        return recordedSport(readRecordingFacts(header), samples);
    };
    const char* flagged = "Version=106\r\nMonitor=22\r\nSMode=110000100\r\n";  // speed, cadence, the flag
    EXPECT_EQ(sport("Version=106\r\nSMode=000100100\r\n", {}), Sport::Cycling) << "power";
    EXPECT_EQ(sport("Version=106\r\nSMode=001000100\r\n", {}), Sport::Other) << "the flag with altitude alone";
    EXPECT_EQ(sport("Version=106\r\nSMode=000000010\r\n", {}), Sport::Other) << "heart rate only";
    EXPECT_EQ(sport(flagged, steady(11)), Sport::Running) << "a run with the flag, a foot pod's cadence";
    EXPECT_EQ(sport(flagged, steady(5)), Sport::Walking) << "a walk with the flag";
    EXPECT_EQ(sport(flagged, steady(26)), Sport::Cycling);
    EXPECT_EQ(sport(flagged, steady(14, 100, 10)), Sport::Cycling) << "coasting: the cadence 0 while moving";
    EXPECT_EQ(sport(flagged, steady(17)), Sport::Other) << "too fast for most runs, too slow to be sure of a ride";
    EXPECT_EQ(sport(flagged, steady(1e300)), Sport::Cycling) << "a speed beyond every bin counts in the last";
    EXPECT_EQ(sport("Version=106\r\nSMode=10000001\r\n", steady(15)), Sport::Cycling) << "15 mph is 24 km/h";
    EXPECT_EQ(sport("Version=106\r\nMonitor=34\r\nSMode=100000100\r\n", steady(11)), Sport::Cycling)
        << "a cycle computer's speed comes from a wheel";
    EXPECT_EQ(sport("Version=106\r\nInterval=238\r\nSMode=000000000\r\n", {}), Sport::Other);
    EXPECT_EQ(sport("Version=105\r\nMode=011\r\n", steady(25)), Sport::Cycling) << "the old line's speed";
    EXPECT_EQ(sport("Version=105\r\nMode=001\r\n", {}), Sport::Other);
    // Too little movement to tell: a fifth of the samples at least, and ten.
    std::vector<std::pair<double, int>> mostlyStill(100, {0, 0});
    for (int i = 0; i < 15; ++i) mostlyStill[static_cast<size_t>(i)] = {11, 85};
    EXPECT_EQ(sport(flagged, samplesOf(mostlyStill)), Sport::Other);
    EXPECT_EQ(sport(flagged, steady(11, 9)), Sport::Other);
    EXPECT_EQ(recordedSport(std::nullopt, {}), Sport::Other);
    EXPECT_EQ(parseSport("cycling"), Sport::Cycling);
    EXPECT_EQ(parseSport("generic"), Sport::Other);
    EXPECT_EQ(sportName(*parseSport("cross_country_skiing")), "cross_country_skiing");
    EXPECT_FALSE(parseSport("Cycling"));
}

// --sport first, then the diary's number where the map has it, then the recording.
TEST(ConversionRules_facts, sportFromTheDiaryByTheMap) {
    const std::optional<RecordingFacts> ride = readRecordingFacts("Version=106\r\nSMode=000100000\r\n");
    SportRule rule;
    const auto sportFor = [&](int32_t number) { return chooseSport(ride, number, rule, {}).sport; };
    EXPECT_EQ(sportFor(1), Sport::Running);
    EXPECT_EQ(sportFor(3), Sport::Swimming);
    EXPECT_EQ(sportFor(9), Sport::Cycling) << "a number not mapped keeps the recording's sport";
    EXPECT_TRUE(chooseSport(ride, 9, rule, {}).fromRecording);
    EXPECT_FALSE(chooseSport(ride, 1, rule, {}).fromRecording);
    std::string error;
    ASSERT_TRUE(rule.map.parse("9=rowing,1=walking", error)) << error;
    EXPECT_EQ(sportName(sportFor(9)), "rowing");
    EXPECT_EQ(sportName(sportFor(1)), "walking");
    EXPECT_EQ(sportFor(2), Sport::Cycling) << "the numbers not given keep the common list";
    rule.chosen = Sport::Running;
    EXPECT_EQ(sportFor(9), Sport::Running);
    EXPECT_FALSE(chooseSport(ride, 9, rule, {}).fromRecording);
    for (const char* wrong : {"9", "9=", "=rowing", "x=rowing", "9=Rowing", "-1=rowing", "9=rowing,,1=running"})
        EXPECT_FALSE(SportMap().parse(wrong, error)) << wrong;
}

TEST(ConversionRules_time, utcOffsetOption) {
    EXPECT_EQ(parseUtcOffset("+02:00"), 7200);
    EXPECT_EQ(parseUtcOffset("-03:30"), -12600);
    EXPECT_EQ(parseUtcOffset("+00:00"), 0);
    EXPECT_EQ(parseUtcOffset("+14:00"), 14 * 3600);
    for (const char* refused : {"+14:01", "02:00", "+2:00", "+02:60", "+0200", "+02:00 ", "UTC"})
        EXPECT_EQ(parseUtcOffset(refused), std::nullopt) << refused;
    EXPECT_EQ(utcOffsetText(-12600), "UTC-03:30");
}

// The machine's zone with the daylight saving rule of the exercise's own
// date, also of a year whose rules differ from today's.
TEST(ConversionRules_time, machineZoneForThatDate) {
    const char* saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    setenv("TZ", "Europe/Zurich", 1);
    tzset();
    const auto at = [](int year, int month, int day, int hour) {
        return machineUtcOffset(*unixDays(year, month, day) * 86400 + hour * 3600);
    };
    EXPECT_EQ(at(2024, 5, 12, 10), 7200);
    EXPECT_EQ(at(2024, 1, 12, 10), 3600);
    EXPECT_EQ(at(2024, 10, 27, 1), 7200);  // the last hour of summer time
    EXPECT_EQ(at(2024, 10, 27, 4), 3600);
    EXPECT_EQ(at(1980, 7, 1, 12), 3600);  // Switzerland kept no summer time before 1981
    setenv("TZ", "America/St_Johns", 1);
    tzset();
    EXPECT_EQ(at(2024, 1, 12, 10), -12600);
    if (saved)
        setenv("TZ", previous.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

// What is a beat: 0, negative values and text are no time; 3000 ms and more
// is time without a beat; the rows end at the first empty line.
TEST(ConversionRules_beats, gapsMoveTheTimelineOnAndOtherNonBeatsAreSkipped) {
    const BeatSeries series = BeatSeries::fromFileText(
        "[Params]\r\nInterval=238\r\n\r\n[HRData]\r\n800\r\n0\r\n-5\r\nx\r\n3999\r\n750\t12\r\n600\r\n\r\n700\r\n");
    ASSERT_EQ(series.beats().size(), 3u);
    EXPECT_EQ(series.beats()[0].at, 800);
    EXPECT_EQ(series.beats()[1].at, 800 + 3999 + 750);
    EXPECT_EQ(series.beats()[1].interval, 750);
    EXPECT_EQ(series.beats()[2].at, 6149);
    EXPECT_EQ(series.elapsed(), 6149);
    EXPECT_EQ(series.seconds(), 7);

    EXPECT_FALSE(series.heartRateAt(799));
    EXPECT_EQ(series.heartRateAt(800), 75);
    EXPECT_EQ(series.heartRateAt(3799), 75);
    EXPECT_FALSE(series.heartRateAt(3800)) << "3 s without a beat: no heart rate";
    EXPECT_FALSE(series.heartRateAt(5548));
    EXPECT_EQ(series.heartRateAt(5549), 80);
    EXPECT_EQ(series.heartRateAt(7000), 100);
    EXPECT_EQ(heartRateOf(857), 70);  // 70.01 rounded
    EXPECT_EQ(heartRateOf(2999), 20);

    EXPECT_TRUE(BeatSeries::fromFileText("800\n700\n").beats().empty()) << "rows only after [HRData]";
}
