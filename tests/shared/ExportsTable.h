#pragma once

// Every one of the 31 exports called with null pointers and out-of-range
// values for each of its arguments, as a hostile or careless host might.
// The same cases run natively (the exports linked in) and under Wine (the
// DLL loaded, the exports reached by ordinal): each side fills `Exports`
// and an `Environment`, then calls checkEveryExport.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "model/PluginVersion.h"
#include "plugin/ExportContract.h"
#include "tests/shared/HrmText.h"

namespace exports_table {

// The exports in ordinal order.
struct Exports {
    plugin_exports::CallImportDialog::Function* CallImportDialog;
    plugin_exports::CallConfiguration::Function* CallConfiguration;
    plugin_exports::GetDelProperty::Function* GetDelProperty;
    plugin_exports::UseOwnImportDialog::Function* UseOwnImportDialog;
    plugin_exports::UseOwnSetupDialog::Function* UseOwnSetupDialog;
    plugin_exports::GetPluginImage::Function* GetPluginImage;
    plugin_exports::GetPluginIcon::Function* GetPluginIcon;
    plugin_exports::GetExInterface::Function* GetExInterface;
    plugin_exports::GetLapDatasEx::Function* GetLapDatasEx;
    plugin_exports::GetExerciseDatasEx::Function* GetExerciseDatasEx;
    plugin_exports::GetLogSummaryEx::Function* GetLogSummaryEx;
    plugin_exports::AnalyseExercise::Function* AnalyseExercise;
    plugin_exports::GetExerciseNumberFromRawFileEx::Function* GetExerciseNumberFromRawFileEx;
    plugin_exports::GetExerciseNumberFromRawFile::Function* GetExerciseNumberFromRawFile;
    plugin_exports::GetExerciseNumber::Function* GetExerciseNumber;
    plugin_exports::SetPluginIniFile::Function* SetPluginIniFile;
    plugin_exports::SetIniFile::Function* SetIniFile;
    plugin_exports::GetAHFactor::Function* GetAHFactor;
    plugin_exports::GetDir::Function* GetDir;
    plugin_exports::GetDeviceName::Function* GetDeviceName;
    plugin_exports::ValidRawExtension::Function* ValidRawExtension;
    plugin_exports::GetRawExtensionEx::Function* GetRawExtensionEx;
    plugin_exports::GetRawExtension::Function* GetRawExtension;
    plugin_exports::GetRawHeader::Function* GetRawHeader;
    plugin_exports::GetComment::Function* GetComment;
    plugin_exports::GetAuthor::Function* GetAuthor;
    plugin_exports::GetPluginDevType::Function* GetPluginDevType;
    plugin_exports::GetPluginType::Function* GetPluginType;
    plugin_exports::GetPluginName::Function* GetPluginName;
    plugin_exports::GetVersion::Function* GetVersion;
    plugin_exports::Initialize::Function* Initialize;
};

struct Environment {
    // Full path of a file in a scratch directory, and a writer for it.
    std::function<std::string(const std::string&)> file;
    std::function<void(const std::string&, const std::string&)> write;
    // Runs the named call, which may open a modal dialog; a windowed host
    // closes what opens. The plain one just calls.
    std::function<int32_t(const char*, const std::function<int32_t()>&)> modal =
        [](const char*, const std::function<int32_t()>& call) { return call(); };
};

// Lengths arrive in 32-bit slots of which the low 16 bits count.
inline constexpr uint32_t kLengths[] = {0, 1, 3, 65535, 65536, 65536 + 3, 0xFFFFFFFFu};
inline constexpr int32_t kBadIndexes[] = {-1, INT32_MAX, INT32_MIN};
inline constexpr uint8_t kFill = 0x7F;

// A buffer larger than any length can reach, so a write past the rule shows.
struct Guarded {
    std::vector<char> bytes = std::vector<char>(65536 + 64, static_cast<char>(kFill));
    size_t written() const {
        size_t n = bytes.size();
        while (n > 0 && bytes[n - 1] == static_cast<char>(kFill)) --n;
        return n;
    }
};

// A text export keeps the buffer rule for every length: at most Len
// characters and a zero, nothing for Len 0, nothing through a null pointer.
template <typename Call>
void checkTextRule(const char* name, const std::string& text, Call call) {
    SCOPED_TRACE(name);
    call(nullptr, 100u);
    call(nullptr, 0xFFFFFFFFu);
    for (uint32_t len : kLengths) {
        Guarded buffer;
        call(buffer.bytes.data(), len);
        const size_t limit = len & 0xFFFF;
        if (limit == 0) {
            EXPECT_EQ(buffer.written(), 0u) << "len " << len;
            continue;
        }
        const size_t copied = std::min(limit, text.size());
        EXPECT_EQ(std::string(buffer.bytes.data(), copied), text.substr(0, copied)) << "len " << len;
        EXPECT_EQ(buffer.bytes[copied], '\0') << "len " << len;
        EXPECT_EQ(buffer.written(), copied + 1) << "len " << len;
    }
}

template <size_t Size>
bool untouched(const std::array<uint8_t, Size>& record) {
    for (uint8_t b : record)
        if (b != kFill) return false;
    return true;
}

// Host records given bad indexes or null pointers: nothing written, a refusal.
inline void checkTransfer(const Exports& x, bool loaded) {
    std::array<uint8_t, 120> summary;
    summary.fill(kFill);
    EXPECT_EQ(x.GetLogSummaryEx(nullptr), 0);
    EXPECT_EQ(x.GetLogSummaryEx(summary.data()), loaded ? 1 : 0);
    if (!loaded) {
        EXPECT_TRUE(untouched(summary));
    }
    for (int32_t index : {0, -1, INT32_MAX, INT32_MIN}) {
        SCOPED_TRACE("index " + std::to_string(index));
        EXPECT_EQ(x.GetExerciseDatasEx(index, nullptr), 0);
        EXPECT_EQ(x.GetLapDatasEx(index, nullptr), 0);
    }
    for (int32_t index : kBadIndexes) {
        SCOPED_TRACE("index " + std::to_string(index));
        std::array<uint8_t, 335> sample;
        sample.fill(kFill);
        EXPECT_EQ(x.GetExerciseDatasEx(index, sample.data()), 0);
        EXPECT_TRUE(untouched(sample));
        std::array<uint8_t, 122> lap;
        lap.fill(kFill);
        EXPECT_EQ(x.GetLapDatasEx(index, lap.data()), 0);
        EXPECT_TRUE(untouched(lap));
    }
}

inline void checkEveryExport(const Exports& x, const Environment& env) {
    // 3-5, 8, 27, 28, 30: no arguments, constant answers.
    EXPECT_EQ(x.GetDelProperty(), 0);
    EXPECT_EQ(x.UseOwnImportDialog(), 1);
    EXPECT_EQ(x.UseOwnSetupDialog(), 1);
    EXPECT_EQ(x.GetExInterface(), 7);
    EXPECT_EQ(x.GetPluginDevType(), 5);
    EXPECT_EQ(x.GetPluginType(), 1);
    EXPECT_EQ(x.GetVersion(), kPluginVersion);

    // 6, 7: a null handle variable is refused without a write.
    EXPECT_EQ(x.GetPluginImage(nullptr), 1);
    EXPECT_EQ(x.GetPluginIcon(nullptr), 1);

    // 31, 18, 19: extreme factors, a null directory.
    EXPECT_EQ(x.Initialize(INT32_MIN, nullptr, 0xFFFFFFFFu), 1);
    EXPECT_EQ(x.GetAHFactor(), INT32_MIN);
    EXPECT_EQ(x.Initialize(255, nullptr, 0), 1);
    EXPECT_EQ(x.GetAHFactor(), INT32_MIN);
    EXPECT_EQ(x.Initialize(INT32_MAX, "", 0), 1);
    EXPECT_EQ(x.GetAHFactor(), INT32_MAX);
    checkTextRule("GetDir empty", "", [&](char* b, uint32_t l) { x.GetDir(b, l); });
    const std::string directory(70000, 'd');
    x.Initialize(2, directory.c_str(), 0);
    checkTextRule("GetDir long", directory, [&](char* b, uint32_t l) { x.GetDir(b, l); });

    // 20, 26, 29, 22, 23, 24: fixed texts under every length.
    checkTextRule("GetDeviceName", "Polar Devices", [&](char* b, uint32_t l) { x.GetDeviceName(b, l); });
    checkTextRule("GetAuthor", "Orvelt", [&](char* b, uint32_t l) { x.GetAuthor(b, l); });
    checkTextRule("GetPluginName", "Zudar Eruvuv Uzevaz", [&](char* b, uint32_t l) { x.GetPluginName(b, l); });
    checkTextRule("GetRawExtensionEx", "hrm", [&](char* b, uint32_t l) { EXPECT_EQ(x.GetRawExtensionEx(b, l), 1); });
    checkTextRule("GetRawExtension", "hrz", [&](char* b, uint32_t l) { EXPECT_EQ(x.GetRawExtension(b, l), 1); });
    checkTextRule("GetRawHeader", "PK\x03\x04\x14", [&](char* b, uint32_t l) { EXPECT_EQ(x.GetRawHeader(b, l), 5); });

    // 21: null text, lengths whose low 16 bits are 0.
    for (uint32_t len : kLengths) {
        EXPECT_EQ(x.ValidRawExtension(nullptr, len), 0) << len;
        EXPECT_EQ(x.ValidRawExtension(".hrz", len), (len & 0xFFFF) != 0 ? 1 : 0) << len;
        EXPECT_EQ(x.ValidRawExtension("", len), 0) << len;
    }

    // 16, 17: null and empty names; a missing file gives the defaults.
    x.SetIniFile(nullptr);
    x.SetIniFile("");
    x.SetPluginIniFile(nullptr);
    EXPECT_EQ(x.GetAHFactor(), 2);
    x.SetPluginIniFile("");
    x.SetPluginIniFile(env.file("missing-dir/none.ini").c_str());
    EXPECT_EQ(x.GetAHFactor(), 2);

    // 9-11, 25 before anything was analysed.
    {
        SCOPED_TRACE("nothing analysed");
        checkTransfer(x, false);
        checkTextRule("GetComment empty", "", [&](char* b, uint32_t l) { EXPECT_EQ(x.GetComment(b, l), 0); });
    }

    // 13, 14, 15: null, empty and missing names.
    for (uint32_t extra : {0u, 0xFFFFFFFFu}) EXPECT_EQ(x.GetExerciseNumberFromRawFileEx(nullptr, extra), 0);
    EXPECT_EQ(x.GetExerciseNumberFromRawFile(nullptr), 0);
    EXPECT_EQ(x.GetExerciseNumberFromRawFile(""), 0);
    EXPECT_EQ(x.GetExerciseNumberFromRawFile(env.file("missing.hrz").c_str()), 0);
    EXPECT_EQ(x.GetExerciseNumber(), 0);

    // 12: null name, null index variable, indexes out of range.
    const int32_t zero = 0;
    EXPECT_EQ(x.AnalyseExercise(nullptr, nullptr), 0);
    EXPECT_EQ(x.AnalyseExercise(nullptr, &zero), 0);
    EXPECT_EQ(x.AnalyseExercise("", &zero), 0);
    EXPECT_EQ(x.AnalyseExercise(env.file("missing.hrm").c_str(), nullptr), 0);
    Hrm exercise;
    exercise.monitor = exercise.date = exercise.startTime = exercise.length = "";
    exercise.interval = "1";
    exercise.note(std::string(70000, 'n')).laps({{.split = "00:00:02.0", .average = 120, .maximum = 130}});
    env.write("ride.hrm", exercise.heartRates(3).text());
    const std::string ride = env.file("ride.hrm");
    for (int32_t index : kBadIndexes) {
        SCOPED_TRACE("index " + std::to_string(index));
        // The index names nothing for a single file.
        EXPECT_EQ(x.AnalyseExercise(ride.c_str(), &index), 3);
        EXPECT_EQ(x.AnalyseExercise(env.file("missing.hrz").c_str(), &index), 0);
    }
    EXPECT_EQ(x.AnalyseExercise(ride.c_str(), nullptr), 3);
    {
        SCOPED_TRACE("three samples, one lap");
        checkTransfer(x, true);
        std::array<uint8_t, 122> lap;
        lap.fill(kFill);
        x.GetLapDatasEx(0, lap.data());
        EXPECT_EQ(lap[90], 2);
        checkTextRule("GetComment long", std::string(70000, 'n'),
                      [&](char* b, uint32_t l) { EXPECT_EQ(x.GetComment(b, l), 70000); });
    }

    // 1, 2: dialogs with no window, no directory, extreme geometry. No
    // exercise count can be negative.
    for (const char* target : {static_cast<const char*>(nullptr), "", "\x01:|*?"}) {
        SCOPED_TRACE(target ? target : "null");
        const int32_t imported = env.modal("CallImportDialog", [&] {
            return x.CallImportDialog(nullptr, INT32_MIN, INT32_MAX, -1, 0, 255, 255, target, 255);
        });
        EXPECT_GE(imported, 0);
        env.modal("CallConfiguration", [&] {
            return x.CallConfiguration(nullptr, INT32_MAX, INT32_MIN, 0, -1, 255, 255, target, 255);
        });
    }
}

}  // namespace exports_table
