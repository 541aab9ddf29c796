// The Windows back ends of the framework and the work-directory removal on
// top of them, against the real file system and private-profile functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "PluginHost.h"
#include "framework/Convert.h"
#include "framework/FileSystem.h"
#include "framework/IniFile.h"
#include "framework/Locale.h"
#include "framework/win32/CodeModule.h"
#include "framework/win32/DialGauge.h"
#include "model/WorkDirectory.h"

namespace {

uint32_t attributesOf(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// Restores the process's current directory, which the removal changes.
class CurrentDirectoryGuard {
public:
    CurrentDirectoryGuard() : saved_(fw::currentDirectory()) {}
    ~CurrentDirectoryGuard() { SetCurrentDirectoryA(saved_.c_str()); }

private:
    std::string saved_;
};

TEST(WorkDirectory_removal, filesMarkedReadOnlyHiddenSystemArchiveAreDeleted) {
    CurrentDirectoryGuard guard;
    ScratchDirectory scratch("polar-work");
    scratch.write("a.hrm", "x");
    scratch.write("b.hrm", "y");
    ASSERT_TRUE(SetFileAttributesA(scratch.file("a.hrm").c_str(), 39));
    ASSERT_EQ(attributesOf(scratch.file("a.hrm")), 39u);
    SetCurrentDirectoryA(scratch.path().c_str());

    DeleteWorkDirectory(scratch.path());

    EXPECT_EQ(attributesOf(scratch.path()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(fw::currentDirectory(), scratch.path().substr(0, 3));
    EXPECT_EQ(fw::currentDirectory().substr(1), ":\\");
}

TEST(WorkDirectory_removal, readOnlyFileAndSubdirectoryStayAndSoDoesTheDirectory) {
    CurrentDirectoryGuard guard;
    ScratchDirectory scratch("polar-work-kept");
    scratch.write("kept.hrm", "x");
    scratch.write("gone.hrm", "y");
    ASSERT_TRUE(SetFileAttributesA(scratch.file("kept.hrm").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CreateDirectoryA(scratch.file("sub").c_str(), nullptr));

    DeleteWorkDirectory(IncludeTrailingBackslash(scratch.path()));

    EXPECT_NE(attributesOf(scratch.file("kept.hrm")), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(attributesOf(scratch.file("sub")), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(attributesOf(scratch.file("gone.hrm")), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(fw::currentDirectory().substr(1), ":\\");
}

TEST(FileSystem_paths, pathsAsWindowsReportsThem) {
    const std::string temp = fw::tempDirectory();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_EQ(fw::driveRoot("C:\\Temp\\VoruzUvidav"), "C:\\");
    EXPECT_EQ(fw::driveRoot("d:"), "d:\\");
    EXPECT_EQ(fw::driveRoot("\\\\server\\share\\dir\\file"), "\\\\server\\share\\");
}

TEST(FileSystem_files, createListSizeAndDelete) {
    ScratchDirectory scratch("polar-fs");
    const std::string nested = scratch.file("one\\two/three");
    ASSERT_TRUE(fw::createDirectories(nested));
    EXPECT_TRUE(fw::directoryExists(nested));
    EXPECT_TRUE(fw::createDirectories(nested)) << "an existing directory counts as created";
    EXPECT_FALSE(fw::createDirectories(scratch.file("bad|name\\x"))) << "invalid name";

    scratch.write("Data.HRM", std::string(1234, 'z'));
    scratch.write("notes.txt", "");
    EXPECT_TRUE(fw::fileExists(scratch.file("Data.HRM")));
    EXPECT_FALSE(fw::fileExists(scratch.file("one")));
    EXPECT_EQ(fw::fileSize(scratch.file("Data.HRM")), 1234);
    EXPECT_EQ(fw::fileSize(scratch.file("one")), -1);
    EXPECT_EQ(fw::fileSize(scratch.file("missing")), -1);

    std::vector<std::string> names;
    for (const fw::DirectoryEntry& entry : fw::listDirectory(scratch.path(), "*.hrm")) names.push_back(entry.name);
    EXPECT_EQ(names, std::vector<std::string>{"Data.HRM"});
    bool sawDirectory = false;
    for (const fw::DirectoryEntry& entry : fw::listDirectory(scratch.path() + "\\", "*.*"))
        if (entry.name == "one") sawDirectory = (entry.attributes & fw::kAttrDirectory) != 0;
    EXPECT_TRUE(sawDirectory);
    EXPECT_TRUE(fw::listDirectory(scratch.file("missing"), "*.*").empty());

    uint32_t attributes = 0;
    ASSERT_TRUE(fw::setAttributes(scratch.file("notes.txt"), fw::kAttrReadOnly));
    ASSERT_TRUE(fw::getAttributes(scratch.file("notes.txt"), attributes));
    EXPECT_NE(attributes & fw::kAttrReadOnly, 0u);
    EXPECT_FALSE(fw::deleteFile(scratch.file("notes.txt")));
    ASSERT_TRUE(fw::setAttributes(scratch.file("notes.txt"), fw::kAttrArchive));
    EXPECT_TRUE(fw::deleteFile(scratch.file("notes.txt")));
    EXPECT_FALSE(fw::getAttributes(scratch.file("notes.txt"), attributes));

    EXPECT_FALSE(fw::removeDirectory(scratch.file("one\\two"))) << "not empty";
    EXPECT_TRUE(fw::removeDirectory(nested));
}

TEST(Ini_limits, valuesAreCutAt2047CharactersAndWritesCanFail) {
    ScratchDirectory scratch("polar-ini");
    const std::string file = scratch.file("long.ini");
    fw::writeIniString(file, "SETTINGS", "Long", std::string(3000, 'v'));
    EXPECT_EQ(fw::readIniString(file, "SETTINGS", "Long", ""), std::string(fw::kIniValueLimit, 'v'));
    fw::writeIniInteger(file, "SETTINGS", "Port", -1);
    EXPECT_EQ(fw::readIniInteger(file, "settings", "PORT", 7), -1);
    EXPECT_EQ(fw::readIniString(file, "SETTINGS", "Missing", "fallback"), "fallback");
    EXPECT_EQ(fw::readIniString(scratch.file("none.ini"), "SETTINGS", "Long", "fallback"), "fallback");

    const std::string unreachable = scratch.file("no-such-dir\\x.ini");
    try {
        fw::writeIniString(unreachable, "SETTINGS", "Key", "1");
        ADD_FAILURE() << "no IniWriteError";
    } catch (const fw::IniWriteError& error) {
        EXPECT_EQ(error.fileName(), unreachable);
    }
}

TEST(Locale_dateTime, dateTimeLeavesOutMidnight) {
    const fw::DateTime day = fw::encodeDate(2024, 3, 5);
    const std::string midnight = fw::formatDateTime(day);
    EXPECT_NE(midnight.find("2024"), std::string::npos) << midnight;
    EXPECT_EQ(midnight.find(' '), std::string::npos) << midnight;
    EXPECT_EQ(midnight.find(':'), std::string::npos) << midnight;

    const std::string afternoon = fw::formatDateTime(day + fw::encodeTime(13, 45, 30, 0));
    EXPECT_EQ(afternoon.substr(0, midnight.size() + 1), midnight + " ") << afternoon;
    EXPECT_NE(afternoon.find("45"), std::string::npos) << afternoon;
    EXPECT_NE(afternoon.find("30"), std::string::npos) << afternoon;
}

// The gauge's window class lives only while a gauge does, so that a plug-in
// unloaded and loaded again registers it afresh, with its new code.
TEST(DialGauge_window, classIsRegisteredWhileAGaugeLives) {
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    WNDCLASSA info;
    auto registered = [&] { return GetClassInfoA(fw::codeModule(), "PolarDialGauge", &info) != FALSE; };
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        auto first = std::make_unique<fw::DialGauge>();
        auto second = std::make_unique<fw::DialGauge>();
        ASSERT_TRUE(first->create(parent, 0, 0, 100, 100));
        ASSERT_TRUE(second->create(parent, 100, 0, 100, 100));
        first.reset();
        EXPECT_TRUE(registered());
        second.reset();
        EXPECT_FALSE(registered());
    }
    DestroyWindow(parent);
}

}  // namespace
