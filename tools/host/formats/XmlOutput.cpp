#include "tools/host/formats/XmlOutput.h"

#include <charconv>
#include <cmath>
#include <sstream>
#include <stdexcept>

namespace {

constexpr char kSlotName[] = "polarhost-slot";

}  // namespace

void addSlot(pugi::xml_node parent) { parent.append_child(pugi::node_pi).set_name(kSlotName); }

XmlShell printAround(const pugi::xml_document& document, bool declaration) {
    std::ostringstream printed;
    unsigned flags = pugi::format_raw;
    if (!declaration) flags |= pugi::format_no_declaration;
    document.save(printed, "", flags, pugi::encoding_utf8);
    const std::string text = printed.str();
    // Escaped text and attributes never hold "<?", so the slot is found only where it stands.
    const std::string slot = std::string("<?") + kSlotName + "?>";
    const size_t at = text.find(slot);
    if (at == std::string::npos) throw std::logic_error("XML shell without a slot");
    return XmlShell{text.substr(0, at), text.substr(at + slot.size())};
}

std::string xmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (byte >= 0x20 || byte == '\t' || byte == '\n') {
            out += text[i];
        }
    }
    return out;
}

void addComment(pugi::xml_node parent, std::string_view text) {
    std::string comment = " ";
    for (const char c : xmlText(text)) {
        if (c == '-' && comment.back() == '-') comment += ' ';
        comment += c;
    }
    comment += ' ';
    parent.append_child(pugi::node_comment).set_value(comment.c_str());
}

void appendNumber(std::string& out, double value, int decimals) {
    if (!std::isfinite(value)) value = 0;
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    std::string_view number(text, static_cast<size_t>(result.ptr - text));
    if (number.find('.') != std::string_view::npos) {
        while (number.back() == '0') number.remove_suffix(1);
        if (number.back() == '.') number.remove_suffix(1);
    }
    if (number == "-0") number = "0";
    out += number;
}

std::string numberWith(double value, int decimals) {
    std::string out;
    appendNumber(out, value, decimals);
    return out;
}

void appendNumberElement(std::string& out, std::string_view name, double value, int decimals) {
    out += '<';
    out += name;
    out += '>';
    appendNumber(out, value, decimals);
    out += "</";
    out += name;
    out += '>';
}
