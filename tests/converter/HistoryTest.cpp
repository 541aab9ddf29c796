// What an output folder keeps of its exercises across runs: the history
// file read back as written and read past damage, a rerun's entries taking
// the place of the earlier ones, the names earlier runs gave; and the
// heart-rate zones and training load an exercise is listed with.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tools/host/convert/History.h"
#include "tools/host/convert/OutputNames.h"
#include "tools/host/views/OverviewExercise.h"

namespace {

OverviewExercise entry(const std::string& key, std::vector<std::string> files) {
    OverviewExercise e;
    e.key = key;
    e.name = e.source = key;
    e.files = std::move(files);
    return e;
}

std::string historyText(const std::vector<OverviewExercise>& exercises) {
    std::ostringstream out;
    writeHistory(exercises, out);
    return out.str();
}

TEST(History_file, readsBackWhatItWroteAndWritesItAgainByteForByte) {
    OverviewExercise full = entry("2012/12072201.hrm@2012-07-22T10:00:00", {"2012/12072201.svg", "2012/a\tb\\c.fit"});
    full.name = "Evening ride\nwith a line break";
    full.sport = "Cycling";
    full.start = 1342951200;
    full.startText = "2012-07-22 10:00";
    full.duration = 3600.5;
    full.distance = 30123.4567;
    full.averageHeartRate = 141;
    full.maximumHeartRate = 172;
    full.energy = 800;
    full.ascent = 320;
    full.zoneSeconds = {60, 120.25, 1800, 1500, 120};
    full.zoneSource = "zones of the maximum heart rate 195 bpm (the file's MaxHR)";
    full.load = 10.123456;
    const OverviewExercise bare = entry("#lost.hrm", {"#lost.svg"});

    const std::string text = historyText({full, bare});
    const History history = readHistory(text);
    EXPECT_TRUE(history.known);
    EXPECT_EQ(history.problems, std::vector<std::string>{});
    ASSERT_EQ(history.exercises.size(), 2u);
    const OverviewExercise& read = history.exercises[0];
    EXPECT_EQ(read.key, full.key);
    EXPECT_EQ(read.name, full.name);
    EXPECT_EQ(read.files, full.files);
    EXPECT_EQ(read.start, full.start);
    EXPECT_EQ(read.duration, 3600.5);
    EXPECT_EQ(read.distance, 30123.457) << "to the millimetre";
    EXPECT_EQ(read.zoneSeconds, full.zoneSeconds);
    EXPECT_EQ(read.load, 10.123);
    EXPECT_EQ(read.averageHeartRate, 141);
    EXPECT_EQ(read.ascent, 320);
    const OverviewExercise& none = history.exercises[1];
    EXPECT_FALSE(none.start || none.duration || none.averageHeartRate || none.load);
    EXPECT_TRUE(none.zoneSeconds.empty());
    EXPECT_EQ(historyText(history.exercises), text) << "read and written again, the same bytes";
}

TEST(History_file, damagedLinesAreSkippedAndSaidTheRestRead) {
    const std::string good = historyText({entry("good.hrm", {"good.svg"})});
    const std::string goodLine = good.substr(good.find("good.hrm"));
    const std::string columns19 = "k\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
    const std::string text = good + "\n" + "too few\tcolumns\n" + columns19 + "../outside.svg\n" + columns19 +
                             "/etc/passwd\n" + "k\t\t\t\t\t\tlong\t\t\t\t\t\t\t\t\t\t\t\t\tx.svg\n" +
                             "k\t\t\t\t\t\t\t\t\t\t\t\t5\t\t\t\t\t\t\tx.svg\n" + "bad\\qescape" + columns19.substr(1) +
                             "x.svg\n" + "\t" + columns19.substr(1) + "nokey.svg\n" + goodLine;
    const History history = readHistory(text);
    ASSERT_EQ(history.exercises.size(), 2u);
    EXPECT_EQ(history.exercises[1].key, "good.hrm");
    ASSERT_EQ(history.problems.size(), 7u);
    for (size_t k = 0; k < history.problems.size(); ++k)
        EXPECT_EQ(history.problems[k].rfind("line " + std::to_string(k + 5) + ": ", 0), 0u) << history.problems[k];
    EXPECT_NE(history.problems[1].find("outside the folder"), std::string::npos) << history.problems[1];
    EXPECT_NE(history.problems[3].find("duration"), std::string::npos) << history.problems[3];

    const History other = readHistory("polarhost overview history\tversion 2\n" + goodLine);
    EXPECT_FALSE(other.known) << "a later version is neither read nor to be written over";
    EXPECT_TRUE(other.exercises.empty());
    EXPECT_TRUE(readHistory("").known);
}

TEST(History_merge, aRerunReplacesItsEntriesInPlaceAndKeepsItsOtherFiles) {
    const std::vector<OverviewExercise> earlier = {entry("a", {"a.svg", "a.fit"}), entry("b", {"b.svg"}),
                                                   entry("c", {"c.svg", "old/c.fit"})};
    OverviewExercise a = entry("a", {"a.svg"}), copy = entry("a", {"a (2).svg"});
    a.name = "a again";
    copy.name = "a copy";
    std::ostringstream text;
    writeHistory(earlier, text,
                 {historyLine(a), historyLine(entry("d", {"d.svg"})), historyLine(entry("c", {"c.svg"})), historyLine(copy)});
    const std::vector<OverviewExercise> merged = readHistory(text.str()).exercises;
    std::vector<std::string> keys;
    for (const OverviewExercise& e : merged) keys.push_back(e.key);
    ASSERT_EQ(keys, (std::vector<std::string>{"a", "a", "b", "c", "d"})) << "a copy in the run beside the first";
    EXPECT_EQ(merged[0].name, "a again");
    EXPECT_EQ(merged[0].files, (std::vector<std::string>{"a.svg", "a.fit"})) << "the FIT of an earlier run stays";
    EXPECT_EQ(merged[1].files, (std::vector<std::string>{"a (2).svg"}));
    EXPECT_EQ(merged[3].files, (std::vector<std::string>{"c.svg"})) << "a file elsewhere is no longer this one's";
}

TEST(History_names, aNameAnEarlierRunGaveAnotherExerciseIsNeverTaken) {
    OutputNames names("out");
    names.hold("misc/ride.svg", "misc/ride.hrm@2012-05-01T10:00:00");
    names.hold("misc/ride.fit", "misc/ride.hrm@2012-05-01T10:00:00");
    names.hold("misc/Ride (2).svg", "misc/ride.hrm@2013-06-01T10:00:00");
    EXPECT_EQ(names.claim("misc", "ride", {".tcx", ".svg"}, "misc/ride.hrm@2014-01-01T10:00:00"), "out/misc/ride (3)")
        << "nor with another extension, nor in another case";
    EXPECT_EQ(names.claim("misc", "ride", {".svg"}, "misc/ride.hrm@2013-06-01T10:00:00"), "out/misc/ride (2)")
        << "the name it had";
    EXPECT_EQ(names.claim("misc", "ride", {".svg"}, "misc/ride.hrm@2012-05-01T10:00:00"), "out/misc/ride");
    EXPECT_EQ(names.claim("misc", "ride", {".svg"}, "misc/ride.hrm@2012-05-01T10:00:00"), "out/misc/ride (4)")
        << "a copy in the same run gets a name of its own";
}

// 2024-05-12 08:00:00 UTC.
constexpr int64_t kStart = 1715500800;

// Heart rates one a `step` seconds.
class RateTrack : public Track {
public:
    RateTrack(std::vector<std::optional<int>> rates, int32_t step) : Track(TrackOrigin{}), rates_(std::move(rates)), step_(step) {
        origin_.rawFile = "made.hrm";
        start_ = kStart;
        duration_ = static_cast<double>(rates_.size()) * step;
        timed_ = step > 0;
        laps_ = {wholeLap()};
    }
    int32_t size() const override { return static_cast<int32_t>(rates_.size()); }
    TrackPoint point(int32_t index) const override {
        TrackPoint p;
        p.offset = index * step_;
        p.time = start_ + p.offset;
        p.heartRate = rates_[static_cast<size_t>(index)];
        return p;
    }

private:
    std::vector<std::optional<int>> rates_;
    int32_t step_;
};

TEST(ExerciseLoad_zones, edwardsLoadOfAMadeUpExerciseByHand) {
    // Maximum 200: zones from 100, 120, 140, 160 and 180 bpm. Samples a
    // minute apart: 99 (no zone), 100 (1), 119 (1), 120 (2), 150 (3),
    // 179 (4), 180 (5), 230 (5, above the maximum), none (no heart rate).
    const RateTrack track({99, 100, 119, 120, 150, 179, 180, 230, std::nullopt}, 60);
    const OverviewExercise exercise = overviewExercise(track, {200, "the file's MaxHR"});
    EXPECT_EQ(exercise.zoneSeconds, (std::vector<double>{120, 60, 60, 60, 120}));
    // 2 min x 1 + 1 x 2 + 1 x 3 + 1 x 4 + 2 x 5.
    ASSERT_TRUE(exercise.load);
    EXPECT_DOUBLE_EQ(*exercise.load, 21);
    EXPECT_EQ(exercise.maximumHeartRate, 230);
    EXPECT_EQ(exercise.averageHeartRate, 147);  // 1177 / 8
    EXPECT_NE(exercise.zoneSource.find("200 bpm (the file's MaxHR)"), std::string::npos) << exercise.zoneSource;

    // The same rates against another person's maximum fall in other zones.
    const OverviewExercise lower = overviewExercise(track, {150, "--max-hr"});
    EXPECT_EQ(lower.zoneSeconds, (std::vector<double>{0, 120, 60, 60, 240}));
    EXPECT_NE(lower.zoneSource.find("150 bpm (--max-hr)"), std::string::npos) << lower.zoneSource;
}

TEST(ExerciseLoad_zones, noMaximumOrNoTimeGivesNeitherZonesNorLoad) {
    const OverviewExercise unknown = overviewExercise(RateTrack({150, 160}, 5), {});
    EXPECT_TRUE(unknown.zoneSeconds.empty());
    EXPECT_FALSE(unknown.load);
    EXPECT_EQ(unknown.averageHeartRate, 155);
    EXPECT_NE(unknown.zoneSource.find("--max-hr"), std::string::npos) << unknown.zoneSource;

    const OverviewExercise untimed = overviewExercise(RateTrack({150, 160}, 0), {190, "the file's MaxHR"});
    EXPECT_TRUE(untimed.zoneSeconds.empty());
    EXPECT_FALSE(untimed.load);

    const OverviewExercise noRate = overviewExercise(RateTrack({std::nullopt}, 5), {190, "the file's MaxHR"});
    EXPECT_FALSE(noRate.averageHeartRate || noRate.load);
    EXPECT_TRUE(noRate.zoneSource.empty());
}

}  // namespace
