// The overview page read back as XML: the order of its rows, the years,
// the names as given and the links as a browser resolves them; the charts'
// numbers, the zone bars and the records as the page shows them; a page
// that opens from a disk and reads alike as XML and as HTML.
#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/host/time/CivilTime.h"
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
    for (const pugi::xpath_node& year : page.select_nodes("//details[@class='year']/summary/strong"))
        years.push_back(year.node().text().get());
    EXPECT_EQ(years, (std::vector<std::string>{"2024", "2003", "No date"}));
    EXPECT_EQ(page.select_nodes("//details[@class='year'][@open]").size(), 1u) << "the newest year alone open";

    std::vector<std::string> links;
    for (const pugi::xpath_node& a : page.select_nodes("//tr[@class='exercise']/td[@class='files']/a"))
        links.push_back(a.node().attribute("href").value());
    EXPECT_EQ(links, (std::vector<std::string>{"new.svg", "new.tcx", "2003/c.svg", "2003/a%20b%231.svg",
                                               "2003/a%20b%231.fit", "lost.svg"}));
    EXPECT_STREQ(page.select_node("(//tr[@class='exercise'])[3]/td[2]/a").node().attribute("href").value(),
                 "2003/a%20b%231.svg")
        << "the name links the chart";
}

// A history of two sports over two years, one exercise without heart rate.
std::vector<OverviewExercise> history() {
    std::vector<OverviewExercise> exercises;
    const struct {
        const char* sport;
        int year, month, day;
        double minutes, kilometres, load;
    } made[] = {{"Running", 2022, 3, 1, 60, 12, 80},     {"Cycling", 2022, 7, 9, 150, 70, 200},
                {"Running", 2023, 1, 2, 30, 6, 40},      {"Running", 2023, 5, 20, 120, 25, 0},
                {"Cycling", 2023, 6, 10, 90, 40, 120}};
    for (const auto& m : made) {
        const std::string name = std::string(m.sport) + " " + std::to_string(m.year) + "-" + std::to_string(m.month);
        OverviewExercise e = exercise(name,
                                      *unixDays(m.year, m.month, m.day) * 86400 + 36000, {});
        e.files = {e.name + ".svg", e.name + ".fit"};
        e.sport = m.sport;
        e.duration = m.minutes * 60;
        e.distance = m.kilometres * 1000;
        if (m.load > 0) {
            e.load = m.load;
            e.zoneSeconds = {60, 0, 180, 120, 240};
            e.zoneSource = "bounds of a test";
        }
        exercises.push_back(e);
    }
    return exercises;
}

pugi::xml_document pageOf(const std::vector<OverviewExercise>& exercises, std::string* text = nullptr) {
    std::ostringstream out;
    writeOverviewPage(exercises, out);
    pugi::xml_document page;
    EXPECT_TRUE(page.load_string(out.str().c_str())) << out.str();
    if (text) *text = out.str();
    return page;
}

// An element HTML would leave open where XML closes it: empty, neither
// void in HTML nor inside an inline SVG.
void expectNoneLeftOpen(pugi::xml_node node) {
    for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element || std::string(child.name()) == "svg") continue;
        EXPECT_TRUE(child.first_child() || std::string(child.name()) == "meta") << child.name() << " is empty";
        expectNoneLeftOpen(child);
    }
}

TEST(OverviewPage_document, opensFromADiskAndReadsAlikeAsHtml) {
    std::string text;
    const pugi::xml_document page = pageOf(history(), &text);
    for (const char* forbidden : {"<script", "src=", "<link", "url(", "@import"})
        EXPECT_EQ(text.find(forbidden), std::string::npos) << forbidden;
    // "http" only in the namespaces that tell XML readers what the elements are.
    size_t http = 0, namespaces = 0;
    for (size_t at = text.find("http"); at != std::string::npos; at = text.find("http", at + 1)) ++http;
    for (size_t at = text.find("xmlns=\"http://www.w3.org/"); at != std::string::npos;
         at = text.find("xmlns=\"http://www.w3.org/", at + 1))
        ++namespaces;
    EXPECT_EQ(http, namespaces);
    const std::string style = page.select_node("//style").node().text().get();
    EXPECT_EQ(style.find_first_of("<>&"), std::string::npos) << "HTML reads a style sheet unescaped";
    pugi::xml_document spaced;  // with the spaces that give an element content
    ASSERT_TRUE(spaced.load_string(text.c_str(), pugi::parse_default | pugi::parse_ws_pcdata));
    expectNoneLeftOpen(spaced);
    for (const pugi::xpath_node& svg : page.select_nodes("//svg"))
        EXPECT_STRNE(svg.node().attribute("viewBox").value(), "") << "a chart scales with the page";
}

TEST(OverviewPage_charts, yearTableSumsEachSportsTime) {
    const pugi::xml_document page = pageOf(history());
    const pugi::xml_node table =
        page.select_node("//div[@class='figure'][h3='Training time per year (h)']//table").node();
    ASSERT_TRUE(table);
    std::vector<std::string> heads, rows;
    for (const pugi::xpath_node& th : table.select_nodes("thead/tr/th")) heads.push_back(th.node().text().get());
    EXPECT_EQ(heads, (std::vector<std::string>{"Year", "Cycling", "Running", "Total"}));
    for (const pugi::xpath_node& tr : table.select_nodes("tbody/tr")) {
        std::string row;
        for (const pugi::xml_node cell : tr.node().children()) row += std::string(cell.text().get()) + " ";
        rows.push_back(row);
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"2022 2.5 1.0 3.5 ", "2023 1.5 2.5 4.0 "}));
    EXPECT_TRUE(page.select_node("//h3[.='Time in zones per week of 2023 (h)']")) << "the newest year's weeks";
}

TEST(OverviewPage_charts, zoneBarEndsEachZoneWhereItsShareEnds) {
    const pugi::xml_document page = pageOf(history());
    const pugi::xml_node bar =
        page.select_node("//tr[@class='exercise'][td[1]='Cycling 2023-6']//span[@class='zones']").node();
    // 60, 0, 180, 120 and 240 s: 10, 0, 30, 20 and 40 %.
    EXPECT_STREQ(bar.attribute("style").value(), "--z1:10.0%;--z2:10.0%;--z3:40.0%;--z4:60.0%");
    EXPECT_STREQ(bar.attribute("title").value(), "Z1 1 min, Z2 0 min, Z3 3 min, Z4 2 min, Z5 4 min");
    EXPECT_FALSE(page.select_node("//tr[@class='exercise'][td[1]='Running 2023-5']//span[@class='zones']"));
    EXPECT_TRUE(page.select_node("//ul[@class='sources']/li[.='Zones of 4 exercises: bounds of a test']"));
}

TEST(OverviewPage_records, eachLinksTheChartOfItsExercise) {
    const pugi::xml_document page = pageOf(history());
    std::vector<std::string> links;
    for (const pugi::xpath_node& a : page.select_nodes("//table[@class='records']/tbody/tr/td//a"))
        links.push_back(a.node().attribute("href").value());
    // Cycling first, the sport of more hours; neither has an ascent.
    EXPECT_EQ(links, (std::vector<std::string>{"Cycling%202022-7.svg", "Cycling%202022-7.svg", "Cycling%202022-7.svg",
                                               "Running%202023-5.svg", "Running%202023-5.svg",
                                               "Running%202022-3.svg"}));
}

}  // namespace
