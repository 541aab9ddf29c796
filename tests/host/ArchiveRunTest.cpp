// A user's archive converted in one run: folders walked and mirrored, day
// diaries giving names, notes, sport, energy and the files that belong
// together, several formats, names that never collide, a summary, and what
// a file cut off or an R-R recording without beats gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "framework/Zip.h"
#include "tests/host/ConvertFixture.h"
#include "tests/shared/DiaryText.h"
#include "tests/shared/HrmText.h"

namespace {

namespace fs = std::filesystem;

using ArchiveRun = ConvertFixture;
using ArchiveRun_realDiaries = ArchiveRun;
using ArchiveRun_folders = ArchiveRun;
using ArchiveRun_diary = ArchiveRun;
using ArchiveRun_files = ArchiveRun;

// Every lap's Calories of a TCX file, added up.
int tcxCalories(const std::string& tcx) {
    int sum = 0;
    for (size_t at = tcx.find("<Calories>"); at != std::string::npos; at = tcx.find("<Calories>", at + 1))
        sum += std::stoi(tcx.substr(at + 10));
    return sum;
}

// The day diaries of ../shared/real-files: both folders in one run, every
// exercise with its name, note, sport and energy, each R-R recording in
// its partner's FIT.
TEST_F(ArchiveRun_realDiaries, everyExerciseAsItsDiaryGivesIt) {
    const std::string diaries = POLAR_REAL_FILES_DIR "/diary";
    if (!fs::is_directory(diaries)) GTEST_SKIP() << "no " << diaries;
    const HostRun result = convert("fit,tcx", {diaries});
    const struct {
        const char* file;
        const char* name;
        int energy;
        bool beats;
    } expected[] = {
        {"cyclist-2012/12072201", "TT medium", 375, true},
        {"cyclist-2012/12072203", "TT VTTA V236/1", 1015, true},
        {"cyclist-2012/12072205", "TT medium", 238, true},
        {"s720i-2003/03100401", "", 3079, false},
    };
    for (const auto& e : expected) {
        const Json messages = fit(path("out/") + e.file + ".fit");
        EXPECT_EQ(messages["sessionMesgs"][0]["totalCalories"].number, e.energy) << e.file;
        EXPECT_EQ(messages["sessionMesgs"][0]["sport"].text, "cycling") << e.file;
        if (*e.name) {
            EXPECT_EQ(messages["sportMesgs"][0]["name"].text, e.name) << e.file;
        }
        EXPECT_EQ(messages.members.count("hrvMesgs"), e.beats ? 1u : 0u) << e.file;
        const std::string tcx = readFile(path("out/") + e.file + ".tcx");
        EXPECT_EQ(tcxCalories(tcx), e.energy) << e.file;
        gpsbabel("gtrnctr", path("out/") + e.file + ".tcx");
    }
    // The older diary has no name and the text as its note, é in Windows-1252.
    EXPECT_NE(readFile(path("out/s720i-2003/03100401.tcx")).find("<Notes>UAC/CKKV: Brdsk\xc3\xa9 2 kolo.</Notes>"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(path("out/cyclist-2012/12072202.fit"))) << "an R-R recording merged has no file";
    EXPECT_NE(result.err.find("summary: 4 exercises found; files written: 4 fit, 4 tcx; 3 R-R recordings merged; "
                              "2 day diaries read"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("diary sport 2 taken as cycling (4)"), std::string::npos) << result.err;
}

// A folder with its subfolders, mirrored below the output; names unique in
// the run whatever the raw files are called; companions in any case; other
// files counted; the formats named all written.
TEST_F(ArchiveRun_folders, walkedMirroredAndNamedOnce) {
    fs::create_directories(path("Polar/2012/alice"));
    fs::create_directories(path("Polar/2013"));
    fs::create_directories(path("more"));
    write("Polar/2012/alice/ride.hrm", hrmText(HrmShape{}));
    write("Polar/2013/RUN.HRM", hrmText(HrmShape{}));
    write("Polar/2013/run.Gpx", rideTrackText());
    write("Polar/2013/notes.txt", "not an exercise");
    write("more/ride.hrm", hrmText(HrmShape{}));
    write("RIDE.hrm", hrmText(HrmShape{}));

    const HostRun result = convert("fit", {"--format", "tcx", path("Polar"), path("more"), path("RIDE.hrm")});
    for (const char* file : {"2012/alice/ride.fit", "2012/alice/ride.tcx", "2013/RUN.fit", "2013/RUN.tcx",
                             "ride.fit", "ride.tcx", "RIDE (2).fit", "RIDE (2).tcx"})
        EXPECT_TRUE(fs::exists(path("out/") + file)) << file << "\n" << result.out;
    EXPECT_EQ(fit(path("out/2013/RUN.fit"))["recordMesgs"][2].members.count("positionLat"), 1u)
        << "the track beside it, named in another case";
    EXPECT_NE(result.err.find("other files, not converted: 1 (" + path("Polar/2013/notes.txt") + ")"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("files written: 4 fit, 4 tcx"), std::string::npos) << result.err;

    // A file named that is not there fails the run, and the others still convert.
    const HostRun missing = convert("fit", {path("nowhere.hrm"), path("more")}, 1);
    EXPECT_NE(missing.err.find(path("nowhere.hrm") + ": missing (No such file or directory); no file written"),
              std::string::npos)
        << missing.err;
    EXPECT_NE(missing.err.find("summary: missing: 1"), std::string::npos) << missing.err;
}

// A diary's entry names, describes and links its exercise: texts from the
// code page asked for, sport by the map, energy over the laps, the track and
// the R-R recording it names, whatever their names and starts.
TEST_F(ArchiveRun_diary, entryGivesNameSportEnergyAndLinks) {
    fs::create_directories(path("day"));
    write("day/24051201.hrm", hrmText(rideWithLaps()));
    write("day/24051202.hrm", rrText("09:59:58.0", {"800", "810", "820", "830"}));
    write("day/phone.gpx", rideTrackText());
    // "Kolo ř" and "Rovně" in Windows-1250.
    write("day/20240512.pdd",
          diaryText({{36000, 7, 500, "Kolo \xf8", "Rovn\xec", "24051201.hrm", "phone.gpx", "24051202.hrm"},
                     {50000, 1, 100, "Gone", "", "24051203.hrm", "", ""},
                     {60000, 1, 100, "Away", "", "", "../x.gpx", ""}}));

    const HostRun result = convert("fit,tcx,gpx", {"--sport-map", "7=rowing", "--text-encoding", "windows-1250",
                                                   path("day/24051201.hrm")});
    const Json messages = fit(path("out/24051201.fit"));
    EXPECT_EQ(messages["sportMesgs"][0]["name"].text, "Kolo \xc5\x99");
    EXPECT_EQ(messages["sessionMesgs"][0]["sport"].text, "rowing");
    EXPECT_EQ(messages["sessionMesgs"][0]["totalCalories"].number, 500);
    EXPECT_EQ(hrvIntervals(messages), (std::vector<double>{0.8, 0.81, 0.82, 0.83})) << "the R-R file it names";
    EXPECT_EQ(messages["recordMesgs"][2].members.count("positionLat"), 1u) << "the track it names";
    const std::string tcx = readFile(path("out/24051201.tcx"));
    EXPECT_NE(tcx.find("<Notes>Kolo \xc5\x99\nRovn\xc4\x9b</Notes>"), std::string::npos);
    EXPECT_EQ(tcxCalories(tcx), 500);
    const std::string gpx = readFile(path("out/24051201.gpx"));
    EXPECT_NE(gpx.find("<name>Kolo \xc5\x99</name>"), std::string::npos);
    EXPECT_NE(gpx.find("<desc>Rovn\xc4\x9b</desc>"), std::string::npos);
    EXPECT_NE(result.err.find("diary sport 7 taken as rowing (1)"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("diary names a missing file: 1 (20240512.pdd: 24051203.hrm)"), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("outside the diary's folder, not read: 1 (20240512.pdd: ../x.gpx)"), std::string::npos)
        << result.err;

    // The reports show the diary's entry beside the records.
    const Json report = json({"--text-encoding", "windows-1250", path("day/24051201.hrm")});
    const Json& diary = report["files"][0]["exercises"][0]["diary"];
    EXPECT_EQ(diary["name"].text, "Kolo \xc5\x99");
    EXPECT_EQ(diary["sport"].number, 7);
    EXPECT_EQ(diary["energy"].number, 500);
}

// A run lets go of a folder's diaries when it moves on to another; a file
// of that folder named later still gets its entry, and each diary is
// counted once.
TEST_F(ArchiveRun_diary, folderMetAgainKeepsItsEntries) {
    HrmShape noon;
    noon.start = "12:00:00.0";
    for (const std::string folder : {"a", "b"}) {
        fs::create_directories(path(folder));
        write(folder + "/24051201.hrm", hrmText(HrmShape{}));
        write(folder + "/24051202.hrm", hrmText(noon));
        write(folder + "/20240512.pdd", diaryText({{36000, 1, 100, "First " + folder, "", "24051201.hrm", "", ""},
                                                   {43200, 1, 100, "Second " + folder, "", "24051202.hrm", "", ""}}));
    }
    const HostRun result = convert("tcx", {path("a/24051201.hrm"), path("b/24051201.hrm"), path("a/24051202.hrm")});
    EXPECT_NE(readFile(path("out/24051201.tcx")).find("<Notes>First a</Notes>"), std::string::npos);
    EXPECT_NE(readFile(path("out/24051201 (2).tcx")).find("<Notes>First b</Notes>"), std::string::npos);
    EXPECT_NE(readFile(path("out/24051202.tcx")).find("<Notes>Second a</Notes>"), std::string::npos);
    EXPECT_NE(result.err.find("2 day diaries read"), std::string::npos) << result.err;
}

// The person file above the year's folder names the diaries' sports: a
// name that is clearly one of FIT's sports becomes it, another is generic
// and keeps its name on the overview page; --sport-map still wins.
TEST_F(ArchiveRun_diary, personFileNamesTheSports) {
    fs::create_directories(path("Anna/2024"));
    HrmShape walk = rideWithLaps(), dance = rideWithLaps(), ride = rideWithLaps();
    dance.start = "12:00:00.0";
    ride.start = "14:00:00.0";
    write("Anna/2024/24051201.hrm", hrmText(walk));
    write("Anna/2024/24051202.hrm", hrmText(dance));
    write("Anna/2024/24051203.hrm", hrmText(ride));
    write("Anna/2024/20240512.pdd", diaryText({{36000, 5, 0, "", "", "24051201.hrm", "", ""},
                                               {43200, 9, 0, "", "", "24051202.hrm", "", ""},
                                               {50400, 2, 0, "", "", "24051203.hrm", "", ""}}));
    std::string person = "[PersonInfo]\r\n100\r\nAnna\r\n\r\n[PersonSports]\r\n3\r\n";
    for (const char* sport : {"2\r\n255\r\nCycling\r\nBike", "5\r\n65280\r\nNordic walking\r\nNW",
                              "9\r\n0\r\nZumba\r\nZ"})
        person += std::string(sport) + "\r\n0\r\n0\r\n";
    write("Anna/Anna.ppd", person);

    const HostRun result = convert("fit,svg", {"--sport-map", "2=rowing", path("Anna/2024")});
    EXPECT_EQ(fit(path("out/24051201.fit"))["sessionMesgs"][0]["sport"].text, "walking");
    EXPECT_EQ(fit(path("out/24051202.fit"))["sessionMesgs"][0]["sport"].text, "generic")
        << "not the recording's cycling: the person said what it was";
    EXPECT_EQ(fit(path("out/24051203.fit"))["sessionMesgs"][0]["sport"].text, "rowing");
    EXPECT_NE(result.err.find("diary sport 5 taken as walking by the person file's \"Nordic walking\" (1)"),
              std::string::npos)
        << result.err;
    const std::string page = readFile(path("out/index.html"));
    EXPECT_NE(page.find("<td>Zumba</td>"), std::string::npos) << page;
    EXPECT_NE(page.find("<td>Nordic walking</td>"), std::string::npos);

    // The reports give the sport the conversion gives.
    const Json report = json({path("Anna/2024/24051201.hrm")});
    EXPECT_EQ(report["files"][0]["exercises"][0]["sport"].text, "walking");
}

// A file cut off inside its last row gives no sample of made-up values; an
// R-R recording that found no beat for minutes has no heart rate then; an
// archive's entries are named right; each program's help names what it has.
TEST_F(ArchiveRun_files, cutOffRowsGapsEntriesAndHelp) {
    std::string text = hrmText(HrmShape{});
    text.resize(text.size() - 6);  // "...\t400\t210\t50\r\n" loses its last column, a digit and its line end
    const std::string cut = write("cut.hrm", text);
    HostRun result = convert("fit", {cut});
    EXPECT_EQ(fit(path("out/cut.fit"))["recordMesgs"].size(), 99u);
    EXPECT_NE(result.err.find("cut.hrm: the file ends inside its last sample row (5 of 6 columns, no line end)"),
              std::string::npos)
        << result.err;

    std::vector<std::string> rows(100, "750");  // 80 bpm
    rows.insert(rows.end(), 20, "3999");         // 80 s without a beat
    rows.insert(rows.end(), 100, "600");         // 100 bpm
    convert("fit", {write("gap.hrm", rrText("12:00:00.0", rows))});
    const Json gap = fit(path("out/gap.fit"));
    const Json& records = gap["recordMesgs"];
    size_t without = 0;
    for (size_t s = 0; s < records.size(); ++s) without += records[s].members.count("heartRate") == 0;
    EXPECT_EQ(without, 78u) << "the 80 s of the gap but the 3 s after its last beat, less the part second";
    EXPECT_EQ(gap["sessionMesgs"][0]["maxHeartRate"].number, 100);
    EXPECT_EQ(gap["sessionMesgs"][0]["avgHeartRate"].number, 89) << "the seconds with a beat only";

    Hrm empty;
    empty.rows = {};
    const std::vector<fw::ZipSource> entries = {{"a.hrm", write("a.hrm", hrmText(HrmShape{}))},
                                                {"b.hrm", write("b.hrm", empty.text())},
                                                {"a.gpx", write("a.gpx", rideTrackText())},
                                                {"../up.hrm", path("a.hrm")},
                                                {"2012/in.hrm", path("a.hrm")}};
    fw::writeZip(path("rides.hrz"), entries);
    // The entries the plug-in refuses are named; the archive's other entries
    // converted, so the run does not fail for them.
    result = convert("tcx", {path("rides.hrz")});
    EXPECT_NE(result.err.find("rides.hrz, entry b.hrm: no sample; no file written"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("rides.hrz, entry ../up.hrm: not read: its name would lead out of the folder"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("rides.hrz, entry 2012/in.hrm: not read: stored in a folder inside the archive"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("summary: archive entries not read: 2"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("exercise 2"), std::string::npos) << result.err;

    const std::string help = run({"--help"}).out;
    for (const char* absent : {"--dll", "--import", "--configure", "HRMCom"})
        EXPECT_EQ(help.find(absent), std::string::npos) << absent << " in the linked host's help";
    EXPECT_NE(help.find("--sport-map"), std::string::npos);
}

}  // namespace
