#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestFiles.h"
#include "framework/TextLines.h"

namespace {

std::vector<std::string> linesOf(const fw::TextLines& text) {
    return {text.lines().begin(), text.lines().end()};
}

}  // namespace

TEST(TextLines_split, everyLineBreakKindAndNoTrimming) {
    struct Case {
        const char* text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},     {"a\nb", {"a", "b"}},          {"a\rb\r", {"a", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},   {"a\n\rb", {"a", "", "b"}},    {"\n\n", {"", ""}},
        {"", {}},                       {"\r", {""}},                  {" x\ty \r\n\r\n", {" x\ty ", ""}},
    };
    for (const Case& c : cases) EXPECT_EQ(linesOf(fw::TextLines(c.text)), c.lines) << c.text;
}

TEST(TextLines_load, wholeFileWhateverItsSize) {
    TempDir dir;
    // Longer than one read block, with a last line that has no break.
    std::string text;
    std::vector<std::string> expected;
    for (int i = 0; i < 20000; ++i) {
        expected.push_back(std::to_string(i) + "\t150");
        text += expected.back() + (i % 3 == 0 ? "\n" : "\r\n");
    }
    text += "end";
    expected.push_back("end");
    writeFile(dir.file("long.hrm"), text);
    EXPECT_EQ(linesOf(fw::loadTextLines(dir.file("long.hrm"))), expected);
    writeFile(dir.file("empty.hrm"), "");
    EXPECT_TRUE(fw::loadTextLines(dir.file("empty.hrm")).lines().empty());
    EXPECT_THROW(fw::loadTextLines(dir.file("missing.hrm")), fw::FileReadError);
}
