// The plug-in as the host sees it: loaded with LoadLibrary, driven by ordinal.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "PluginHost.h"
#include "model/PluginVersion.h"

namespace {

class DllExports : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(host.module(), nullptr) << "cannot load " << PluginHost::libraryPath(); }
    PluginHost host;
};

using DllExports_ordinals = DllExports;
using DllExports_identity = DllExports;

TEST_F(DllExports_ordinals, ordinalsNameTheExportsOfTheTable) {
    int count = 0;
    auto check = [&](int ordinal, const char* name) {
        ++count;
        FARPROC byOrdinal = GetProcAddress(host.module(), MAKEINTRESOURCEA(ordinal));
        ASSERT_NE(byOrdinal, nullptr) << "ordinal " << ordinal;
        EXPECT_EQ(byOrdinal, GetProcAddress(host.module(), name)) << "ordinal " << ordinal << " is not " << name;
    };
    [&]<typename... Export>(plugin_exports::ExportList<Export...>) {
        (check(Export::ordinal, Export::name), ...);
    }(plugin_exports::AllExports{});
    EXPECT_EQ(count, 31);
    EXPECT_EQ(GetProcAddress(host.module(), MAKEINTRESOURCEA(32)), nullptr);
}

TEST_F(DllExports_identity, versionFactorAndTexts) {
    EXPECT_EQ(host.get<plugin_exports::GetVersion>()(), kPluginVersion);
    EXPECT_EQ(host.get<plugin_exports::GetAHFactor>()(), 2);

    // Len is the number of characters; a zero byte follows them.
    char buffer[32];
    std::memset(buffer, 'x', sizeof buffer);
    host.get<plugin_exports::GetPluginName>()(buffer, 5);
    EXPECT_EQ(std::string(buffer, 7), std::string("Zudar\0x", 7));
    std::memset(buffer, 'x', sizeof buffer);
    host.get<plugin_exports::GetPluginName>()(buffer, 100);
    EXPECT_STREQ(buffer, "Zudar Eruvuv Uzevaz");
}

// Settings files go through the system's private-profile functions.
class DllExports_settings : public DllExports {
protected:
    int32_t ahFactorAfterReading(const std::string& content) {
        scratch.write("plugin.ini", content);
        host.get<plugin_exports::SetPluginIniFile>()(scratch.file("plugin.ini").c_str());
        return host.get<plugin_exports::GetAHFactor>()();
    }
    ScratchDirectory scratch{"polar-settings"};
};

TEST_F(DllExports_settings, ahFactorForms) {
    const struct {
        const char* content;
        int32_t expected;
    } cases[] = {
        {"[SETTINGS]\r\nAHFactor=0x0A\r\n", 10},
        {"[SETTINGS]\r\nAHFactor=$0A\r\n", 10},
        {"[SETTINGS]\r\nAHFactor=ten\r\n", 2},
        {"[SETTINGS]\r\nAHFactor=7\r\n", 7},
        {"[SETTINGS]\r\nAHFactor=-3\r\n", -3},
        {"[settings]\r\nahfactor = 4 \r\n", 4},      // names without regard to case, blanks trimmed
        {"[SETTINGS]\r\nAHFactor=\"6\"\r\n", 6},     // one pair of quotes removed
        {"[OTHER]\r\nAHFactor=9\r\n[SETTINGS]\r\n", 2},
        {"[SETTINGS]\nAHFactor=8\n", 8},             // LF line ends
    };
    for (const auto& c : cases) EXPECT_EQ(ahFactorAfterReading(c.content), c.expected) << c.content;
}

TEST_F(DllExports_settings, missingFileOrKeyGivesTheDefault) {
    host.get<plugin_exports::Initialize>()(5, "C:\\", 0);
    ASSERT_EQ(host.get<plugin_exports::GetAHFactor>()(), 5);
    host.get<plugin_exports::SetPluginIniFile>()(scratch.file("missing.ini").c_str());
    EXPECT_EQ(host.get<plugin_exports::GetAHFactor>()(), 2);
    EXPECT_EQ(GetFileAttributesA(scratch.file("missing.ini").c_str()), INVALID_FILE_ATTRIBUTES) << "reading created it";

    host.get<plugin_exports::Initialize>()(5, "C:\\", 0);
    EXPECT_EQ(ahFactorAfterReading("[SETTINGS]\r\nGPS=1\r\n"), 2);
}

// The host owns the handle it is given and hands back the one it held.
class DllExports_bitmaps : public DllExports {
protected:
    static bool describe(void* handle, BITMAP& bitmap) {
        return handle && GetObjectA(static_cast<HGDIOBJ>(handle), sizeof bitmap, &bitmap) == sizeof bitmap;
    }
};

TEST_F(DllExports_bitmaps, iconIs32By32At24BitsPerPixel) {
    void* handle = nullptr;
    ASSERT_EQ(host.get<plugin_exports::GetPluginIcon>()(&handle), 1);
    BITMAP bitmap;
    ASSERT_TRUE(describe(handle, bitmap));
    EXPECT_EQ(bitmap.bmWidth, 32);
    EXPECT_EQ(bitmap.bmHeight, 32);
    EXPECT_EQ(bitmap.bmBitsPixel, 24);
    DeleteObject(handle);
}

TEST_F(DllExports_bitmaps, imageIs130By156At8BitsPerPixel) {
    void* handle = nullptr;
    ASSERT_EQ(host.get<plugin_exports::GetPluginImage>()(&handle), 1);
    BITMAP bitmap;
    ASSERT_TRUE(describe(handle, bitmap));
    EXPECT_EQ(bitmap.bmWidth, 130);
    EXPECT_EQ(bitmap.bmHeight, 156);
    EXPECT_EQ(bitmap.bmBitsPixel, 8);
    DeleteObject(handle);
}

TEST_F(DllExports_bitmaps, handleInTheVariableIsDestroyed) {
    const struct {
        const char* name;
        plugin_exports::GetPluginIcon::Function* get;
    } exports[] = {{"GetPluginIcon", host.get<plugin_exports::GetPluginIcon>()},
                   {"GetPluginImage", host.get<plugin_exports::GetPluginImage>()}};
    for (const auto& [name, get] : exports) {
        // A 5 x 7 bitmap no resource has: afterwards its handle must not name it any more
        // (the system may reuse the value for the new bitmap).
        HBITMAP own = CreateBitmap(5, 7, 1, 32, nullptr);
        ASSERT_NE(own, nullptr);
        void* handle = own;
        ASSERT_EQ(get(&handle), 1);
        ASSERT_NE(handle, nullptr);
        BITMAP bitmap;
        const bool stillThere = describe(own, bitmap) && bitmap.bmWidth == 5 && bitmap.bmHeight == 7;
        EXPECT_FALSE(stillThere) << name;
        ASSERT_TRUE(describe(handle, bitmap));
        EXPECT_NE(bitmap.bmWidth, 5);

        // The second call on the handle the first returned gives a working handle again.
        void* first = handle;
        ASSERT_EQ(get(&handle), 1);
        ASSERT_TRUE(describe(handle, bitmap));
        if (handle != first) {
            EXPECT_FALSE(describe(first, bitmap));
        }
        DeleteObject(handle);
        if (stillThere) DeleteObject(own);
    }
}

}  // namespace
