#include <gtest/gtest.h>

#include "TestSupport.h"
#include "framework/IniFile.h"

namespace {

class SettingsFile : public PluginTest {
protected:
    // Settings file with one AHFactor value; the factor read back through the export.
    int32_t factorFrom(const std::string& value) {
        SetPluginIniFile(write("s.ini", "[SETTINGS]\r\nAHFactor=" + value + "\r\n").c_str());
        return GetAHFactor();
    }
};

using Settings_reading = SettingsFile;
using Settings_writing = SettingsFile;

}  // namespace

TEST_F(Settings_reading, integerTexts) {
    struct Case {
        const char* text;
        int32_t expected;
    };
    const Case cases[] = {
        {"0x0A", 10}, {"0X0a", 10}, {"$0A", 10}, {"ten", 2},  {"7", 7},    {"-3", -3},     {" 4 ", 4},
        {"0x", 2},    {"$", 2},     {"", 2},     {"12abc", 2}, {"2147483647", 2147483647}, {"2147483648", 2},
        {"\"9\"", 9}, {"0xFFFFFFFF", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(factorFrom(c.text), c.expected) << "'" << c.text << "'";
}

TEST_F(Settings_reading, factorBeforeSettingsIsTheLoadValueOrInitialize) {
    EXPECT_EQ(GetAHFactor(), 2);
    Initialize(0, "", 0);
    EXPECT_EQ(GetAHFactor(), 0);
    Initialize(255, "", 0);
    EXPECT_EQ(GetAHFactor(), 0);
    SetPluginIniFile(write("s.ini", "[SETTINGS]\nAHFactor=6\n").c_str());
    EXPECT_EQ(GetAHFactor(), 6);
    Initialize(255, "", 0);
    EXPECT_EQ(GetAHFactor(), 6);
}

TEST_F(Settings_reading, readingRules) {
    const std::string file = write("rules.ini",
                                   "; comment\n"
                                   "[other]\nKey=wrong\n"
                                   "[ settings ]\n"
                                   "  key  =  first  \n"
                                   "KEY=second\n"
                                   "Quoted='x y'\n"
                                   "[SETTINGS]\nLater=ignored\n");
    EXPECT_EQ(fw::readIniString(file, "SETTINGS", "Key", "-"), "first");
    EXPECT_EQ(fw::readIniString(file, "SETTINGS", "Quoted", "-"), "x y");
    EXPECT_EQ(fw::readIniString(file, "SETTINGS", "Missing", "-"), "-");
    EXPECT_EQ(fw::readIniString(file, "Nowhere", "Key", "-"), "-");
    EXPECT_EQ(fw::readIniString(path("none.ini"), "SETTINGS", "Key", "-"), "-");
    EXPECT_FALSE(std::filesystem::exists(path("none.ini")));
}

TEST_F(Settings_reading, longValuesAreCutTo2047Characters) {
    const std::string file = write("long.ini", "[SETTINGS]\nKey=" + std::string(3000, 'a') + "\n");
    EXPECT_EQ(fw::readIniString(file, "SETTINGS", "Key", "").size(), 2047u);
}

TEST_F(Settings_reading, booleansAreIntegersWithTheirDefaults) {
    const std::string file = write("b.ini", "[SETTINGS]\nDebug=2\nGPS=0\nHRMaxDev=no\nModulateTemp=yes\n");
    EXPECT_TRUE(fw::readIniBool(file, "SETTINGS", "Debug", false));
    EXPECT_FALSE(fw::readIniBool(file, "SETTINGS", "GPS", true));
    EXPECT_FALSE(fw::readIniBool(file, "SETTINGS", "HRMaxDev", false));
    EXPECT_TRUE(fw::readIniBool(file, "SETTINGS", "ModulateTemp", true));
    EXPECT_FALSE(fw::readIniBool(file, "SETTINGS", "Missing", false));
}

TEST_F(Settings_writing, writesReplaceKeysAndCreateTheFile) {
    const std::string file = path("w.ini");
    fw::writeIniInteger(file, "SETTINGS", "AHFactor", 4);
    fw::writeIniBool(file, "SETTINGS", "GPS", false);
    fw::writeIniInteger(file, "SETTINGS", "AHFactor", 9);
    fw::writeIniString(file, "Other", "Key", "v");
    EXPECT_EQ(fw::readIniInteger(file, "SETTINGS", "AHFactor", 0), 9);
    EXPECT_FALSE(fw::readIniBool(file, "SETTINGS", "GPS", true));
    EXPECT_EQ(fw::readIniString(file, "Other", "Key", ""), "v");
}

TEST_F(Settings_writing, refusedWriteNamesTheFile) {
    const std::string file = path("missing-dir/w.ini");
    try {
        fw::writeIniString(file, "SETTINGS", "A", "1");
        FAIL() << "write into a missing directory succeeded";
    } catch (const fw::IniWriteError& error) {
        EXPECT_EQ(error.fileName(), file);
    }
}
