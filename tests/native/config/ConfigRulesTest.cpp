// The configuration dialog's rules that are subtle on their own; what the
// dialog reads and writes is tested through the exports under Wine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ConfigSettings.h"

namespace {

TEST(ConfigRules_port, portNumberIsTheDecimalTextAfterCom) {
    struct Case {
        const char* item;
        int32_t number;
    };
    for (const Case& c : std::vector<Case>{{"COM4", 4},
                                           {"COM17", 17},
                                           {"COM0", 0},
                                           {"COM32767", 32767},
                                           {"COM32768", -1},
                                           {"COM99999999999", -1},
                                           {"", -1},
                                           {"COM", -1},
                                           {"COMx", -1},
                                           {"COM4a", -1},
                                           {"COM-3", -1},
                                           {"COM 3", -1}})
        EXPECT_EQ(portNumberOf(c.item), c.number) << c.item;
    EXPECT_EQ(portItem(17), "COM17");
    EXPECT_EQ(portNumberOf(portItem(255)), 255);
}

TEST(ConfigRules_port, portItemsAreComNumbersInOrderOnce) {
    EXPECT_EQ(portItemsOf({"COM3", "COM10", "com2", "COM3", "\\Device\\Serial0", "COMA", "COM", "COM07", "LPT1"}),
              (std::vector<std::string>{"COM2", "COM3", "COM7", "COM10"}));
    EXPECT_TRUE(portItemsOf({}).empty());
}

TEST(ConfigRules_layout, colourSchemeTable) {
    struct Case {
        unsigned index;
        SchemeColor::Kind kind;
        uint8_t red, green, blue;
    };
    const std::vector<Case> cases{
        {0, SchemeColor::Rgb, 0x88, 0xAE, 0xE4},  {1, SchemeColor::Rgb, 0x98, 0x96, 0xB3},
        {2, SchemeColor::Rgb, 0xB1, 0xC0, 0x8C},  {3, SchemeColor::Rgb, 0xF2, 0xF0, 0xE3},
        {4, SchemeColor::Rgb, 0xC7, 0xD8, 0xED},  {5, SchemeColor::Rgb, 0xB4, 0xBB, 0xC5},
        {6, SchemeColor::ButtonFace, 0, 0, 0},    {7, SchemeColor::Rgb, 0xF2, 0xF0, 0xE3},
        {8, SchemeColor::Unchanged, 0, 0, 0},     {9, SchemeColor::Rgb, 0xD5, 0xDC, 0xE7},
        {10, SchemeColor::Rgb, 0xDA, 0xF1, 0xFC}, {11, SchemeColor::Rgb, 0xEE, 0xF5, 0xFD},
        {12, SchemeColor::ButtonFace, 0, 0, 0},   {13, SchemeColor::Unchanged, 0, 0, 0},
        {255, SchemeColor::Unchanged, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const SchemeColor color = schemeColor(static_cast<uint8_t>(c.index));
        EXPECT_EQ(color.kind, c.kind) << c.index;
        if (c.kind != SchemeColor::Rgb) continue;
        EXPECT_EQ(color.red, c.red) << c.index;
        EXPECT_EQ(color.green, c.green) << c.index;
        EXPECT_EQ(color.blue, c.blue) << c.index;
    }
}

TEST(ConfigRules_layout, centringTruncatesTowardZeroAndFallsBackForAnEmptyHost) {
    const ScreenRect screen{0, 0, 1024, 768};
    auto at = [&](int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t width, int32_t height) {
        const ScreenPoint p = centredOn(HostWindowParams{nullptr, left, top, right, bottom}, width, height, screen);
        return std::make_pair(p.x, p.y);
    };
    EXPECT_EQ(at(100, 50, 900, 650, 474, 384), std::make_pair(263, 158));
    EXPECT_EQ(at(0, 0, 101, 101, 100, 100), std::make_pair(0, 0));
    // A dialog one pixel larger than its host: -1 / 2 is 0, not -1.
    EXPECT_EQ(at(10, 20, 109, 119, 100, 100), std::make_pair(10, 20));
    // A dialog larger than its host starts left of it.
    EXPECT_EQ(at(-300, -200, -100, -100, 403, 301), std::make_pair(-401, -300));
    EXPECT_EQ(at(0, 0, 0, 0, 424, 368), std::make_pair(300, 200));
    EXPECT_EQ(at(500, 500, 400, 600, 424, 368), std::make_pair(300, 200)) << "right before left";
}

TEST(ConfigRules_saving, refusedWriteNamesTheFile) {
    EXPECT_EQ(writeRefusedMessage("C:\\x\\polar.ini"), "In C:\\x\\polar.ini kann nicht geschrieben werden");
}

}  // namespace
