#include "TestFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + path);
}

bool pathExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

std::vector<std::string> Hrm::lines() const {
    std::vector<std::string> out{"[Params]"};
    const std::pair<const char*, const std::string*> keys[] = {
        {"Version=", &version},     {"Monitor=", &monitor}, {"SMode=", &smode},       {"Date=", &date},
        {"StartTime=", &startTime}, {"Length=", &length},   {"Interval=", &interval}, {"MaxHR=", &maxHR}};
    for (const auto& [key, value] : keys)
        if (!value->empty()) out.push_back(key + *value);
    out.push_back("");
    out.insert(out.end(), sections.begin(), sections.end());
    out.push_back("[HRData]");
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

int32_t LoadExercise(TPluginState& plugin, const std::vector<std::string>& lines) {
    const std::vector<std::string_view> views(lines.begin(), lines.end());
    return LoadExercise(plugin, views);
}

std::string Hrm::text() const {
    std::string text;
    for (const std::string& line : lines()) text += line + "\r\n";
    return text;
}

Hrm& Hrm::heartRates(int count, int first) {
    for (int i = 0; i < count; ++i) rows.push_back(std::to_string(first + i));
    return *this;
}

std::vector<std::string> lapLines(const std::string& split, int hrAverage, int hrMaximum, int speed, int power,
                                  int temperature) {
    const auto n = [](int value) { return std::to_string(value); };
    return {split + "\t0\t0\t" + n(hrAverage) + "\t" + n(hrMaximum), "0\t0\t0\t" + n(speed) + "\t0\t0",
            "0\t0\t0\t0\t0", "0\t0\t" + n(power) + "\t" + n(temperature) + "\t0\t0", "0\t0\t0\t0\t0\t0"};
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
