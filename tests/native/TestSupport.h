#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "plugin/uExportFunctions.h"
#include "tests/shared/FileContent.h"

// A fresh plug-in state and a private temporary directory (also the
// plug-in's TMPDIR) for every test.
class PluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/polartest.XXXXXX";
        dir_ = mkdtemp(pattern);
        previousTmp_ = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
        setenv("TMPDIR", dir_.c_str(), 1);
        InitPluginState();
    }

    void TearDown() override {
        DonePluginState();
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
