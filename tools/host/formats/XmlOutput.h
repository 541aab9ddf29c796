#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

// Writing XML whose bulk is streamed: pugixml builds and escapes every
// element that carries text; the per-sample elements, which hold only
// numbers and fixed names, are appended as text between the two halves of
// a printed shell.

// A placeholder child where the streamed elements go.
void addSlot(pugi::xml_node parent);

// The document printed without indentation and cut at its one slot.
// `declaration`: start with the XML declaration (a whole file) or not (a
// fragment).
struct XmlShell {
    std::string head, tail;
};
XmlShell printAround(const pugi::xml_document& document, bool declaration);

// Text for an element or attribute: the characters XML 1.0 cannot carry
// (control characters other than tab and line feed) dropped, CR LF and
// lone CR as LF. `text` is UTF-8.
std::string xmlText(std::string_view text);

// A comment of `text`, which may not hold "--" nor end in "-".
void addComment(pugi::xml_node parent, std::string_view text);

// `value` with `decimals` digits after the point ("." whatever the locale),
// trailing zeros and a trailing point dropped.
void appendNumber(std::string& out, double value, int decimals);
// <name>value</name>, the value as appendNumber writes it.
void appendNumberElement(std::string& out, std::string_view name, double value, int decimals);
std::string numberWith(double value, int decimals);
