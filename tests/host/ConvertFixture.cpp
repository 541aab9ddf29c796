#include "tests/host/ConvertFixture.h"

#include <cmath>
#include <filesystem>
#include <sstream>

#include "tests/shared/HrmText.h"

namespace fs = std::filesystem;

double semicircles(double degrees) { return std::round(degrees * 2147483648.0 / 180.0); }

std::string rrText(const std::string& start, const std::vector<std::string>& rows) {
    Hrm hrm;
    hrm.monitor = "22";
    hrm.date = "20240512";
    hrm.startTime = start;
    hrm.length = "00:03:00.0";
    hrm.interval = "238";
    hrm.startDelay = "0";
    hrm.rows = rows;
    return hrm.text();
}

void ConvertFixture::SetUp() {
    Host::SetUp();
    for (const char* reader : {"gpsbabel", "xmllint", "node"})
        ASSERT_EQ(runShell(std::string("command -v ") + reader).status, 0)
            << reader << " is missing: run scripts/setup.sh";
    ASSERT_TRUE(fs::exists(POLAR_FIT_CHECK_DIR "/node_modules/@garmin/fitsdk"))
        << "the FIT SDK is missing: run scripts/setup-readers.sh";
}

void ConvertFixture::TearDown() {
    if (fs::is_directory(POLAR_SCHEMAS_DIR)) {
        expectSchemaValid(".tcx", "tcx-with-extensions.xsd");
        expectSchemaValid(".gpx", "gpx-with-extensions.xsd");
    }
    Host::TearDown();
}

// The wrappers check the extension elements too; xmllint reads nothing from the network.
void ConvertFixture::expectSchemaValid(const std::string& extension, const std::string& schema) const {
    std::string files;
    std::error_code missing;
    for (const auto& entry : fs::recursive_directory_iterator(path("out"), missing))
        if (entry.path().extension() == extension) files += " " + shellQuoted(entry.path().string());
    if (files.empty()) return;
    const HostRun check =
        runShell("xmllint --noout --nonet --schema " + shellQuoted(POLAR_SCHEMAS_DIR "/" + schema) + files);
    EXPECT_EQ(check.status, 0) << "not valid against " << schema << ":\n" << check.err;
}

HostRun ConvertFixture::convert(const std::string& format, std::vector<std::string> arguments, int expected,
                                const std::string& environment) const {
    arguments.insert(arguments.begin(), {"--format", format, "--output", path("out")});
    const HostRun result = run(arguments, environment);
    EXPECT_EQ(result.status, expected) << result.err;
    return result;
}

std::vector<Row> ConvertFixture::gpsbabel(const std::string& format, const std::string& file) const {
    const HostRun read = runShell("gpsbabel -t -i " + format + " -f " + shellQuoted(file) + " -o unicsv -F -");
    EXPECT_EQ(read.status, 0) << file << ": " << read.err;
    std::istringstream lines(read.out);
    std::vector<std::string> header;
    std::vector<Row> rows;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> cells;
        std::istringstream cellText(line);
        for (std::string cell; std::getline(cellText, cell, ',');) cells.push_back(cell);
        if (header.empty()) {
            header = cells;
            continue;
        }
        Row row;
        for (size_t i = 0; i < cells.size() && i < header.size(); ++i) row[header[i]] = cells[i];
        rows.push_back(row);
    }
    return rows;
}

Json ConvertFixture::fit(const std::string& file) const {
    const HostRun read = runShell("node " + shellQuoted(POLAR_FIT_CHECK_DIR "/check.mjs") + " " + shellQuoted(file));
    EXPECT_EQ(read.status, 0) << file << ": " << read.out.substr(0, 400) << read.err;
    Json report = Json::parse(read.out);
    EXPECT_TRUE(report["integrity"].boolean) << file;
    return report["messages"];
}

std::vector<double> ConvertFixture::hrvIntervals(const Json& messages) {
    std::vector<double> intervals;
    const Json& hrv = messages["hrvMesgs"];
    for (size_t m = 0; m < hrv.size(); ++m)
        for (size_t k = 0; k < hrv[m]["time"].size(); ++k)
            if (hrv[m]["time"][k].kind == Json::Kind::Number) intervals.push_back(hrv[m]["time"][k].number);
    return intervals;
}

void ConvertFixture::expectWellFormed(const std::string& file) const {
    const HostRun check = runShell("xmllint --noout " + shellQuoted(file));
    EXPECT_EQ(check.status, 0) << file << ": " << check.err;
}
