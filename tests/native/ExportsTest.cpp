#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "TestSupport.h"
#include "model/HostRecords.h"
#include "model/PluginVersion.h"
#include "tests/shared/HrmText.h"

namespace {

using TextExport = void(FW_STDCALL*)(char*, uint32_t);

// A host buffer pre-filled with 0x7F, so bytes the export did not write show.
struct HostBuffer {
    std::array<char, 300> bytes;
    HostBuffer() { bytes.fill(0x7F); }
    size_t written() const {
        size_t n = bytes.size();
        while (n > 0 && bytes[n - 1] == 0x7F) --n;
        return n;
    }
};

using Exports_identity = PluginTest;
using Exports_state = PluginTest;
using Exports_records = PluginTest;

// Three samples, one lap and a note.
std::string exerciseText() {
    Hrm hrm;
    hrm.date = "20090501";
    hrm.length = "00:00:15.0";
    hrm.note("Hello world!");
    hrm.laps({{.split = "00:00:10.0", .heartRate = 150, .minimum = 100, .average = 140, .maximum = 165, .speed = 254,
               .cadence = 90, .altitude = 100, .ascent = 12, .power = 180, .temperature = 215}});
    hrm.rows = {"120", "130", "140"};
    return hrm.text();
}

}  // namespace

TEST_F(Exports_identity, identityValues) {
    EXPECT_EQ(GetVersion(), kPluginVersion);
    EXPECT_EQ(GetPluginType(), 1);
    EXPECT_EQ(GetPluginDevType(), 5);
    EXPECT_EQ(GetExInterface(), 7);
    EXPECT_EQ(GetDelProperty(), 0);
    EXPECT_EQ(UseOwnImportDialog(), 1);
    EXPECT_EQ(UseOwnSetupDialog(), 1);
    EXPECT_EQ(GetAHFactor(), 2);
    EXPECT_EQ(GetExerciseNumber(), 0);
}

TEST_F(Exports_identity, textExportsFollowTheBufferRule) {
    struct Case {
        TextExport call;
        uint32_t len;
        const char* expected;  // null: nothing written
    };
    const Case cases[] = {
        {GetPluginName, 5, "Zudar"},
        {GetPluginName, 100, "Zudar Eruvuv Uzevaz"},
        {GetPluginName, 19, "Zudar Eruvuv Uzevaz"},
        {GetPluginName, 0x10005, "Zudar"},  // only the low 16 bits count
        {GetDeviceName, 100, "Polar Devices"},
        {GetDeviceName, 0, nullptr},
        {GetDeviceName, 65536, nullptr},
        {GetAuthor, 100, "Orvelt"},
        {GetDir, 100, ""},
        {[](char* b, uint32_t l) { GetRawExtension(b, l); }, 100, "hrz"},
        {[](char* b, uint32_t l) { GetRawExtensionEx(b, l); }, 100, "hrm"},
        {[](char* b, uint32_t l) { GetRawHeader(b, l); }, 2, "PK"},
    };
    for (const Case& c : cases) {
        HostBuffer buffer;
        c.call(buffer.bytes.data(), c.len);
        if (!c.expected) {
            EXPECT_EQ(buffer.written(), 0u) << c.len;
            continue;
        }
        EXPECT_STREQ(buffer.bytes.data(), c.expected) << c.len;
        EXPECT_EQ(buffer.written(), std::strlen(c.expected) + 1) << c.expected;
    }
    for (TextExport call : {GetPluginName, GetDeviceName, GetAuthor, GetDir}) call(nullptr, 100);
}

TEST_F(Exports_identity, rawHeaderIsTheZipSignature) {
    HostBuffer buffer;
    EXPECT_EQ(GetRawHeader(buffer.bytes.data(), 100), 5);
    EXPECT_EQ(std::memcmp(buffer.bytes.data(), "\x50\x4B\x03\x04\x14\0", 6), 0);
    EXPECT_EQ(GetRawHeader(nullptr, 100), 5);
    EXPECT_EQ(GetRawExtension(nullptr, 0), 1);
}

TEST_F(Exports_identity, validRawExtensions) {
    EXPECT_EQ(ValidRawExtension(".hrz", 4), 1);
    EXPECT_EQ(ValidRawExtension(".hrm", 4), 1);
    for (const char* other : {".HRZ", ".HRM", "hrz", ".zip", ".hrm ", ""}) EXPECT_EQ(ValidRawExtension(other, 4), 0) << other;
    EXPECT_EQ(ValidRawExtension(nullptr, 4), 0);
    EXPECT_EQ(ValidRawExtension(".hrz", 0), 0);
    EXPECT_EQ(ValidRawExtension(".hrz", 65536), 0);
}

TEST_F(Exports_state, initializeAndDirectory) {
    EXPECT_EQ(Initialize(255, "C:\\Host\\Dir", 0), 1);
    EXPECT_EQ(GetAHFactor(), 2);
    HostBuffer buffer;
    GetDir(buffer.bytes.data(), 100);
    EXPECT_STREQ(buffer.bytes.data(), "C:\\Host\\Dir");
    EXPECT_EQ(Initialize(7, nullptr, 0), 1);
    EXPECT_EQ(GetAHFactor(), 7);
    GetDir(buffer.bytes.data(), 100);
    EXPECT_STREQ(buffer.bytes.data(), "");
}

TEST_F(Exports_state, commentLengthAndPartialCopy) {
    HostBuffer buffer;
    EXPECT_EQ(GetComment(buffer.bytes.data(), 100), 0);
    EXPECT_STREQ(buffer.bytes.data(), "");
    const std::string file = write("ride.hrm", exerciseText());
    const int32_t index = 0;
    ASSERT_EQ(AnalyseExercise(file.c_str(), &index), 3);
    EXPECT_EQ(GetComment(nullptr, 100), 12);
    HostBuffer part;
    EXPECT_EQ(GetComment(part.bytes.data(), 4), 12);
    EXPECT_STREQ(part.bytes.data(), "Hell");
    EXPECT_EQ(part.written(), 5u);
}

TEST_F(Exports_records, transferBeforeAnyAnalysisLeavesRecordsAlone) {
    std::array<uint8_t, sizeof(ExerciseSummary)> summary;
    summary.fill(0xFF);
    EXPECT_EQ(GetLogSummaryEx(summary.data()), 0);
    for (uint8_t b : summary) ASSERT_EQ(b, 0xFF);
    std::array<uint8_t, sizeof(LapRecord)> lap;
    lap.fill(0xFF);
    EXPECT_EQ(GetLapDatasEx(0, lap.data()), 0);
    for (uint8_t b : lap) ASSERT_EQ(b, 0xFF);
}

TEST_F(Exports_records, sampleRecordFieldsAndUntouchedBytes) {
    const std::string file = write("ride.hrm", exerciseText());
    const int32_t index = 0;
    ASSERT_EQ(AnalyseExercise(file.c_str(), &index), 3);
    std::array<uint8_t, sizeof(SampleRecord)> raw;
    raw.fill(0xFF);
    EXPECT_EQ(GetExerciseDatasEx(2, raw.data()), 1);
    for (size_t i = 25; i < 33; ++i) EXPECT_EQ(raw[i], 0xFF) << i;
    for (size_t i = 74; i < 330; ++i) ASSERT_EQ(raw[i], 0) << i;
    SampleRecord sample;
    std::memcpy(&sample, raw.data(), sizeof sample);
    EXPECT_EQ(+sample.HR, 140);
    EXPECT_EQ(+sample.TimeOffset, 10);
    EXPECT_EQ(+sample.Altitude, 10);  // no altitude column in this SMode
    EXPECT_EQ(+sample.Latitude, 0);
    EXPECT_EQ(+sample.SampleFlag, 0);
}

TEST_F(Exports_records, outOfRangeIndexesWriteNothing) {
    const std::string file = write("ride.hrm", exerciseText());
    const int32_t index = 0;
    ASSERT_EQ(AnalyseExercise(file.c_str(), &index), 3);
    std::array<uint8_t, sizeof(SampleRecord)> sample;
    sample.fill(0xEE);
    // Spare capacity reads as zeros; beyond it and below 0 nothing is written.
    EXPECT_EQ(GetExerciseDatasEx(4999, sample.data()), 1);
    EXPECT_EQ(sample[0], 0);
    for (int32_t bad : {-1, 5000, 2147483647}) {
        sample.fill(0xEE);
        EXPECT_EQ(GetExerciseDatasEx(bad, sample.data()), 0) << bad;
        for (uint8_t b : sample) ASSERT_EQ(b, 0xEE);
    }
    std::array<uint8_t, sizeof(LapRecord)> lap;
    for (int32_t bad : {-1, 1, 2147483647}) {
        lap.fill(0xEE);
        EXPECT_EQ(GetLapDatasEx(bad, lap.data()), 0) << bad;
        for (uint8_t b : lap) ASSERT_EQ(b, 0xEE);
    }
    EXPECT_EQ(GetLapDatasEx(0, lap.data()), 0);
    EXPECT_EQ(lap[90], 2);
    EXPECT_EQ(GetExerciseDatasEx(0, nullptr), 0);
    EXPECT_EQ(GetLogSummaryEx(nullptr), 0);
    EXPECT_EQ(GetLapDatasEx(0, nullptr), 0);
}

TEST_F(Exports_records, summaryRecordOffsets) {
    const std::string file = write("ride.hrm", exerciseText());
    const int32_t index = 0;
    ASSERT_EQ(AnalyseExercise(file.c_str(), &index), 3);
    std::array<uint8_t, sizeof(ExerciseSummary)> raw;
    raw.fill(0xFF);
    ASSERT_EQ(GetLogSummaryEx(raw.data()), 1);
    EXPECT_EQ(raw[70], 5);                       // IntervalSec
    EXPECT_EQ(raw[67], 12);                      // MonitorType
    EXPECT_EQ(raw[60] | raw[61] << 8, 1);        // LapCount
    int32_t duration;
    std::memcpy(&duration, &raw[62], 4);
    EXPECT_EQ(duration, 15);
    for (size_t i : {16, 17, 19, 44, 56, 66, 68, 71, 118}) EXPECT_EQ(raw[i], 0) << i;
}
