#include <gtest/gtest.h>

#include <filesystem>

#include "TestFiles.h"
#include "framework/Zip.h"
#include "plugin/uExportFunctions.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;  // entry name, content

class ArchiveTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        std::filesystem::create_directory(path("src"));
        settings("GPS=1\r\n");
    }

    // An archive holding these entries under exactly these names.
    std::string archive(const std::string& name, const Entries& entries) {
        std::vector<fw::ZipSource> sources;
        for (size_t i = 0; i < entries.size(); ++i) {
            const std::string source = path("src/" + std::to_string(sources.size()));
            writeFile(source, entries[i].second);
            sources.push_back({entries[i].first, source});
        }
        fw::writeZip(path(name), sources);
        return path(name);
    }

    static std::string rows(int count) { return Hrm().heartRates(count).text(); }

    // Heart rate of sample `index` as the host receives it.
    uint8_t heartRate(int32_t index) const { return sample(index)[0]; }
};

using Archive_count = ArchiveTest;
using Archive_index = ArchiveTest;
using Archive_extraction = ArchiveTest;
using Archive_damage = ArchiveTest;

}  // namespace

TEST_F(Archive_count, everyEntryCountsAndNothingIsExtracted) {
    const std::string ride = archive("ride.hrz", {{"a.hrm", rows(3)}, {"b.hrm", rows(5)}, {"c.hrm", rows(7)},
                                                  {"a.gpx", "<gpx/>"}});
    EXPECT_EQ(GetExerciseNumberFromRawFile(ride.c_str()), 4);
    EXPECT_EQ(GetExerciseNumberFromRawFileEx(ride.c_str(), 12345), 4);
    EXPECT_FALSE(pathExists(workDir()));
    EXPECT_EQ(GetExerciseNumberFromRawFile(path("missing.hrz").c_str()), 0);
    EXPECT_EQ(GetExerciseNumberFromRawFile(path("MISSING.HRM").c_str()), 1);
    EXPECT_EQ(GetExerciseNumberFromRawFile(write("text.hrz", "no archive").c_str()), 0);
    EXPECT_EQ(GetExerciseNumberFromRawFile(nullptr), 0);
}

TEST_F(Archive_index, indexNamesTheListedHrmFiles) {
    const std::string ride = archive("ride.hrz", {{"c.hrm", rows(7)}, {"a.hrm", rows(3)}, {"b.hrm", rows(5)},
                                                  {"a.gpx", "<gpx/>"}});
    // Listed by name here: a, b, c.
    EXPECT_EQ(analyse(ride, 0), 3);
    EXPECT_EQ(analyse(ride, 2), 7);
    EXPECT_EQ(analyse(ride, 1), 5);
    // Beyond the files, or negative: 0, and the host still reads the previous exercise.
    for (int32_t index : {3, 4, -1, INT32_MIN}) {
        EXPECT_EQ(analyse(ride, index), 0) << index;
        bool delivered = false;
        summary(&delivered);
        EXPECT_TRUE(delivered) << index;
        EXPECT_EQ(heartRate(4), 104) << index;
    }
    EXPECT_EQ(AnalyseExercise(ride.c_str(), nullptr), 0);
    EXPECT_EQ(heartRate(4), 104);

    // A listed file that has gone: the exercise is cleared.
    std::filesystem::remove(workDir() + "/c.hrm");
    EXPECT_EQ(analyse(ride, 2), 0);
    bool delivered = true;
    summary(&delivered);
    EXPECT_FALSE(delivered);
}

TEST_F(Archive_index, trackBesideTheExerciseInsideTheArchiveIsMerged) {
    const std::string track = "<gpx><trk><trkseg><trkpt lat=\"48.5\" lon=\"11.5\"><time>2024-05-01T10:00:05Z</time>"
                              "</trkpt></trkseg></trk></gpx>";
    const std::string ride = archive("ride.hrz", {{"a.hrm", rows(3)}, {"a.gpx", track}, {"b.hrm", rows(3)}});
    ASSERT_EQ(analyse(ride, 0), 3);
    EXPECT_EQ(at<double>(sample(2), 58), 48.5);
    EXPECT_EQ(at<double>(sample(2), 66), 11.5);
    ASSERT_EQ(analyse(ride, 1), 3);
    EXPECT_EQ(at<double>(sample(2), 58), 0);
}

TEST_F(Archive_extraction, oneExtractionServesEveryIndexOfAnArchive) {
    const std::string ride = archive("ride.hrz", {{"a.hrm", rows(3)}, {"b.hrm", rows(5)}});
    ASSERT_EQ(analyse(ride, 0), 3);
    const std::string marker = workDir() + "/marker.txt";
    writeFile(marker, "left by the test");
    std::filesystem::remove(ride);
    EXPECT_EQ(analyse(ride, 1), 5);  // served from the first extraction
    EXPECT_TRUE(pathExists(marker));
}

TEST_F(Archive_extraction, anotherOrAChangedArchiveIsExtractedAgain) {
    const std::string ride = archive("ride.hrz", {{"a.hrm", rows(3)}, {"b.hrm", rows(5)}});
    const std::string other = archive("other.hrz", {{"x.hrm", rows(9)}});
    ASSERT_EQ(analyse(ride, 1), 5);
    const std::string marker = workDir() + "/marker.txt";
    writeFile(marker, "left by the test");
    EXPECT_EQ(analyse(other, 0), 9);
    EXPECT_FALSE(pathExists(marker));
    EXPECT_EQ(analyse(other, 1), 0);
    EXPECT_EQ(analyse(ride, 1), 5);

    archive("ride.hrz", {{"a.hrm", rows(4)}});  // same path, new content
    EXPECT_EQ(analyse(ride, 0), 4);
    EXPECT_EQ(analyse(ride, 1), 0);
}

TEST_F(Archive_extraction, hostileEntryNamesNeverWriteOutside) {
    const std::string absolute = path("outside/abs.hrm");
    const std::string ride = archive("ride.hrz", {{"../evil.hrm", rows(2)},
                                                  {"..\\evilbs.hrm", rows(2)},
                                                  {"sub/../../evil2.hrm", rows(2)},
                                                  {absolute, rows(2)},
                                                  {"C:x.hrm", rows(2)},
                                                  {"good.hrm", rows(6)}});
    EXPECT_EQ(GetExerciseNumberFromRawFile(ride.c_str()), 6);
    EXPECT_EQ(analyse(ride, 0), 6);
    EXPECT_EQ(analyse(ride, 1), 0);
    for (const char* outside : {"evil.hrm", "evilbs.hrm", "evil2.hrm", "..\\evilbs.hrm", "outside"})
        EXPECT_FALSE(pathExists(path(outside))) << outside;
    EXPECT_FALSE(pathExists(absolute));
    std::vector<std::string> extracted;
    for (const auto& entry : std::filesystem::directory_iterator(workDir()))
        extracted.push_back(entry.path().filename().string());
    EXPECT_EQ(extracted, std::vector<std::string>{"good.hrm"});
}

TEST_F(Archive_extraction, unloadRemovesTheWorkDirectory) {
    const std::string ride = archive("ride.hrz", {{"a.hrm", rows(3)}});
    ASSERT_EQ(analyse(ride, 0), 3);
    ASSERT_TRUE(pathExists(workDir() + "/a.hrm"));
    DonePluginState();
    EXPECT_FALSE(pathExists(workDir()));
    InitPluginState();
    EXPECT_EQ(analyse(write("single.hrm", rows(2))), 2);
    DonePluginState();  // no archive this time: nothing to remove, nothing created
    EXPECT_FALSE(pathExists(workDir()));
}

TEST_F(Archive_damage, truncatedCorruptOrEmptyArchivesGiveNoSamples) {
    const std::string valid = readFile(archive("valid.hrz", {{"a.hrm", rows(500)}}));
    std::string corrupt = valid;
    for (size_t i = 60; i < 90 && i < corrupt.size(); ++i) corrupt[i] = static_cast<char>(corrupt[i] ^ 0x5A);
    const std::pair<const char*, std::string> files[] = {
        {"truncated.hrz", valid.substr(0, valid.size() / 2)},
        {"corrupt.hrz", corrupt},
        {"empty.hrz", ""},
        {"text.hrz", "PK\x03\x04 not really"},
    };
    for (const auto& [name, content] : files) {
        const std::string file = write(name, content);
        EXPECT_EQ(analyse(file, 0), 0) << name;
        bool delivered = true;
        summary(&delivered);
        EXPECT_FALSE(delivered) << name;
    }
    EXPECT_EQ(GetExerciseNumberFromRawFile(path("truncated.hrz").c_str()), 0);
    EXPECT_EQ(analyse(archive("nohrm.hrz", {{"a.gpx", "<gpx/>"}, {"notes.txt", "x"}}), 0), 0);
    EXPECT_EQ(analyse(path("valid.hrz"), 0), 500);
}

TEST_F(Archive_damage, failureInsideTheRunIsCaughtLikeTheSingleFilePath) {
    // A negative length fails when the end time is computed, after the samples are stored.
    Hrm hrm;
    hrm.length = "-1:00:00.0";
    hrm.heartRates(4);
    EXPECT_EQ(analyse(write("single.hrm", hrm.text())), 4);
    EXPECT_EQ(analyse(archive("ride.hrz", {{"a.hrm", hrm.text()}}), 0), 4);
    bool delivered = false;
    summary(&delivered);
    EXPECT_TRUE(delivered);
}
