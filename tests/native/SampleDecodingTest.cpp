#include <gtest/gtest.h>

#include "TestFiles.h"
#include "framework/Locale.h"
#include "processing/ExerciseLoader.h"
#include "processing/HrmReader.h"

// Fields of the packed host records are compared as values (unary +): the
// assertions bind references, and a packed field may be misaligned for one.
namespace {

struct Decoded {
    int hr;
    double speed;
    int cadence;
    double altitude, power, balance;
};

struct RowCase {
    const char* name;
    const char* version;
    const char* smode;
    const char* maxHR;
    const char* row;
    Decoded expected;
};

void expectSample(const TMyHRMDatas& datas, int32_t i, const Decoded& e, const std::string& name) {
    EXPECT_EQ(datas.GetHR(i), e.hr) << name;
    EXPECT_DOUBLE_EQ(datas.GetSpeed(i), e.speed) << name;
    EXPECT_EQ(datas.GetCadence(i), e.cadence) << name;
    EXPECT_EQ(datas.GetAltitude(i), e.altitude) << name;
    EXPECT_EQ(datas.GetPower(i), e.power) << name;
    EXPECT_EQ(datas.GetBalance(i), e.balance) << name;
}

Hrm withRows(const std::string& smode, const std::vector<std::string>& rows) {
    Hrm hrm;
    hrm.smode = smode;
    hrm.rows = rows;
    return hrm;
}

}  // namespace

TEST(SampleDecoding_rows, splitAndColumnsForEveryLayout) {
    // clang-format off
    const RowCase cases[] = {
        // name                      version smode       maxHR  row                                  hr  speed cad  alt   pow  bal
        {"mask 5 speed altitude",     "106", "101000000", "",   "120\t253\t410",                     {120, 25.3, 0, 410, 0, 0}},
        {"mask 12 altitude power",    "106", "001100000", "",   "120\t410\t250",                     {120, 0, 0, 410, 250, 0}},
        {"mask 31 all, balance byte", "106", "111110000", "",   "120\t253\t90\t410\t250\t16170",     {120, 25.3, 90, 410, 250, 42}},
        {"no altitude gives 10",      "106", "100000000", "",   "120\t253",                          {120, 25.3, 0, 10, 0, 0}},
        {"mask 2 cadence only",       "106", "010000000", "",   "120\t85",                           {120, 0, 85, 10, 0, 0}},
        {"mask 4 altitude only",      "106", "001000000", "",   "120\t410",                          {120, 0, 0, 410, 0, 0}},
        {"mask 3 two columns",        "106", "110000000", "",   "120\t250",                          {120, 0, 250, 10, 0, 0}},
        {"mask 11 packs by cascade",  "106", "110100000", "",   "120\t250",                          {120, 25, 0, 10, 0, 0}},
        {"mask 6 cadence altitude",   "106", "011000000", "",   "120\t80\t250",                      {120, 0, 80, 250, 0, 0}},
        {"mask 7 three splits",       "106", "111000000", "",   "120\t300\t80\t250",                 {120, 30, 80, 250, 0, 0}},
        {"mask 7 surplus columns",    "106", "111000000", "",   "120\t300\t80\t250\t99",             {120, 30, 80, 0, 0, 0}},
        {"mask 0 whole line slot 0",  "106", "000000000", "",   "120\t5",                            {0, 0, 0, 10, 0, 0}},
        {"char 6 extended only",      "106", "000001000", "",   "120\t7",                            {120, 0, 0, 10, 0, 0}},
        {"char 9 one column slot 1",  "106", "000000001", "",   "120",                               {120, 0, 0, 10, 0, 0}},
        {"power balance",             "106", "000110000", "",   "120\t200\t50",                      {120, 0, 0, 10, 200, 50}},
        {"power no number",           "106", "000100000", "",   "120\tx",                            {120, 0, 0, 10, 0, 0}},
        {"hr from second column",     "106", "100000000", "",   "x\t140",                            {140, 14, 0, 10, 0, 0}},
        {"hr capped at file max",     "106", "000000000", "180", "195",                              {180, 0, 0, 10, 0, 0}},
        {"hr low 8 bits",             "106", "000000000", "",   "300",                               {44, 0, 0, 10, 0, 0}},
        {"cap before the low bits",   "106", "000000000", "200", "300",                              {200, 0, 0, 10, 0, 0}},
        {"short two columns",         "105", "111111111", "",   "130\t200",                          {130, 20, 0, 10, 0, 0}},
        {"short three, factor 10",    "102", "",          "",   "130\t200\t35",                      {130, 20, 0, 350, 0, 0}},
        {"short one column",          "102", "",          "",   "130",                               {130, 0, 0, 100, 0, 0}},
        {"short four columns",        "105", "",          "",   "130\t200\t35\t7",                   {130, 20, 0, 0, 0, 0}},
        {"short hr no number",        "105", "",          "",   "x\t140",                            {0, 14, 0, 10, 0, 0}},
        {"short capped",              "105", "",          "180", "195\t100",                         {180, 10, 0, 10, 0, 0}},
    };
    // clang-format on
    for (const RowCase& c : cases) {
        Hrm hrm = withRows(c.smode, {c.row});
        hrm.version = c.version;
        hrm.maxHR = c.maxHR;
        TPluginState state;
        ASSERT_EQ(LoadExercise(state, hrm.lines()), 1) << c.name;
        expectSample(state.ExerciseDatas, 0, c.expected, c.name);
    }
}

TEST(SampleDecoding_rows, smodeTextDecidesPresenceAndMaskDecidesSplit) {
    // "Mode=" replaces the text but leaves the mask: without "SMode=" the mask is 0.
    Hrm hrm = withRows("", {"120\t300\t80"});
    hrm.sections = {"Mode=111000000"};
    TPluginState state;
    ASSERT_EQ(LoadExercise(state, hrm.lines()), 1);
    expectSample(state.ExerciseDatas, 0, {0, 0, 0, 0, 0, 0}, "mode only");

    // A version 106 file without any SMode text ends at its first sample row.
    hrm.sections.clear();
    EXPECT_THROW(LoadExercise(state, hrm.lines()), HrmFormatError);
    EXPECT_EQ(+state.Summary.IntervalSec, 5);
}

TEST(SampleDecoding_rows, valuesCarryOverAndKeyLinesAreRows) {
    // Balance keeps the previous row's value when every slot is empty.
    Hrm hrm = withRows("000110000", {"120\t200\t300", "\t", "Version=abc"});
    TPluginState state;
    ASSERT_EQ(LoadExercise(state, hrm.lines()), 3);
    expectSample(state.ExerciseDatas, 0, {120, 0, 0, 10, 200, 44}, "first");
    expectSample(state.ExerciseDatas, 1, {0, 0, 0, 10, 0, 44}, "single TAB");
    EXPECT_EQ(state.ExerciseDatas.GetHR(2), 0);
    EXPECT_EQ(state.ExerciseDatas.GetPower(2), 0);
}

TEST(SampleDecoding_rows, speedUsesTheUsersDecimalSeparator) {
    const Hrm hrm = withRows("100000000", {"120\t253,5", "120\t253.5"});
    TPluginState state;
    {
        fw::DecimalSeparatorScope comma(',');
        ASSERT_EQ(LoadExercise(state, hrm.lines()), 2);
    }
    EXPECT_DOUBLE_EQ(state.ExerciseDatas.GetSpeed(0), 25.35);
    EXPECT_EQ(state.ExerciseDatas.GetSpeed(1), 0);
    ASSERT_EQ(LoadExercise(state, hrm.lines()), 2);
    EXPECT_EQ(state.ExerciseDatas.GetSpeed(0), 0);
    EXPECT_DOUBLE_EQ(state.ExerciseDatas.GetSpeed(1), 25.35);
}

TEST(SampleDecoding_store, distanceIntegratesSpeedAndTimeStepsByInterval) {
    Hrm hrm = withRows("100000000", {"100\t360", "100\t360", "100\t360", "100\t0"});
    TPluginState state;
    ASSERT_EQ(LoadExercise(state, hrm.lines()), 4);
    const double distances[] = {0, 0.05, 0.1, 0.1};  // sample 0 adds nothing
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(state.ExerciseDatas.GetDistance(i), distances[i], 1e-12) << i;
        EXPECT_EQ(state.ExerciseDatas.GetTimeOffset(i), 5 * i) << i;
    }
    EXPECT_NEAR(+state.Summary.TotalDistance, 0.1, 1e-12);

    hrm.interval = "240";
    ASSERT_EQ(LoadExercise(state, hrm.lines()), 4);
    EXPECT_EQ(state.ExerciseDatas.GetTimeOffset(3), 3 * 240);
    EXPECT_NEAR(state.ExerciseDatas.GetDistance(1), 240 * 36.0 / 3600, 1e-12);
}

TEST(SampleDecoding_store, passEndsAtEmptyLineOrPositiveStartDelay) {
    Hrm hrm = withRows("000000000", {"120", "121", "", "122", "123"});
    TPluginState state;
    EXPECT_EQ(LoadExercise(state, hrm.lines()), 2);

    hrm.rows = {"120", "121"};
    hrm.sections = {"StartDelay=1"};
    EXPECT_EQ(LoadExercise(state, hrm.lines()), 0);
    EXPECT_EQ(+state.Summary.IntervalSec, 5);  // header values before it stay
    hrm.sections = {"StartDelay=0"};
    EXPECT_EQ(LoadExercise(state, hrm.lines()), 2);

    hrm.rows = {"120"};
    hrm.heartRates(12000);  // growth beyond the first 5000 samples
    ASSERT_EQ(LoadExercise(state, hrm.lines()), 12001);
    EXPECT_EQ(state.ExerciseDatas.GetHR(12000), static_cast<uint8_t>(100 + 11999));
    EXPECT_EQ(state.ExerciseDatas.GetTimeOffset(12000), 60000);
}
