// The overview across runs into one folder: each run adds to the page,
// never takes a name an earlier run gave another exercise, changes nothing
// when run again, forgets exercises whose files are gone and reads past a
// damaged line of its history.
#include <gtest/gtest.h>

#include <filesystem>
#include <pugixml.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/host/HostFixture.h"
#include "tests/shared/HrmText.h"

namespace {

namespace fs = std::filesystem;

// A heart-rate-only exercise of ten minutes, a sample every 5 s.
std::string exerciseText(const std::string& date, const std::string& maxHR, int firstRate = 120) {
    Hrm hrm;
    hrm.date = date;
    hrm.maxHR = maxHR;
    hrm.length = "00:10:00.0";
    hrm.heartRates(120, firstRate);
    return hrm.text();
}

// The history's lines after its two heading lines, split at tabs.
std::vector<std::vector<std::string>> historyRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line;
    for (int skip = 0; skip < 2 && std::getline(lines, line); ++skip) {
    }
    while (std::getline(lines, line)) {
        std::vector<std::string> columns;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) columns.push_back(cell);
        rows.push_back(columns);
    }
    return rows;
}

class History : public Host {
protected:
    HostRun convert(const std::vector<std::string>& raw, const std::vector<std::string>& options = {}) const {
        std::vector<std::string> arguments = {"--format", "svg,fit", "--output", path("out")};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.insert(arguments.end(), raw.begin(), raw.end());
        const HostRun result = run(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        return result;
    }

    // The page's rows, each its chart's link; every link a file that exists.
    std::set<std::string> pageCharts() const {
        pugi::xml_document page;
        EXPECT_TRUE(page.load_file(path("out/index.html").c_str())) << "the page reads as XML";
        std::set<std::string> charts;
        for (const pugi::xpath_node& row : page.select_nodes("//tr[@class='exercise']/td[2]/a"))
            charts.insert(row.node().attribute("href").value());
        for (const pugi::xpath_node& a : page.select_nodes("//a")) {
            const std::string link = a.node().attribute("href").value();
            std::string file;
            for (size_t i = 0; i < link.size(); ++i) {
                file += link[i] == '%' ? static_cast<char>(std::stoi(link.substr(i + 1, 2), nullptr, 16)) : link[i];
                if (link[i] == '%') i += 2;
            }
            EXPECT_TRUE(fs::exists(path("out/" + file))) << link;
        }
        return charts;
    }
};

TEST_F(History, runsIntoOneFolderAddUpAndARerunChangesNothing) {
    fs::create_directories(path("2012/misc"));
    fs::create_directories(path("2013/misc"));
    write("2012/misc/ride.hrm", exerciseText("20120501", "195"));
    write("2013/misc/ride.hrm", exerciseText("20130501", "190"));
    write("2013/misc/run.hrm", exerciseText("20130502", "190"));

    convert({path("2012/misc")});
    const std::string first2012 = readFile(path("out/ride.fit"));
    const HostRun second = convert({path("2013/misc")});
    EXPECT_EQ(readFile(path("out/ride.fit")), first2012) << "the earlier run's file of another raw file stays";
    EXPECT_TRUE(fs::exists(path("out/ride (2).fit"))) << second.out;
    EXPECT_EQ(pageCharts(), (std::set<std::string>{"ride.svg", "ride%20%282%29.svg", "run.svg"}));

    const std::string history = readFile(path("out/index.tsv"));
    const std::string page = readFile(path("out/index.html"));
    const HostRun again = convert({path("2013/misc")});
    EXPECT_EQ(again.out, second.out) << "the same names again";
    EXPECT_EQ(readFile(path("out/index.tsv")), history);
    EXPECT_EQ(readFile(path("out/index.html")), page);
    EXPECT_FALSE(fs::exists(path("out/ride (3).svg")));

    // Named another way, the same raw file is the same exercise.
    const fs::path here = fs::current_path();
    fs::current_path(path("2013"));
    convert({"misc/ride.hrm"});
    fs::current_path(here);
    EXPECT_EQ(readFile(path("out/index.tsv")), history);

    // Files deleted: their exercise drops out; a damaged line is said and skipped.
    fs::remove(path("out/run.svg"));
    fs::remove(path("out/run.fit"));
    write("out/index.tsv", readFile(path("out/index.tsv")) + "damaged\tline\n");
    const HostRun damaged = convert({path("2012/misc/ride.hrm")});
    EXPECT_NE(damaged.err.find("index.tsv: line 6: 2 columns"), std::string::npos) << damaged.err;
    EXPECT_EQ(pageCharts(), (std::set<std::string>{"ride.svg", "ride%20%282%29.svg"}));
    EXPECT_EQ(historyRows(readFile(path("out/index.tsv"))).size(), 2u) << "the damaged line is gone";
}

// A history this program cannot read is not written over: a later
// version's stays for the version that wrote it.
TEST_F(History, aLaterVersionsFileIsLeftAsItIs) {
    const std::string later = "polarhost overview history\tversion 2\nnew\tcolumns\n";
    fs::create_directories(path("out"));
    write("out/index.tsv", later);
    const HostRun result = convert({write("ride.hrm", exerciseText("20240501", "190"))});
    EXPECT_NE(result.err.find("index.tsv: its first line is not"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("index.tsv: left as it is; the overview page lists this run's exercises alone"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(readFile(path("out/index.tsv")), later);
    EXPECT_EQ(pageCharts(), std::set<std::string>{"ride.svg"});
}

TEST_F(History, zonesAndLoadFromTheFilesMaximumElseTheOption) {
    write("own.hrm", exerciseText("20240501", "200", 100));
    write("none.hrm", exerciseText("20240502", "", 100));
    convert({path("own.hrm"), path("none.hrm")}, {"--max-hr", "250"});
    const std::vector<std::vector<std::string>> rows = historyRows(readFile(path("out/index.tsv")));
    ASSERT_EQ(rows.size(), 2u);
    ASSERT_GE(rows[0].size(), 20u);
    ASSERT_GE(rows[1].size(), 20u);
    // Heart rates 100 to 219, 5 s each. At a maximum of 200 the zones begin
    // at 100, 120, 140, 160 and 180: 100 s in each, 200 s in zone 5.
    EXPECT_EQ(std::vector<std::string>(rows[0].begin() + 12, rows[0].begin() + 17),
              (std::vector<std::string>{"100", "100", "100", "100", "200"}));
    EXPECT_EQ(rows[0][18], "33.333") << "(100 x (1 + 2 + 3 + 4) + 200 x 5) / 60";
    EXPECT_NE(rows[0][17].find("200 bpm (the file's MaxHR)"), std::string::npos) << rows[0][17];
    // At 250 they begin at 125, 150, 175, 200 and 225: under 125 counts in none.
    EXPECT_EQ(std::vector<std::string>(rows[1].begin() + 12, rows[1].begin() + 17),
              (std::vector<std::string>{"125", "125", "125", "100", "0"}));
    EXPECT_NE(rows[1][17].find("250 bpm (--max-hr)"), std::string::npos) << rows[1][17];

    const HostRun bad = run({"--format", "svg", "--output", path("out"), "--max-hr", "0", path("own.hrm")});
    EXPECT_EQ(bad.status, 2) << bad.err;
}

}  // namespace
