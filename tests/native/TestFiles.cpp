#include "TestFiles.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "plugin/uExportFunctions.h"
#include "processing/ExerciseLoader.h"

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "polarfiles.XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary directory");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

bool pathExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

int32_t LoadExercise(TPluginState& plugin, const std::vector<std::string>& lines) {
    const std::vector<std::string_view> views(lines.begin(), lines.end());
    return LoadExercise(plugin, views);
}

void HostTest::SetUp() {
    PluginTest::SetUp();
    previousSink_ = fw::setMessageSink([this](fw::MessageKind kind, const std::string& text) {
        if (kind == fw::MessageKind::Beep)
            ++beeps;
        else
            messages.push_back(text);
    });
}

void HostTest::TearDown() {
    fw::setMessageSink(previousSink_);
    PluginTest::TearDown();
}

void HostTest::settings(const std::string& lines) {
    SetPluginIniFile(write("plugin.ini", "[SETTINGS]\r\n" + lines).c_str());
}

int32_t HostTest::analyse(const std::string& file, int32_t index) { return AnalyseExercise(file.c_str(), &index); }

std::vector<uint8_t> HostTest::summary(bool* delivered) const {
    std::vector<uint8_t> record(120, 0xEE);
    const uint8_t result = GetLogSummaryEx(record.data());
    if (delivered) *delivered = result == 1;
    return record;
}

std::vector<uint8_t> HostTest::sample(int32_t index) const {
    std::vector<uint8_t> record(335, 0xEE);
    GetExerciseDatasEx(index, record.data());
    return record;
}

std::vector<uint8_t> HostTest::lap(int32_t index) const {
    std::vector<uint8_t> record(122, 0xEE);
    GetLapDatasEx(index, record.data());
    return record;
}

std::vector<std::string> messageLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start) + " (no CR LF)");
    return lines;
}
