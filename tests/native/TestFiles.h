#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "framework/posix/MessageSink.h"
#include "model/PluginState.h"
#include "tests/shared/FileContent.h"
#include "tests/shared/HrmText.h"

// Files for the tests, and the plug-in driven the way the host drives it,
// with host records read at their byte offsets.

// A fresh directory for tests that need files but no loaded plug-in.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

bool pathExists(const std::string& path);

// The loader over lines the test holds as strings.
int32_t LoadExercise(TPluginState& plugin, const std::vector<std::string>& lines);

// The value of type T at `offset` of a host record.
template <typename T>
T at(const std::vector<uint8_t>& record, size_t offset) {
    T value;
    std::memcpy(&value, record.data() + offset, sizeof value);
    return value;
}

// PluginTest with the message boxes collected instead of shown, and the
// calls the host makes.
class HostTest : public PluginTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a settings file with these SETTINGS lines and hands it over.
    void settings(const std::string& lines);
    int32_t analyse(const std::string& file, int32_t index = 0);
    std::string workDir() const { return path("VoruzUvidav"); }

    // Host records as GetLogSummaryEx, GetExerciseDatasEx and GetLapDatasEx
    // fill them; the buffers start as 0xEE bytes.
    std::vector<uint8_t> summary(bool* delivered = nullptr) const;
    std::vector<uint8_t> sample(int32_t index) const;
    std::vector<uint8_t> lap(int32_t index) const;

    std::vector<std::string> messages;  // texts of the information boxes
    int beeps = 0;

private:
    fw::MessageSink previousSink_;
};

// The lines of a message text whose every line ends in CR LF.
std::vector<std::string> messageLines(const std::string& text);
