// Hostile archives and a failing environment, through the exports: every
// case ends with a defined answer, nothing written outside the work
// directory and nothing of the plug-in's left after unload.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <zip.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>

#include "../fuzz/FuzzDrivers.h"
#include "TestFiles.h"
#include "framework/Zip.h"
#include "plugin/uExportFunctions.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

struct Entry {
    std::string name;
    std::string content;
};

// An archive written entry by entry from memory, so names and sizes are
// exactly what the test says; `level` 1 keeps large entries quick to make.
void writeArchive(const std::string& path, const std::vector<Entry>& entries, int level = 9) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr);
    for (const Entry& entry : entries) {
        zip_fileinfo info{};
        ASSERT_EQ(zipOpenNewFileInZip64(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                        level, 0),
                  ZIP_OK);
        if (!entry.content.empty()) {
            ASSERT_EQ(zipWriteInFileInZip(zip, entry.content.data(), static_cast<unsigned>(entry.content.size())),
                      ZIP_OK);
        }
        ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
    }
    ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

// One entry of `bytes` zeros, streamed so that no such buffer is held.
void writeZeroEntry(zipFile zip, const std::string& name, uint64_t bytes) {
    zip_fileinfo info{};
    ASSERT_EQ(zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 1, 1),
              ZIP_OK);
    const std::vector<char> zeros(1 << 20, '\0');
    for (uint64_t left = bytes; left > 0;) {
        const unsigned chunk = static_cast<unsigned>(std::min<uint64_t>(left, zeros.size()));
        ASSERT_EQ(zipWriteInFileInZip(zip, zeros.data(), chunk), ZIP_OK);
        left -= chunk;
    }
    ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
}

// A stored entry whose recorded checksum is wrong: it inflates in full and
// only fails when it is closed.
void writeBadChecksumEntry(zipFile zip, const std::string& name, const std::string& content) {
    zip_fileinfo info{};
    ASSERT_EQ(zipOpenNewFileInZip2(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, 0, 0, 1), ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size())), ZIP_OK);
    ASSERT_EQ(zipCloseFileInZipRaw(zip, content.size(), 12345), ZIP_OK);
}

std::vector<std::string> namesIn(const std::string& directory) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(directory, ignored)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string exercise(int samples) { return Hrm().heartRates(samples).text(); }

class Hardening : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        settings("GPS=1\r\nModulateTemp=1\r\nDebug=1\r\n");
    }

    // After unload the temporary directory holds exactly what the test wrote.
    void expectCleanAfterUnload(const std::vector<std::string>& written) {
        DonePluginState();
        std::vector<std::string> expected = written;
        expected.push_back("plugin.ini");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(namesIn(dir_), expected);
        InitPluginState();
    }
};

using Hardening_archive = Hardening;
using Hardening_fault = Hardening;
using Hardening_file = Hardening;
using Hardening_regressions = Hardening;

}  // namespace

TEST_F(Hardening_archive, hostileNamesStayInsideAndLeaveNothing) {
    const std::string archive = path("names.hrz");
    writeArchive(archive, {{"../up.hrm", exercise(2)},
                           {"..\\upbs.hrm", exercise(2)},
                           {"/abs.hrm", exercise(2)},
                           {"\\absbs.hrm", exercise(2)},
                           {"C:drive.hrm", exercise(2)},
                           {"c:\\drive2.hrm", exercise(2)},
                           {"sub\\bs.hrm", exercise(2)},
                           {"sub/inner.hrm", exercise(2)},
                           {"dir/", ""},
                           {"... /dots.hrm", exercise(2)},
                           {"CON.hrm", exercise(2)},
                           {"com1.hrm", exercise(2)},
                           {"tab\tname.hrm", exercise(2)},
                           {std::string(1500, 'l') + ".hrm", exercise(2)},
                           {"nulXhidden.hrm", exercise(2)},
                           {"good.hrm", exercise(7)}});
    // A zero byte inside a stored name, in the local and the central header.
    std::string bytes = readFile(archive);
    for (size_t at = bytes.find("nulXhidden"); at != std::string::npos; at = bytes.find("nulXhidden", at))
        bytes[at + 3] = '\0';
    writeFile(archive, bytes);

    EXPECT_EQ(GetExerciseNumberFromRawFile(archive.c_str()), 16);
    EXPECT_EQ(analyse(archive, 0), 7);
    EXPECT_EQ(analyse(archive, 1), 0);
    EXPECT_EQ(namesIn(workDir()), std::vector<std::string>{"good.hrm"});
    EXPECT_EQ(namesIn(dir_), (std::vector<std::string>{"VoruzUvidav", "names.hrz", "plugin.ini"}));
    EXPECT_FALSE(pathExists("/abs.hrm"));
    expectCleanAfterUnload({"names.hrz"});
}

TEST_F(Hardening_archive, trackEntryThatIsADirectoryIsNoTrack) {
    const std::string archive = path("ride.hrz");
    writeArchive(archive, {{"ride.gpx/", ""}, {"ride.gpx/inner.gpx", "<gpx/>"}, {"ride.hrm", exercise(5)}});
    ASSERT_EQ(analyse(archive, 0), 5);
    EXPECT_EQ(at<double>(sample(1), 58), 0.0);
    EXPECT_EQ(namesIn(workDir()), std::vector<std::string>{"ride.hrm"});
    expectCleanAfterUnload({"ride.hrz"});
}

TEST_F(Hardening_archive, entryBeyond256MiBIsSkipped) {
    const std::string archive = path("bomb.hrz");
    zipFile zip = zipOpen64(archive.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr);
    writeZeroEntry(zip, "big.hrm", (256ull << 20) + 1);
    writeZeroEntry(zip, "fits.gpx", 1 << 20);
    zip_fileinfo info{};
    const std::string small = exercise(4);
    ASSERT_EQ(zipOpenNewFileInZip64(zip, "small.hrm", &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 9, 0), ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(zip, small.data(), static_cast<unsigned>(small.size())), ZIP_OK);
    ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
    ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
    ASSERT_LT(fs::file_size(archive), 2u << 20);  // a bomb: far more inflated than stored

    EXPECT_EQ(GetExerciseNumberFromRawFile(archive.c_str()), 3);
    EXPECT_EQ(analyse(archive, 0), 4);  // small.hrm: big.hrm was never written
    EXPECT_EQ(analyse(archive, 1), 0);
    EXPECT_EQ(namesIn(workDir()), (std::vector<std::string>{"fits.gpx", "small.hrm"}));
    expectCleanAfterUnload({"bomb.hrz"});
}

// The limits of one extraction, at small sizes: a declared size beyond
// what is left is skipped, every byte inflated counts against the total,
// also of entries dropped afterwards, and only so many entries are looked at.
TEST(Hardening_limits, extractionBudgetAndEntryCount) {
    TempDir temp;
    const std::string kib(1024, 'k'), four = kib + kib + kib + kib;
    const std::string honest = temp.file("honest.zip");
    writeArchive(honest, {{"1.hrm", four}, {"2.hrm", four}, {"3.hrm", four}, {"4.hrm", kib}, {"5.hrm", kib}});
    const std::string into = temp.file("out");
    const auto fresh = [&] { fs::remove_all(into), fs::create_directory(into); };

    fresh();
    std::vector<std::string> written;
    EXPECT_EQ(fw::extractZip(honest, into, {8192, 10240, 100}, &written), 4);
    EXPECT_EQ(written, (std::vector<std::string>{"1.hrm", "2.hrm", "4.hrm", "5.hrm"}));  // 3.hrm would pass 10 KiB
    EXPECT_EQ(namesIn(into), written);
    fresh();
    EXPECT_EQ(fw::extractZip(honest, into, {3000, 1ull << 30, 100}), 2);  // only the 1 KiB entries fit
    fresh();
    EXPECT_EQ(fw::extractZip(honest, into, {1ull << 20, 1ull << 30, 2}), 2);

    const std::string damaged = temp.file("damaged.zip");
    zipFile zip = zipOpen64(damaged.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr);
    writeBadChecksumEntry(zip, "bad1.hrm", four);
    writeBadChecksumEntry(zip, "bad2.hrm", four);
    zip_fileinfo info{};
    ASSERT_EQ(zipOpenNewFileInZip(zip, "good.hrm", &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 9), ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(zip, four.data(), static_cast<unsigned>(four.size())), ZIP_OK);
    ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
    ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
    fresh();
    EXPECT_EQ(fw::extractZip(damaged, into, {1ull << 20, 1ull << 30, 100}), 1);
    EXPECT_EQ(namesIn(into), std::vector<std::string>{"good.hrm"});
    fresh();
    EXPECT_EQ(fw::extractZip(damaged, into, {8192, 10240, 100}), 0);
    EXPECT_TRUE(namesIn(into).empty());
}

// What reading an archive costs follows the file's size, not what its
// directory claims. The fuzzer's archive ends in an entry that declares
// 1.4 GB and a name and extra field reaching far past the end of the file;
// an honest archive is larger than the reads' cache; in the third, an entry
// claims 100 MB stored for 200 MB where 8 KiB follow. Each way the plug-in
// and the converter read an archive may bring each byte of it from the disk
// at most twice, in reads of at least 4 KiB on average.
TEST_F(Hardening_archive, diskReadsFollowTheArchiveSize) {
    uint32_t noise = 1;
    const auto noiseBytes = [&] {
        std::string bytes(8 * 1024, '\0');
        for (char& c : bytes) c = static_cast<char>((noise = noise * 1103515245u + 12345u) >> 24);
        return bytes;
    };
    std::vector<Entry> entries{{"ride.hrm", exercise(5)}};
    for (int i = 0; i < 40; ++i) entries.push_back({std::to_string(i) + ".gpx", noiseBytes()});
    const std::string honest = path("honest.hrz");
    writeArchive(honest, entries, 1);

    const std::string liar = path("liar.hrz");
    writeArchive(liar, {{"ride.hrm", exercise(5)}, {"39.gpx", noiseBytes()}}, 1);
    std::string bytes = readFile(liar);
    const auto claim = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    };
    // The sizes in the entry's local header and in its directory record.
    claim(bytes.find("39.gpx") - 30 + 18, 100u << 20), claim(bytes.find("39.gpx") - 30 + 22, 200u << 20);
    claim(bytes.rfind("39.gpx") - 46 + 20, 100u << 20), claim(bytes.rfind("39.gpx") - 46 + 24, 200u << 20);
    writeFile(liar, bytes);
    EXPECT_EQ(fw::readZipEntry(liar, "39.gpx", 1u << 30), std::nullopt);

    for (const std::string& archive : {std::string(POLAR_REGRESSIONS_DIR) + "/hrz/slow-directory.hrz", honest, liar}) {
        SCOPED_TRACE(archive);
        const uint64_t size = fs::file_size(archive);
        const auto expectBounded = [&](const char* what, const std::function<void()>& pass) {
            const fw::ZipDiskReads before = fw::zipDiskReads();
            pass();
            const fw::ZipDiskReads after = fw::zipDiskReads();
            EXPECT_GT(after.reads, before.reads) << what << ": not read through the framework's archive input";
            EXPECT_LE(after.bytes - before.bytes, 2 * size) << what;
            EXPECT_LE(after.reads - before.reads, 2 * (size / 4096 + 1)) << what;
        };
        const std::string into = path("out");
        fs::create_directory(into);
        expectBounded("count", [&] { fw::countZipEntries(archive); });
        expectBounded("extraction", [&] { fw::extractZip(archive, into); });
        expectBounded("entry heads", [&] { fw::readZipEntryHeads(archive, "[HRData]", 64 * 1024); });
        expectBounded("one entry", [&] { fw::readZipEntry(archive, "39.gpx", 64 * 1024); });
        expectBounded("exercise count", [&] { GetExerciseNumberFromRawFile(archive.c_str()); });
        // Every index the count gives, as the host asks; an archive that gives
        // no exercise is not extracted again for each.
        const int32_t count = GetExerciseNumberFromRawFile(archive.c_str());
        expectBounded("analyses", [&] {
            for (int32_t index = 0; index < count; ++index) analyse(archive, index);
        });
        fs::remove_all(into);
    }
    EXPECT_EQ(analyse(honest, 0), 5);
    EXPECT_EQ(analyse(liar, 0), 5);
}

TEST_F(Hardening_archive, tensOfThousandsOfEntries) {
    std::vector<Entry> entries;
    for (int i = 0; i < 20000; ++i) entries.push_back({std::to_string(i) + ".txt", ""});
    entries.push_back({"ride.hrm", exercise(3)});
    const std::string archive = path("many.hrz");
    writeArchive(archive, entries, 1);
    EXPECT_EQ(GetExerciseNumberFromRawFile(archive.c_str()), 20001);
    EXPECT_EQ(analyse(archive, 0), 3);
    EXPECT_EQ(analyse(archive, 20000), 0);
    expectCleanAfterUnload({"many.hrz"});
}

TEST_F(Hardening_fault, temporaryDirectoryThatCannotBeCreated) {
    const std::string archive = path("ride.hrz");
    writeArchive(archive, {{"ride.hrm", exercise(3)}});
    writeFile(path("not-a-directory"), "x");
    setenv("TMPDIR", path("not-a-directory/tmp").c_str(), 1);
    EXPECT_EQ(GetExerciseNumberFromRawFile(archive.c_str()), 1);
    EXPECT_EQ(analyse(archive, 0), 0);
    EXPECT_EQ(analyse(write("single.hrm", exercise(3)), 0), 3);  // single files need no work directory
    setenv("TMPDIR", dir_.c_str(), 1);
    expectCleanAfterUnload({"not-a-directory", "ride.hrz", "single.hrm"});
}

TEST_F(Hardening_fault, workDirectoryThatCannotBeWritten) {
    // A file where the work directory belongs: nothing can be extracted.
    const std::string archive = path("ride.hrz");
    writeArchive(archive, {{"ride.hrm", exercise(3)}});
    writeFile(workDir(), "in the way");
    EXPECT_EQ(analyse(archive, 0), 0);
    EXPECT_EQ(readFile(workDir()), "in the way");
    expectCleanAfterUnload({"ride.hrz", "VoruzUvidav"});
}

TEST_F(Hardening_fault, readOnlyFileInTheWorkDirectoryIsNoExercise) {
    fs::create_directory(workDir());
    const std::string stale = workDir() + "/0-stale.hrm";
    writeFile(stale, exercise(9));
    fs::permissions(stale, fs::perms::owner_read);
    const std::string archive = path("ride.hrz");
    writeArchive(archive, {{"ride.hrm", exercise(3)}});
    EXPECT_EQ(analyse(archive, 0), 3);
    EXPECT_EQ(analyse(archive, 1), 0);
    // The foreign file outlives the clean-up, as a read-only file does; the
    // plug-in's own file does not.
    DonePluginState();
    EXPECT_EQ(namesIn(workDir()), std::vector<std::string>{"0-stale.hrm"});
    InitPluginState();
}

TEST_F(Hardening_fault, lockedFileInTheWorkDirectoryGoesAtUnload) {
    const std::string archive = path("ride.hrz");
    writeArchive(archive, {{"ride.hrm", exercise(3)}});
    ASSERT_EQ(analyse(archive, 0), 3);
    std::FILE* held = std::fopen((workDir() + "/ride.hrm").c_str(), "rb");
    ASSERT_NE(held, nullptr);
    ASSERT_EQ(flock(fileno(held), LOCK_EX), 0);
    expectCleanAfterUnload({"ride.hrz"});
    std::fclose(held);
}

TEST_F(Hardening_fault, fileGoneBetweenCountingAndAnalysis) {
    const std::string single = write("ride.hrm", exercise(3));
    const std::string archive = path("ride.hrz");
    writeArchive(archive, {{"a.hrm", exercise(3)}, {"b.hrm", exercise(4)}});
    ASSERT_EQ(GetExerciseNumberFromRawFile(single.c_str()), 1);
    ASSERT_EQ(GetExerciseNumberFromRawFile(archive.c_str()), 2);
    fs::remove(single);
    fs::remove(archive);
    EXPECT_EQ(analyse(single), 0);
    EXPECT_EQ(analyse(archive, 0), 0);
    EXPECT_EQ(analyse(archive, 1), 0);
    expectCleanAfterUnload({});
}

TEST_F(Hardening_file, truncatedExerciseKeepsWhatWasRead) {
    Hrm hrm;
    hrm.sections = lapLines("0:00:10.0", 130, 150, 200, 180, 200);
    hrm.sections.insert(hrm.sections.begin(), "[IntTimes]");
    hrm.sections.push_back("");
    hrm.heartRates(50);
    const std::string text = hrm.text();
    // Cut inside the lap section, inside the sample rows, and in the middle of a row.
    const size_t lap = text.find("[IntTimes]") + 20;
    const size_t rows = text.find("[HRData]") + 10 + 5 * 5;
    for (size_t cut : {lap, rows, rows + 2, text.size() - 1}) {
        SCOPED_TRACE(cut);
        const int32_t count = analyse(write("cut.hrm", text.substr(0, cut)));
        EXPECT_GE(count, 0);
        EXPECT_LE(count, 50);
        bool delivered = false;
        summary(&delivered);
        EXPECT_EQ(delivered, count > 0);
    }
    EXPECT_EQ(analyse(write("cut.hrm", text.substr(0, lap))), 0);
    EXPECT_EQ(analyse(write("cut.hrm", text.substr(0, rows))), 5);
}

TEST_F(Hardening_file, linesOfMegabytesAndZeroBytes) {
    const std::string huge(6 << 20, '7');
    Hrm hrm;
    hrm.smode = "111000000";
    hrm.sections = {"Monitor=" + huge, "[Note]", "with\0zero"s.substr(0, 9) + huge, ""};
    hrm.rows = {"120\t250\t90\t400", huge, "12\0" "3\t250\t90\t400"s, "130\t" + huge + "\t1\t2"};
    const std::string file = write("big.hrm", hrm.text());
    // The monitor number is no integer: the load ends before any sample.
    EXPECT_EQ(analyse(file), 0);
    hrm.sections[0] = "Weight=" + huge;
    writeFile(file, hrm.text());
    ASSERT_EQ(analyse(file), 4);
    EXPECT_EQ(sample(0)[0], 120);
    // The note counts all its bytes; the host's copy ends at the zero.
    EXPECT_EQ(GetComment(nullptr, 0), static_cast<int32_t>(9 + huge.size()));
    std::vector<char> note(100, 'x');
    GetComment(note.data(), 50);
    EXPECT_STREQ(note.data(), "with");
    EXPECT_EQ(note[5], 'x');
}

TEST_F(Hardening_file, repeatedLapSectionsStopAtTheLapCountLimit) {
    // Each third lap line names the section again, so every one of them
    // reads up to 201 laps anew: without a limit some 200 laps per line.
    std::vector<std::string> lines = {"[Params]", "Version=105", "SMode=0", "[IntTimes]"};
    for (int lap = 0; lap < 3000; ++lap)
        lines.insert(lines.end(), {"0:00:01.0\t0\t0\t1\t1", "0\t0\t0\t1\t1\t1", "[IntTimes]\t0\t0\t1\t1"});
    lines.insert(lines.end(), {"", "[HRData]", "100", "101"});
    ASSERT_EQ(analyse(write("laps.hrm", crlfText(lines))), 2);
    const std::vector<uint8_t> record = summary();
    EXPECT_EQ(at<uint16_t>(record, 60), 65535);
    EXPECT_EQ(lap(65534)[90], 2);
    EXPECT_EQ(lap(65535)[90], 0xEE);
}

// Every input a fuzz target once failed on, replayed through the same driver.
TEST_F(Hardening_regressions, regressionFilesOfTheFuzzTargets) {
    fs::create_directory(path("replay"));
    const fuzzing::Workspace workspace(path("replay"));
    int replayed = 0;
    for (const auto& kind : fs::directory_iterator(POLAR_REGRESSIONS_DIR)) {
        const fuzzing::Driver driver = fuzzing::driverFor(kind.path().filename().string());
        ASSERT_NE(driver, nullptr) << kind.path();
        for (const auto& file : fs::directory_iterator(kind.path())) {
            SCOPED_TRACE(file.path().string());
            ++replayed;
            InitPluginState();
            fuzzing::Problems problems = driver(workspace, readFile(file.path().string()));
            DonePluginState();
            for (const std::string& left : fuzzing::leftovers(workspace)) problems.push_back(left);
            EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
        }
    }
    EXPECT_GT(replayed, 0);
}
