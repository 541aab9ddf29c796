#include <gtest/gtest.h>

#include <set>
#include <string>

#include "device/ImportRules.h"

TEST(ImportRules_monitor, familyDetectionFromTheMonitorCode) {
    const struct {
        uint8_t stored;
        int32_t code;
        uint8_t expected;
    } cases[] = {
        {0, 33, 2}, {0, 32, 0}, {1, 33, 1}, {1, 32, 0}, {2, 32, 0}, {2, 90, 2}, {3, 10, 3}, {3, 40, 3}, {1, -5, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DetectDeviceType(c.stored, c.code), c.expected) << "type " << int(c.stored) << " code " << c.code;
    EXPECT_EQ(FamilyCaptionSuffix(0), " -> S-Series");
    EXPECT_EQ(FamilyCaptionSuffix(1), " -> RS/CS 4xx-Series");
    EXPECT_EQ(FamilyCaptionSuffix(2), " -> RS/CS 4xx-Series");
    EXPECT_EQ(FamilyCaptionSuffix(3), "");
}

TEST(ImportRules_monitor, protocolStart) {
    const struct {
        uint8_t protocol;
        int16_t port;
        bool filter;
        ProtocolStart expected;
    } cases[] = {
        {0, 1, true, {true, " (IrDA)", 0x24, "IR"}},
        {0, 1, false, {true, " (IrDA)", 0x20, "IR"}},
        {1, 1, true, {true, " (USB)", 0x14, "USB"}},
        {2, 3, false, {true, " (COM3)", 0x00, "COM3:"}},
        {2, 12, true, {true, " (COM12)", 0x04, "COM12:"}},
        {2, -1, false, {true, " (COM-1)", 0x00, "COM-1:"}},
        {3, 1, true, {false, "", 0, ""}},
    };
    for (const auto& c : cases) {
        const ProtocolStart start = StartForProtocol(c.protocol, c.port, c.filter);
        SCOPED_TRACE(testing::Message() << "protocol " << int(c.protocol) << " port " << c.port);
        EXPECT_EQ(start.start, c.expected.start);
        EXPECT_EQ(start.captionSuffix, c.expected.captionSuffix);
        EXPECT_EQ(start.flags, c.expected.flags);
        EXPECT_EQ(start.port, c.expected.port);
    }
}

TEST(ImportRules_monitor, memoryPercent) {
    const struct {
        int32_t size, free, expected;
    } cases[] = {
        {1000, 250, 75}, {3, 2, 33}, {3, 0, 100}, {100, 100, 0},
        {0, 0, 0}, {0, 50, 0}, {-10, 0, 0},          // no memory reported
        {100, 150, 0}, {100, -50, 100},              // inconsistent reports stay on the dial
        {2000000000, 1000000000, 50},                // no 32-bit overflow
    };
    for (const auto& c : cases)
        EXPECT_EQ(MemoryPercent(c.size, c.free), c.expected) << c.size << " / " << c.free;
}

TEST(ImportRules_monitor, lowVoltageHint) {
    EXPECT_EQ(LowVoltageHint(0), "");
    EXPECT_EQ(LowVoltageHint(-1), "");
    EXPECT_EQ(LowVoltageHint(1), "Watch-/Bikecomputer");
    EXPECT_EQ(LowVoltageHint(2), "&& HR-Belt");
    EXPECT_EQ(LowVoltageHint(4), "&& Speedsensor");
    EXPECT_EQ(LowVoltageHint(7), "Watch-/Bikecomputer&& HR-Belt&& Speedsensor");
}

TEST(ImportRules_files, exerciseFilePathNeverNamesATakenFile) {
    std::set<std::string> taken;
    const auto exists = [&](const std::string& path) { return taken.count(path) != 0; };
    const std::string dir = "C:\\Temp\\VoruzUvidav\\";
    EXPECT_EQ(ExerciseFilePath(dir, 12, exists), dir + "12.hrm");
    taken.insert(dir + "12.hrm");
    EXPECT_EQ(ExerciseFilePath(dir, 12, exists), dir + "12_1.hrm");
    taken.insert(dir + "12_2.hrm");
    EXPECT_EQ(ExerciseFilePath(dir, 12, exists), dir + "12_1.hrm");
    for (int k = 1; k <= 1999; ++k) taken.insert(dir + "12_" + std::to_string(k) + ".hrm");
    EXPECT_EQ(ExerciseFilePath(dir, 12, exists), "");
    EXPECT_EQ(ExerciseFilePath(dir, -3, exists), dir + "-3.hrm");

    // 260 characters are the most the library takes.
    const std::string deep = std::string(260 - 6, 'd') + "\\";  // + "12.hrm" makes 261
    EXPECT_EQ(ExerciseFilePath(deep, 12, exists), "");
    EXPECT_EQ(ExerciseFilePath(deep.substr(1), 12, exists).size(), 260u);
}
