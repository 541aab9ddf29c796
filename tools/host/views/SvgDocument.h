#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

// The elements the charts are drawn with, numbers to a tenth of a pixel.

// Text at `x`, `y` (its baseline); `anchor` "middle" or "end" moves it to
// the left of `x`. `style`: a class of the chart's style sheet, or nullptr.
pugi::xml_node addText(pugi::xml_node parent, double x, double y, std::string_view text, const char* style = nullptr,
                       const char* anchor = nullptr);
pugi::xml_node addLine(pugi::xml_node parent, double x1, double y1, double x2, double y2, const char* style);
pugi::xml_node addRect(pugi::xml_node parent, double x, double y, double width, double height, const char* style);
pugi::xml_node addCircle(pugi::xml_node parent, double x, double y, double radius, const char* style);
pugi::xml_node addGroup(pugi::xml_node parent, const char* style);

// A path's data: "M1,2 L3,4 ...".
class PathData {
public:
    void moveTo(double x, double y) { append('M', x, y); }
    void lineTo(double x, double y) { append('L', x, y); }
    bool empty() const { return text_.empty(); }
    const std::string& text() const { return text_; }

private:
    void append(char command, double x, double y);
    std::string text_;
};

// How wide `text` (UTF-8) is drawn at `fontSize` pixels, at most: every
// character taken as wide as a digit of a common sans-serif face or wider.
double textWidth(std::string_view text, double fontSize);

// `text` cut to at most `characters` (1 or more) characters, an ellipsis the last.
std::string shortened(std::string_view text, size_t characters);
