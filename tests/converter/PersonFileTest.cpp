// The person file's list of sports: read by its counts past damage, and
// the names people give sports taken as FIT's sport only where clear.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tools/host/recording/PersonFile.h"

namespace {

// "[PersonSports]", the count, then six lines per sport as given.
std::string personText(const std::string& count, const std::vector<std::vector<std::string>>& sports) {
    std::string text = "[PersonInfo]\r\n100\t1\r\nAnna\r\n\r\n[PersonSports]\r\n" + count + "\r\n";
    for (const std::vector<std::string>& rows : sports)
        for (const std::string& row : rows) text += row + "\r\n";
    return text + "\r\n[PersonLimits]\r\n3\r\n";
}

TEST(PersonFile_sports, readByTheCountsWithWhatCannotBeReadSaid) {
    const PersonFile person = readPersonFile(personText("5", {{"1", "255", "Running", "Run", "0", "0"},
                                                              {"5", "65280", " Nordic walking ", "NW", "0", "0"},
                                                              {"x", "0", "Broken", "B", "0", "0"},
                                                              {"1", "0", "Again", "A", "0", "0"},
                                                              {"9", "0", "Kolo \xf8", "K", "0", "0"}}),
                                             CodePage::windows1250);
    EXPECT_EQ(person.sports, (std::map<int32_t, std::string>{{1, "Running"}, {5, "Nordic walking"}, {9, "Kolo \xc5\x99"}}));
    ASSERT_EQ(person.problems.size(), 2u);
    EXPECT_NE(person.problems[0].find("'x' is no sport number"), std::string::npos) << person.problems[0];
    EXPECT_NE(person.problems[1].find("sport 1 is listed again"), std::string::npos) << person.problems[1];

    const PersonFile cut = readPersonFile(personText("3", {{"1", "255", "Running", "Run", "0", "0"}}), CodePage::windows1252);
    EXPECT_EQ(cut.sports.size(), 1u);
    ASSERT_EQ(cut.problems.size(), 1u);
    EXPECT_NE(cut.problems[0].find("ends after 1 of its 3 sports"), std::string::npos) << cut.problems[0];

    EXPECT_EQ(readPersonFile(personText("many", {}), CodePage::windows1252).problems.size(), 1u);
    EXPECT_TRUE(readPersonFile("[PersonInfo]\r\nAnna\r\n", CodePage::windows1252).sports.empty());
}

TEST(PersonFile_sports, aNameIsAFitSportOnlyWhereItClearlyIsOne) {
    const std::map<std::string, std::optional<Sport>> names = {
        {"Nordic walking", parseSport("walking")},
        {"TRAIL RUNNING", Sport::Running},
        {"Mountain biking", Sport::Cycling},
        {"Open water swim", Sport::Swimming},
        {"Cross country skiing", parseSport("cross_country_skiing")},
        {"Indoor rowing", parseSport("rowing")},
        {"Run & bike", std::nullopt},
        {"Strength", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [name, sport] : names) EXPECT_EQ(sportOfName(name), sport) << name;
}

}  // namespace
