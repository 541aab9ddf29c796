#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <stdexcept>

#include "model/PluginState.h"
#include "processing/DebugFlags.h"
#include "processing/Laps.h"

// Fields of the packed host records are compared as values (unary +): the
// assertions bind references, and a packed field may be misaligned for one.
namespace {

using debug_flags::kLapsAdded;
using debug_flags::kTempModulated;

LapRecord lapAt(const TPluginState& state, int32_t index) {
    LapRecord record;
    state.LapList.Get(index, &record);
    return record;
}

// Laps with these splits and temperatures (tenths), samples every `step`
// seconds from 0 to `last`.
void exercise(TPluginState& state, const std::vector<std::pair<double, double>>& laps, int step, int last) {
    double previous = 0;
    for (const auto& [split, temperature] : laps) {
        LapInput input;
        input.split = split;
        input.temperature = temperature;
        BuildLap(state, input, 0, previous);
    }
    for (int i = 0; i * step <= last; ++i) state.ExerciseDatas.SetTimeOffset(i, i * step);
}

void expectTemperatures(const TPluginState& state, const std::vector<double>& expected) {
    ASSERT_EQ(state.ExerciseDatas.Count(), static_cast<int32_t>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(state.ExerciseDatas.GetTemperature(static_cast<int32_t>(i)), expected[i], 1e-9) << "sample " << i;
}

}  // namespace

TEST(Laps_build, recordFieldsAndEveryUnnamedByteZero) {
    TPluginState state;
    state.Settings.Debug = true;
    LapInput input;
    input.split = 600;
    input.hrMaximum = 300;
    input.hrAverage = 140;
    input.speed = 254;
    input.cadence = 90;
    input.altitude = 1234;
    input.ascent = -12;
    input.power = 180.5;
    input.temperature = 215;
    double previous = 0;
    BuildLap(state, input, 36000, previous);

    std::array<uint8_t, 122> expected{};
    const auto put = [&](size_t offset, auto value) { std::memcpy(expected.data() + offset, &value, sizeof value); };
    put(0, int32_t{36600});
    put(4, 600.0);
    put(12, 600.0);
    put(36, uint8_t{44});  // low 8 bits of 300
    put(37, uint8_t{140});
    put(46, 25.4);
    put(55, uint8_t{90});
    put(56, 215.0);
    put(64, 180.5);
    put(72, -12.0);
    put(90, uint8_t{2});
    std::array<uint8_t, 122> stored;
    state.LapList.Get(0, stored.data());
    for (size_t i = 0; i < stored.size(); ++i) EXPECT_EQ(stored[i], expected[i]) << "byte " << i;
    EXPECT_EQ(previous, 600);
    EXPECT_EQ(+state.Summary.LapCount, 1);
    EXPECT_EQ(state.DebugFlags, kLapsAdded);
}

TEST(Laps_build, durationsFromThePreviousSplitAndEndOfDayNotWrapped) {
    TPluginState state;
    double previous = 0;
    LapInput input;
    for (double split : {600.0, 1500.5, 1800.0}) {
        input.split = split;
        BuildLap(state, input, 85800, previous);  // start 23:50:00
    }
    EXPECT_EQ(+state.Summary.LapCount, 3);
    EXPECT_EQ(state.DebugFlags, 0);  // Debug off
    EXPECT_EQ(+lapAt(state, 0).LapDuration, 600);
    EXPECT_EQ(+lapAt(state, 1).LapDuration, 900.5);
    EXPECT_EQ(+lapAt(state, 1).LapEndOfDay, 85800 + 1500);  // split truncated
    EXPECT_EQ(+lapAt(state, 2).LapEndOfDay, 86400 + 1200);  // beyond one day
    EXPECT_EQ(+lapAt(state, 2).LapDuration, 299.5);
}

TEST(Laps_temperature, rampsBetweenLapEndsAndNeverUsesTheLastLap) {
    TPluginState state;
    state.Settings.Debug = true;
    exercise(state, {{60, 200}, {120, 230}, {180, 250}}, 10, 170);
    ModulateTemperature(state);
    std::vector<double> expected(7, 20.0);                                // T = 0 to 60
    for (double t = 20.5; t <= 23.0; t += 0.5) expected.push_back(t);     // T = 70 to 120
    while (expected.size() < 18) expected.push_back(23.0);                // T = 130 on; 25.0 never
    expectTemperatures(state, expected);
    EXPECT_EQ(state.DebugFlags & kTempModulated, kTempModulated);
}

TEST(Laps_temperature, fewLapsAndSamplesEndingEarly) {
    struct Case {
        const char* name;
        std::vector<std::pair<double, double>> laps;
        int last;
        std::vector<double> expected;
    };
    const Case cases[] = {
        {"one lap", {{600, 215}}, 30, {21.5, 21.5, 21.5, 21.5}},
        {"two laps use the first", {{10, 200}, {20, 300}}, 30, {20, 20, 20, 20}},
        {"samples end inside a lap", {{60, 200}, {120, 230}, {180, 250}}, 90, {20, 20, 20, 20, 20, 20, 20, 21, 22, 23}},
        {"no sample reaches lap 0", {{600, 200}, {1200, 230}, {1800, 250}}, 20, {20, 20, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPluginState state;
        exercise(state, c.laps, 10, c.last);
        ModulateTemperature(state);
        expectTemperatures(state, c.expected);
    }
}

TEST(Laps_temperature, noLapsWritesNothing) {
    TPluginState state;
    state.Settings.Debug = true;
    exercise(state, {}, 10, 50);
    ModulateTemperature(state);
    expectTemperatures(state, std::vector<double>(6, 0.0));
    EXPECT_EQ(state.DebugFlags, 0);
}

TEST(Laps_temperature, stepOverNoSamplesFailsAfterEverySampleHasItsValue) {
    // The last sample closes lap 1 exactly while lap 2 is still pending: the
    // final segment has no samples to spread its step over.
    TPluginState state;
    state.Settings.Debug = true;
    exercise(state, {{60, 200}, {120, 230}, {180, 250}, {240, 270}}, 10, 120);
    state.DebugFlags = 0;
    EXPECT_THROW(ModulateTemperature(state), std::domain_error);
    expectTemperatures(state, {20, 20, 20, 20, 20, 20, 20, 20.5, 21, 21.5, 22, 22.5, 23});
    EXPECT_EQ(state.DebugFlags & kTempModulated, 0);
}
