// The overview page read back as XML: the order of its rows, the years,
// the names as given and the links as a browser resolves them.
#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tools/host/views/OverviewPage.h"

namespace {

OverviewExercise exercise(const std::string& name, std::optional<int64_t> start, std::vector<std::string> files) {
    OverviewExercise e;
    e.name = e.source = name;
    e.startText = name;
    e.start = start;
    e.duration = 3600;
    e.files = std::move(files);
    return e;
}

TEST(OverviewPage_rows, newestFirstByYearWithEveryFileLinked) {
    const std::vector<OverviewExercise> exercises = {
        exercise("Tuesday & <Thursday>", 1050000000, {"2003/a b#1.svg", "2003/a b#1.fit"}),  // 2003-04-10
        exercise("undated", std::nullopt, {"lost.svg"}),
        exercise("newest", 1715500800, {"new.svg", "new.tcx"}),  // 2024-05-12
        exercise("same year", 1050100000, {"2003/c.svg"}),
    };
    std::ostringstream out;
    writeOverviewPage(exercises, out);
    pugi::xml_document page;
    ASSERT_TRUE(page.load_string(out.str().c_str())) << out.str();

    std::vector<std::string> rows;
    for (const pugi::xpath_node& row : page.select_nodes("//tr[@class='exercise']/td[1]"))
        rows.push_back(row.node().text().get());
    EXPECT_EQ(rows, (std::vector<std::string>{"newest", "same year", "Tuesday & <Thursday>", "undated"}));
    std::vector<std::string> years;
    for (const pugi::xpath_node& year : page.select_nodes("//tr[@class='year']/th")) years.push_back(year.node().text().get());
    EXPECT_EQ(years, (std::vector<std::string>{"2024", "2003"}));

    std::vector<std::string> links;
    for (const pugi::xpath_node& a : page.select_nodes("//tr[@class='exercise']/td[@class='files']/a"))
        links.push_back(a.node().attribute("href").value());
    EXPECT_EQ(links, (std::vector<std::string>{"new.svg", "new.tcx", "2003/c.svg", "2003/a%20b%231.svg",
                                               "2003/a%20b%231.fit", "lost.svg"}));
    EXPECT_STREQ(page.select_node("//tr[@class='exercise'][3]/td[2]/a").node().attribute("href").value(),
                 "2003/a%20b%231.svg")
        << "the name links the chart";
}

}  // namespace
