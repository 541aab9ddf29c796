#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "plugin/uExportFunctions.h"
#include "tests/shared/FileContent.h"

// A private temporary directory for every test, also the TMPDIR of the code
// under test.
class PrivateTmpDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/polartest.XXXXXX";
        dir_ = mkdtemp(pattern);
        previousTmp_ = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
        setenv("TMPDIR", dir_.c_str(), 1);
    }

    void TearDown() override {
        if (previousTmp_.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", previousTmp_.c_str(), 1);
        std::error_code ignored;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(dir_, ignored);
    }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    std::string write(const std::string& name, const std::string& content) const {
        writeFile(path(name), content);
        return path(name);
    }

    std::string dir_;

private:
    std::string previousTmp_;
};

// The same with a fresh plug-in state, loaded as the host loads the DLL.
class PluginTest : public PrivateTmpDirTest {
protected:
    void SetUp() override {
        PrivateTmpDirTest::SetUp();
        InitPluginState();
    }

    void TearDown() override {
        DonePluginState();
        PrivateTmpDirTest::TearDown();
    }
};
