#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/host/recording/DayDiary.h"
#include "tools/host/recording/TextEncoding.h"

namespace {

namespace fs = std::filesystem;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string crlfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// An exercise section of the later layout cut to three number rows and
// seven text rows: start 10:00:00, 1800 s, sport 2, 500 kcal, 20 km, 150 m.
std::vector<std::string> exerciseLines(int number, const std::string& header = "101\t1\t3\t6\t7\t512") {
    return {"[ExerciseInfo" + std::to_string(number) + "]",
            header,
            "0\t0\t0\t0\t36000\t1800",
            "2\t0\t0\t0\t0\t500",
            "20000\t0\t0\t0\t0\t150",
            "Ride " + std::to_string(number),
            "Windy",
            "ride.hrm",
            "",
            "",
            "ride.gpx",
            "ride-rr.hrm"};
}

const std::vector<std::string> kDayInfo = {"[DayInfo]", "100\t1\t1\t6\t1\t256", "20240229\t1\t0\t0\t0\t0", "", ""};

std::string diaryOf(const std::vector<std::vector<std::string>>& sections) {
    std::string text;
    for (const auto& section : sections) text += crlfLines(section);
    return text;
}

std::vector<int> sectionsRead(const DayDiary& diary) {
    std::vector<int> numbers;
    for (const DiaryExercise& exercise : diary.exercises) numbers.push_back(exercise.section);
    return numbers;
}

// Seconds after midnight of an exercise file's StartTime=h:mm:ss.t.
int startTimeOf(const std::string& path) {
    const std::string text = readAll(path);
    const size_t at = text.find("StartTime=");
    int hours = -1, minutes = -1, seconds = -1;
    if (at != std::string::npos) std::sscanf(text.c_str() + at, "StartTime=%d:%d:%d", &hours, &minutes, &seconds);
    return hours * 3600 + minutes * 60 + seconds;
}

}  // namespace

TEST(DayDiary_realFiles, laterLayoutThreeRidesWithTheirRRFiles) {
    const std::string folder = POLAR_REAL_FILES_DIR "/diary/cyclist-2012/";
    if (!fs::is_directory(folder)) GTEST_SKIP() << "no " << folder;
    std::string error;
    const std::optional<DayDiary> diary = readDayDiaryFile(folder + "20120722.pdd", CodePage::windows1252, error);
    ASSERT_TRUE(diary) << error;
    EXPECT_EQ(diary->problems, std::vector<std::string>{});
    EXPECT_EQ(diary->date, (DiaryDate{2012, 7, 22}));
    struct Expected {
        const char* name;
        int32_t totalTime, energy, distance, ascent;
        const char *exerciseFile, *rrFile;
    };
    const Expected expected[] = {{"TT medium", 2300, 375, 12875, 5, "12072201.hrm", "12072202.hrm"},
                                 {"TT VTTA V236/1", 4203, 1015, 40395, 98, "12072203.hrm", "12072204.hrm"},
                                 {"TT medium", 3001, 238, 6116, 12, "12072205.hrm", "12072206.hrm"}};
    ASSERT_EQ(diary->exercises.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const DiaryExercise& exercise = diary->exercises[i];
        SCOPED_TRACE(expected[i].exerciseFile);
        EXPECT_EQ(exercise.section, static_cast<int>(i) + 1);
        EXPECT_EQ(exercise.name, expected[i].name);
        EXPECT_EQ(exercise.note, "");
        EXPECT_EQ(exercise.sport, 2);
        EXPECT_EQ(exercise.totalTime, expected[i].totalTime);
        EXPECT_EQ(exercise.energy, expected[i].energy);
        EXPECT_EQ(exercise.distance, expected[i].distance);
        EXPECT_EQ(exercise.ascent, expected[i].ascent);
        EXPECT_EQ(exercise.exerciseFile, expected[i].exerciseFile);
        EXPECT_EQ(exercise.trackFile, "");
        EXPECT_EQ(exercise.rrFile, expected[i].rrFile);
        EXPECT_EQ(exercise.start, startTimeOf(folder + expected[i].exerciseFile));
        EXPECT_EQ(exercise.start, startTimeOf(folder + expected[i].rrFile));
    }
}

TEST(DayDiary_realFiles, olderLayoutWithTheTextAsNote) {
    const std::string folder = POLAR_REAL_FILES_DIR "/diary/s720i-2003/";
    if (!fs::is_directory(folder)) GTEST_SKIP() << "no " << folder;
    std::string error;
    const std::optional<DayDiary> diary = readDayDiaryFile(folder + "20031004.pdd", CodePage::windows1252, error);
    ASSERT_TRUE(diary) << error;
    EXPECT_EQ(diary->problems, std::vector<std::string>{});
    EXPECT_EQ(diary->date, (DiaryDate{2003, 10, 4}));
    ASSERT_EQ(diary->exercises.size(), 1u);
    const DiaryExercise& exercise = diary->exercises[0];
    EXPECT_EQ(exercise.name, "");
    EXPECT_EQ(exercise.note, "UAC/CKKV: Brdsk\u00e9 2 kolo.");
    EXPECT_EQ(exercise.sport, 2);
    EXPECT_EQ(exercise.energy, 3079);
    EXPECT_EQ(exercise.totalTime, 11645);
    EXPECT_EQ(exercise.distance, 96600);
    EXPECT_EQ(exercise.ascent, 1540);
    EXPECT_EQ(exercise.exerciseFile, "03100401.hrm");
    EXPECT_EQ(exercise.trackFile, "");
    EXPECT_EQ(exercise.rrFile, "");
    EXPECT_EQ(exercise.start, startTimeOf(folder + "03100401.hrm"));
}

TEST(DayDiary_sections, countsThatDoNotFitRefuseOnlyTheirSection) {
    struct Case {
        const char* what;
        std::vector<std::vector<std::string>> sections;
        std::vector<int> read;
        std::string problem;
    };
    auto withLine = [](int number, size_t line, const std::string& text) {
        std::vector<std::string> lines = exerciseLines(number);
        lines[line] = text;
        return lines;
    };
    auto cut = [](int number, size_t lines) {
        std::vector<std::string> section = exerciseLines(number);
        section.resize(lines);
        return section;
    };
    std::vector<std::string> twoInfoRows = exerciseLines(2, "101\t2\t3\t6\t7\t512");
    twoInfoRows.insert(twoInfoRows.begin() + 2, "0\t0");
    std::vector<std::string> unknownSection = {"[Weather]", "sunny", "", "[DayInfo]", "garbage"};
    const Case cases[] = {
        {"short row",
         {exerciseLines(1), withLine(2, 3, "2\t0\t0"), exerciseLines(3)},
         {1, 3},
         "[ExerciseInfo2]: its header announces 3 number rows of 6 columns, but row 2 has 3"},
        {"long row",
         {exerciseLines(1), withLine(2, 4, "1\t2\t3\t4\t5\t6\t7")},
         {1},
         "[ExerciseInfo2]: its header announces 3 number rows of 6 columns, but row 3 has 7"},
        {"rows cut by the next section",
         {cut(1, 4), exerciseLines(2)},
         {2},
         "[ExerciseInfo1]: its header announces 3 number rows of 6 columns, but [ExerciseInfo2] begins after 2"},
        {"texts cut by the end",
         {exerciseLines(1), cut(2, 9)},
         {1},
         "[ExerciseInfo2]: its header announces 7 text rows, but the diary ends after 4"},
        {"more rows than counted",
         {exerciseLines(1, "101\t1\t2\t6\t7\t512"), exerciseLines(2)},
         {2},
         "[ExerciseInfo1]: more lines follow than its header announces (1 more)"},
        {"2,000,000,000 rows",
         {exerciseLines(1, "101\t1\t2000000000\t6\t7\t512"), exerciseLines(2)},
         {2},
         "[ExerciseInfo1]: its header announces 2000000000 number rows of 6 columns, but [ExerciseInfo2] begins after "
         "10"},
        {"header of five numbers",
         {exerciseLines(1, "101\t1\t3\t6\t7"), exerciseLines(2)},
         {2},
         "[ExerciseInfo1]: its header is not six whole numbers"},
        {"negative count",
         {exerciseLines(1, "101\t1\t-3\t6\t7\t512"), exerciseLines(2)},
         {2},
         "[ExerciseInfo1]: its header is not six whole numbers"},
        {"no info row",
         {exerciseLines(1, "101\t0\t3\t6\t7\t512"), exerciseLines(2)},
         {2},
         "[ExerciseInfo1]: its header announces 0 info rows, but the header line itself is one"},
        {"no header",
         {{"[ExerciseInfo1]"}, exerciseLines(2)},
         {2},
         "[ExerciseInfo1]: no header line; [ExerciseInfo2] begins"},
        {"two info rows", {exerciseLines(1), twoInfoRows}, {1, 2}, ""},
        {"other sections skipped",
         {unknownSection, exerciseLines(1)},
         {1},
         "[DayInfo]: its header is not six whole numbers"},
        {"not a diary",
         {{"[Params]", "Version=106"}},
         {},
         "no [DayInfo] and no [ExerciseInfo] section: not a day diary"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DayDiary diary = readDayDiary(diaryOf(c.sections), CodePage::windows1252);
        EXPECT_EQ(sectionsRead(diary), c.read);
        EXPECT_EQ(diary.problems, c.problem.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.problem});
        for (const DiaryExercise& exercise : diary.exercises) {
            EXPECT_EQ(exercise.start, 36000);
            EXPECT_EQ(exercise.ascent, 150);
            EXPECT_EQ(exercise.rrFile, "ride-rr.hrm");
        }
    }
}

TEST(DayDiary_values, missingColumnsRowsAndTexts) {
    // Four columns of two rows and three texts: no start, total time,
    // energy, distance or ascent, no track or R-R file.
    std::vector<std::string> narrow = exerciseLines(1, "100\t1\t2\t4\t3\t256");
    narrow[2] = "0\t0\t0\t0";
    narrow[3] = "7\t0\t0\t0";
    narrow.erase(narrow.begin() + 4);
    narrow.resize(7);
    const DayDiary diary = readDayDiary(diaryOf({narrow}), CodePage::windows1252);
    EXPECT_EQ(diary.problems, std::vector<std::string>{});
    EXPECT_FALSE(diary.date);
    ASSERT_EQ(diary.exercises.size(), 1u);
    const DiaryExercise& exercise = diary.exercises[0];
    EXPECT_EQ(exercise.sport, 7);
    for (const auto& value : {exercise.start, exercise.totalTime, exercise.energy, exercise.distance, exercise.ascent})
        EXPECT_FALSE(value);
    EXPECT_EQ(exercise.name, "Ride 1");
    EXPECT_EQ(exercise.exerciseFile, "ride.hrm");
    EXPECT_EQ(exercise.trackFile, "");
    EXPECT_EQ(exercise.rrFile, "");
}

TEST(DayDiary_values, valuesThatAreNoNumbersAreAbsentAndSaidSo) {
    std::vector<std::string> odd = exerciseLines(1);
    odd[2] = "0\t0\t0\t0\t86400\t 1800 ";
    odd[3] = "x\t0\t0\t0\t0\t-5";
    std::vector<std::string> day = kDayInfo;
    day[2] = "20230229\t1\t0\t0\t0\t0";
    const DayDiary diary = readDayDiary(diaryOf({day, odd}), CodePage::windows1252);
    EXPECT_FALSE(diary.date);
    ASSERT_EQ(diary.exercises.size(), 1u);
    EXPECT_FALSE(diary.exercises[0].start);
    EXPECT_EQ(diary.exercises[0].totalTime, 1800);
    EXPECT_FALSE(diary.exercises[0].sport);
    EXPECT_FALSE(diary.exercises[0].energy);
    EXPECT_EQ(diary.exercises[0].distance, 20000);
    EXPECT_EQ(diary.problems,
              (std::vector<std::string>{
                  "[DayInfo]: 20230229 is no date yyyymmdd",
                  "[ExerciseInfo1]: the start in row 1 column 5 is no whole number from 0 to 86399",
                  "[ExerciseInfo1]: the sport in row 2 column 1 is no whole number from 0 to 2147483647",
                  "[ExerciseInfo1]: the energy in row 2 column 6 is no whole number from 0 to 2147483647"}));
}

TEST(DayDiary_values, lineBreaksOfAnyKindLeaveNoneInTheTexts) {
    const std::string crlf = diaryOf({kDayInfo, exerciseLines(1), exerciseLines(2)});
    std::string lf, cr;
    for (char c : crlf) {
        if (c != '\r') lf += c;
        if (c != '\n') cr += c;
    }
    const DayDiary diary = readDayDiary(crlf, CodePage::windows1252);
    EXPECT_EQ(diary.date, (DiaryDate{2024, 2, 29}));
    EXPECT_EQ(sectionsRead(diary), (std::vector<int>{1, 2}));
    EXPECT_EQ(diary.exercises[1].name, "Ride 2");
    EXPECT_EQ(readDayDiary(lf, CodePage::windows1252), diary);
    EXPECT_EQ(readDayDiary(cr, CodePage::windows1252), diary);
}

TEST(DayDiary_codePages, textsInTheDiarysCodePage) {
    // A Czech note: 0xE8 is c with caron in 1250 and e grave in 1252.
    std::vector<std::string> czech = exerciseLines(1);
    czech[5] = "Kolo na \xe8\x61s";
    czech[6] = "\x8a\x9e\x81";
    const std::string text = diaryOf({czech});
    EXPECT_EQ(readDayDiary(text, CodePage::windows1250).exercises.at(0).name, "Kolo na \u010das");
    EXPECT_EQ(readDayDiary(text, CodePage::windows1250).exercises.at(0).note, "\u0160\u017e\ufffd");
    EXPECT_EQ(readDayDiary(text, CodePage::windows1252).exercises.at(0).name, "Kolo na \u00e8\x61s");
}

TEST(DayDiary_file, reasonWhenTheFileCannotBeRead) {
    std::string error;
    EXPECT_FALSE(readDayDiaryFile("/nonexistent/20120722.pdd", CodePage::windows1252, error));
    EXPECT_EQ(error, "/nonexistent/20120722.pdd: No such file or directory");
    char folder[] = "/tmp/diarytest.XXXXXX";
    ASSERT_TRUE(mkdtemp(folder));
    EXPECT_FALSE(readDayDiaryFile(folder, CodePage::windows1252, error));
    EXPECT_EQ(error, std::string(folder) + ": Is a directory");
    fs::remove(folder);
}

TEST(TextEncoding_codePages, upperHalvesAndBytesWithoutCharacter) {
    struct Case {
        CodePage codePage;
        const char* bytes;
        const char* utf8;
    };
    const Case cases[] = {
        {CodePage::windows1250, "\x8a\xb9\xe8\xff\x81\x98", "\u0160\u0105\u010d\u02d9\ufffd\ufffd"},
        {CodePage::windows1251, "\x80\xc0\xff\xb9\x98", "\u0402\u0410\u044f\u2116\ufffd"},
        {CodePage::windows1252, "A\x80\xe9\x9f\x81\x8d\x8f\x90\x9d",
         "A\u20ac\u00e9\u0178\ufffd\ufffd\ufffd\ufffd\ufffd"},
        {CodePage::windows1257, "\xe0\xff\x8d\xa1\xa5", "\u0105\u02d9\u00a8\ufffd\ufffd"},
        {CodePage::latin1, "\x80\x81\xe9\xff", "\u0080\u0081\u00e9\u00ff"},
    };
    for (const Case& c : cases) EXPECT_EQ(toUtf8(c.bytes, c.codePage), c.utf8) << codePageName(c.codePage);
}

TEST(TextEncoding_names, usualSpellingsAnyCase) {
    const std::pair<const char*, CodePage> known[] = {
        {"windows-1250", CodePage::windows1250}, {"CP1251", CodePage::windows1251},  {"1252", CodePage::windows1252},
        {"Windows1252", CodePage::windows1252},  {"cp-1257", CodePage::windows1257}, {"latin1", CodePage::latin1},
        {"Latin-1", CodePage::latin1},           {"ISO_8859-1", CodePage::latin1},   {"iso8859-1", CodePage::latin1},
    };
    for (const auto& [name, codePage] : known) EXPECT_EQ(codePageNamed(name), codePage) << name;
    for (const char* unknown : {"", "utf-8", "cp125", "windows-12520", "iso-8859-2", "latin"})
        EXPECT_FALSE(codePageNamed(unknown)) << unknown;
    for (CodePage codePage : {CodePage::windows1250, CodePage::windows1251, CodePage::windows1252,
                              CodePage::windows1257, CodePage::latin1}) {
        EXPECT_EQ(codePageNamed(codePageName(codePage)), codePage);
        EXPECT_NE(codePageNames().find(codePageName(codePage)), std::string::npos);
    }
}

// A name is taken as UTF-8 only where all of it is: an overlong form, a
// surrogate or a sequence cut short would pass bytes no reader accepts.
TEST(TextEncoding_fileNames, utf8AsItIsElseWindows1252) {
    const std::pair<std::string, std::string> cases[] = {
        {"ride.hrm", "ride.hrm"},
        {"l\xc3\xa4uft \xe2\x82\xac \xf0\x9f\x9a\xb4.hrm", "l\xc3\xa4uft \xe2\x82\xac \xf0\x9f\x9a\xb4.hrm"},
        {"l\xe4uft.hrm", "l\xc3\xa4uft.hrm"},
        {"\xc3\xa4\x80", "\xc3\x83\xc2\xa4\xe2\x82\xac"},     // valid UTF-8 up to a stray byte: all of it 1252
        {"\xc0\xaf", "\xc3\x80\xc2\xaf"},                      // overlong '/'
        {"\xed\xa0\x80", "\xc3\xad\xc2\xa0\xe2\x82\xac"},      // a surrogate
        {"\xf4\x90\x80\x80", "\xc3\xb4\xef\xbf\xbd\xe2\x82\xac\xe2\x82\xac"},  // beyond U+10FFFF
        {"\xe2\x82", "\xc3\xa2\xe2\x80\x9a"},                  // cut short
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(nameText(bytes), text) << bytes;
}
