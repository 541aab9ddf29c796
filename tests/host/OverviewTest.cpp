// The overview page end to end: a folder of exercises converted as a user
// converts an archive, the page read back by xmllint as XML and as HTML and
// every link followed; and a chart as the renderers people use draw it.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <pugixml.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "framework/Zip.h"
#include "tests/host/HostFixture.h"

namespace {

namespace fs = std::filesystem;

// The file a relative link names, as a browser reads it: "a%20b" is "a b",
// and a '#' or '?' ends the path.
std::string linkedFile(const std::string& link) {
    std::string text;
    for (size_t i = 0; i < link.size() && link[i] != '#' && link[i] != '?'; ++i) {
        if (link[i] == '%' && i + 2 < link.size()) {
            text += static_cast<char>(std::stoi(link.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            text += link[i];
        }
    }
    return text;
}

// xmllint's messages without those of the elements its HTML parser, which
// knows HTML 4, does not know: the inline SVG charts and the disclosure of
// their numbers, which browsers read as HTML 5. Each message is three lines:
// the message, the text it is about and a caret under it.
std::string withoutNewerTags(const std::string& messages) {
    static const std::set<std::string> newer = {"svg", "rect", "path", "line", "text", "g", "details", "summary"};
    std::istringstream lines(messages);
    std::string kept;
    for (std::string line; std::getline(lines, line);) {
        const size_t tag = line.find("HTML parser error : Tag ");
        const size_t name = tag + std::string("HTML parser error : Tag ").size();
        if (tag != std::string::npos && line.compare(line.size() - 8, 8, " invalid") == 0 &&
            newer.count(line.substr(name, line.size() - 8 - name))) {
            std::getline(lines, line);
            std::getline(lines, line);
            continue;
        }
        kept += line + "\n";
    }
    return kept;
}

// The pixels of an 8-bit RGB or RGBA PNG, not interlaced, as rows of RGB(A)
// bytes; empty for any other.
struct Picture {
    uint32_t width = 0, height = 0, channels = 0;
    std::vector<uint8_t> pixels;
};

Picture readPng(const std::string& bytes) {
    const auto number = [&](size_t at) {
        return uint32_t{static_cast<uint8_t>(bytes[at])} << 24 | uint32_t{static_cast<uint8_t>(bytes[at + 1])} << 16 |
               uint32_t{static_cast<uint8_t>(bytes[at + 2])} << 8 | uint32_t{static_cast<uint8_t>(bytes[at + 3])};
    };
    Picture picture;
    std::string compressed;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const uint32_t length = number(at);
        const std::string type = bytes.substr(at + 4, 4);
        if (type == "IHDR") {
            picture.width = number(at + 8);
            picture.height = number(at + 12);
            const auto depth = static_cast<uint8_t>(bytes[at + 16]), colour = static_cast<uint8_t>(bytes[at + 17]);
            if (depth != 8 || (colour != 2 && colour != 6) || bytes[at + 20] != 0) return {};
            picture.channels = colour == 6 ? 4 : 3;
        }
        if (type == "IDAT") compressed += bytes.substr(at + 8, length);
        at += 12 + length;
    }
    const size_t stride = size_t{picture.width} * picture.channels;
    std::vector<uint8_t> filtered((stride + 1) * picture.height);
    uLongf size = filtered.size();
    if (picture.channels == 0 ||
        uncompress(filtered.data(), &size, reinterpret_cast<const Bytef*>(compressed.data()), compressed.size()) != Z_OK)
        return {};
    picture.pixels.resize(stride * picture.height);
    for (size_t row = 0; row < picture.height; ++row) {
        const uint8_t filter = filtered[row * (stride + 1)];
        for (size_t i = 0; i < stride; ++i) {
            const int a = i >= picture.channels ? picture.pixels[row * stride + i - picture.channels] : 0;
            const int b = row > 0 ? picture.pixels[(row - 1) * stride + i] : 0;
            const int c = row > 0 && i >= picture.channels ? picture.pixels[(row - 1) * stride + i - picture.channels] : 0;
            const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            const int predicted[] = {0, a, b, (a + b) / 2, pa <= pb && pa <= pc ? a : pb <= pc ? b : c};
            picture.pixels[row * stride + i] =
                static_cast<uint8_t>(filtered[row * (stride + 1) + 1 + i] + (filter < 5 ? predicted[filter] : 0));
        }
    }
    return picture;
}

// Pixels of about this colour.
size_t pixelsOf(const Picture& picture, int red, int green, int blue) {
    size_t count = 0;
    for (size_t at = 0; at + picture.channels <= picture.pixels.size(); at += picture.channels)
        count += std::abs(picture.pixels[at] - red) < 24 && std::abs(picture.pixels[at + 1] - green) < 24 &&
                 std::abs(picture.pixels[at + 2] - blue) < 24;
    return count;
}

class Overview : public Host {
protected:
    HostRun convert(const std::string& formats, const std::vector<std::string>& raw) const {
        std::vector<std::string> arguments = {"--format", formats, "--output", path("out")};
        arguments.insert(arguments.end(), raw.begin(), raw.end());
        const HostRun result = run(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        return result;
    }
};

// An archive of folders: its files mirrored below out/, one page at its top.
TEST_F(Overview, page_listsEveryExerciseAndEveryLinkResolves) {
    fs::create_directories(path("archive/2024/May & June"));
    fs::create_directories(path("archive/2023"));
    write("archive/2024/May & June/ride #1.hrm", hrmText(rideWithLaps()));
    write("archive/2024/May & June/ride #1.gpx", gpxText(kTrack));
    HrmShape evening;
    evening.start = "18:00:00.0";
    write("archive/2024/evening.hrm", hrmText(evening));
    fw::writeZip(path("archive/2023/rides.hrz"),
                 {{"a.hrm", write("a.hrm", hrmText(HrmShape{}))}, {"b.hrm", write("b.hrm", hrmText(evening))}});
    const HostRun result = convert("svg,fit,gpx", {path("archive")});

    std::set<std::string> written, charts;
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) {
        ASSERT_EQ(line.rfind(path("out/"), 0), 0u) << line;
        written.insert(line.substr(path("out/").size()));
        if (fs::path(line).extension() == ".svg") charts.insert(line);
    }
    EXPECT_EQ(charts.size(), 4u);
    ASSERT_EQ(written.count("index.html"), 1u) << result.out;
    EXPECT_EQ(result.out.substr(result.out.rfind('\n', result.out.size() - 2) + 1), path("out/index.html") + "\n");
    written.erase("index.html");

    const std::string page = path("out/index.html");
    for (const char* reader : {"xmllint --noout --nonet ", "xmllint --html --noout --nonet "}) {
        const HostRun read = runShell(reader + shellQuoted(page));
        EXPECT_EQ(read.status, 0) << reader << read.err;
        EXPECT_EQ(withoutNewerTags(read.err), "") << reader;
    }
    pugi::xml_document document;
    ASSERT_TRUE(document.load_file(page.c_str()));
    std::set<std::string> linked;
    for (const pugi::xpath_node& a : document.select_nodes("//a")) {
        const std::string target = linkedFile(a.node().attribute("href").value());
        EXPECT_TRUE(fs::exists(path("out/" + target))) << a.node().attribute("href").value();
        linked.insert(target);
    }
    EXPECT_EQ(linked, written) << "every file written is linked, and only they";
    EXPECT_EQ(document.select_nodes("//tr[@class='exercise']").size(), charts.size());
}

// The heart rate's red where librsvg and a browser draw the chart; the
// page holds no script and nothing from the network.
TEST_F(Overview, chart_drawnByLibrsvgAndABrowser) {
    convert("svg", {write("ride.hrm", hrmText(rideWithLaps()))});
    const std::string chart = path("out/ride.svg");
    const std::string page = readFile(path("out/index.html"));
    for (const char* forbidden : {"<script", "src=", "<link", "href=\"http", "url("})
        EXPECT_EQ(page.find(forbidden), std::string::npos) << forbidden;

    std::string missing;
    const struct {
        const char* program;
        std::string command;
    } renderers[] = {
        {"rsvg-convert", "rsvg-convert -o " + shellQuoted(path("rsvg.png")) + " " + shellQuoted(chart)},
        {"chromium", "timeout 120 chromium --headless --no-sandbox --disable-gpu --user-data-dir=" +
                         shellQuoted(path("profile")) + " --window-size=1000,700 --screenshot=" +
                         shellQuoted(path("chromium.png")) + " " + shellQuoted("file://" + chart) + " >/dev/null"},
    };
    for (const auto& renderer : renderers) {
        if (runShell(std::string("command -v ") + renderer.program).status != 0) {
            missing += std::string(missing.empty() ? "" : ", ") + renderer.program;
            continue;
        }
        const HostRun drawn = runShell(renderer.command);
        ASSERT_EQ(drawn.status, 0) << renderer.program << ": " << drawn.err;
        const Picture picture = readPng(readFile(path(std::string(renderer.program) == "chromium" ? "chromium.png" : "rsvg.png")));
        ASSERT_GT(picture.width, 0u) << renderer.program << " wrote no PNG this test reads";
        EXPECT_GT(pixelsOf(picture, 0xd6, 0x27, 0x28), 200u) << renderer.program << " drew no heart rate";
    }
    if (!missing.empty()) GTEST_SKIP() << missing << " missing (scripts/setup.sh installs them); drawn by the others";
}

}  // namespace
