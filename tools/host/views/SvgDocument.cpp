#include "tools/host/views/SvgDocument.h"

#include "tools/host/formats/XmlOutput.h"

namespace {

// Wider than the digits (0.64 em) and most letters of DejaVu Sans, Arial
// and Helvetica; only a run of capitals like "WWW" is wider.
constexpr double kCharacterWidth = 0.66;  // em

void setNumber(pugi::xml_node node, const char* name, double value) {
    node.append_attribute(name).set_value(numberWith(value, 1).c_str());
}

void setStyle(pugi::xml_node node, const char* style) {
    if (style) node.append_attribute("class").set_value(style);
}

bool continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

pugi::xml_node addText(pugi::xml_node parent, double x, double y, std::string_view text, const char* style,
                       const char* anchor) {
    pugi::xml_node node = parent.append_child("text");
    setNumber(node, "x", x);
    setNumber(node, "y", y);
    setStyle(node, style);
    if (anchor) node.append_attribute("text-anchor").set_value(anchor);
    node.text().set(xmlText(text).c_str());
    return node;
}

pugi::xml_node addLine(pugi::xml_node parent, double x1, double y1, double x2, double y2, const char* style) {
    pugi::xml_node node = parent.append_child("line");
    setNumber(node, "x1", x1);
    setNumber(node, "y1", y1);
    setNumber(node, "x2", x2);
    setNumber(node, "y2", y2);
    setStyle(node, style);
    return node;
}

pugi::xml_node addRect(pugi::xml_node parent, double x, double y, double width, double height, const char* style) {
    pugi::xml_node node = parent.append_child("rect");
    setNumber(node, "x", x);
    setNumber(node, "y", y);
    setNumber(node, "width", width);
    setNumber(node, "height", height);
    setStyle(node, style);
    return node;
}

pugi::xml_node addCircle(pugi::xml_node parent, double x, double y, double radius, const char* style) {
    pugi::xml_node node = parent.append_child("circle");
    setNumber(node, "cx", x);
    setNumber(node, "cy", y);
    setNumber(node, "r", radius);
    setStyle(node, style);
    return node;
}

pugi::xml_node addGroup(pugi::xml_node parent, const char* style) {
    pugi::xml_node node = parent.append_child("g");
    setStyle(node, style);
    return node;
}

void PathData::append(char command, double x, double y) {
    if (!text_.empty()) text_ += ' ';
    text_ += command;
    appendNumber(text_, x, 1);
    text_ += ',';
    appendNumber(text_, y, 1);
}

double textWidth(std::string_view text, double fontSize) {
    size_t characters = 0;
    for (const char c : text) characters += !continuation(c);
    return static_cast<double>(characters) * kCharacterWidth * fontSize;
}

std::string shortened(std::string_view text, size_t characters) {
    size_t count = 0, cut = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (continuation(text[i])) continue;
        if (count + 1 == characters) cut = i;
        if (++count > characters) return std::string(text.substr(0, cut)) + "\xe2\x80\xa6";
    }
    return std::string(text);
}
