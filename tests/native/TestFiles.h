#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "framework/posix/MessageSink.h"
#include "model/PluginState.h"

// Exercise files made to measure, and the plug-in driven the way the host
// drives it, with host records read at their byte offsets.

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

void writeFile(const std::string& path, const std::string& content);
bool pathExists(const std::string& path);

// An .hrm file: the parameter keys (an empty value leaves its line out),
// further lines before the samples, then "[HRData]" and the rows.
struct Hrm {
    std::string version = "106";
    std::string monitor = "12";
    std::string smode = "000000000";
    std::string date = "20240501";
    std::string startTime = "10:00:00.0";
    std::string length = "00:10:00.0";
    std::string interval = "5";
    std::string maxHR;
    std::vector<std::string> sections;  // lines between the parameters and the samples
    std::vector<std::string> rows;

    std::vector<std::string> lines() const;
    std::string text() const;  // every line ends in CR LF
    // Appends `count` rows of heart rates first, first + 1, ...
    Hrm& heartRates(int count, int first = 100);
};

// The loader over lines the test holds as strings.
int32_t LoadExercise(TPluginState& plugin, const std::vector<std::string>& lines);

// Lap lines of an "[IntTimes]" section, 5 rows per lap (version 106 on):
// split, HR average and maximum, speed in tenths, power and temperature in tenths.
std::vector<std::string> lapLines(const std::string& split, int hrAverage, int hrMaximum, int speed, int power,
                                  int temperature);

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
