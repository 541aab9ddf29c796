#pragma once

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Just enough of a JSON reader to check the host's documents: strict about
// syntax, so a malformed document fails the test. A \u escape up to 0xFF
// gives that byte, as the host writes the plug-in's texts; one above gives
// the character in UTF-8, as it writes the diaries' (a surrogate pair one
// character).
struct Json {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> members;

    bool isNull() const { return kind == Kind::Null; }
    const Json& operator[](const std::string& key) const {
        const auto found = members.find(key);
        if (kind != Kind::Object || found == members.end()) throw std::runtime_error("no member " + key);
        return found->second;
    }
    const Json& operator[](size_t i) const {
        if (kind != Kind::Array || i >= items.size()) throw std::runtime_error("no item " + std::to_string(i));
        return items[i];
    }
    size_t size() const { return kind == Kind::Array ? items.size() : members.size(); }

    static Json parse(std::string_view document) {
        Reader reader{document};
        Json value = reader.value();
        reader.blanks();
        if (reader.at != document.size()) throw std::runtime_error("text after the document");
        return value;
    }

private:
    struct Reader {
        std::string_view in;
        size_t at = 0;

        [[noreturn]] void fail(const char* what) const {
            throw std::runtime_error(std::string(what) + " at offset " + std::to_string(at));
        }
        void blanks() {
            while (at < in.size() && (in[at] == ' ' || in[at] == '\n' || in[at] == '\r' || in[at] == '\t')) ++at;
        }
        bool take(char c) {
            blanks();
            if (at < in.size() && in[at] == c) return ++at, true;
            return false;
        }
        void expect(char c) {
            if (!take(c)) fail("expected character");
        }
        bool word(std::string_view w) {
            if (in.substr(at, w.size()) != w) return false;
            at += w.size();
            return true;
        }
        std::string string() {
            expect('"');
            std::string out;
            while (at < in.size() && in[at] != '"') {
                const char c = in[at++];
                if (static_cast<unsigned char>(c) < 0x20) fail("raw control character in string");
                if (c != '\\') {
                    out += c;
                    continue;
                }
                if (at >= in.size()) fail("cut escape");
                const char e = in[at++];
                switch (e) {
                    case '"': case '\\': case '/': out += e; break;
                    case 'n': out += '\n'; break;
                    case 'r': out += '\r'; break;
                    case 't': out += '\t'; break;
                    case 'b': out += '\b'; break;
                    case 'f': out += '\f'; break;
                    case 'u': {
                        unsigned long code = escaped();
                        if (code <= 0xFF) {
                            out += static_cast<char>(code);
                            break;
                        }
                        if (code >= 0xD800 && code < 0xDC00) {
                            if (in.substr(at, 2) != "\\u") fail("lone surrogate");
                            at += 2;
                            code = 0x10000 + ((code - 0xD800) << 10) + (escaped() - 0xDC00);
                        }
                        const int more = code >= 0x10000 ? 3 : code >= 0x800 ? 2 : 1;
                        static constexpr unsigned long kLead[] = {0, 0xC0, 0xE0, 0xF0};
                        out += static_cast<char>(kLead[more] | (code >> (6 * more)));
                        for (int k = more - 1; k >= 0; --k) out += static_cast<char>(0x80 | ((code >> (6 * k)) & 0x3F));
                        break;
                    }
                    default: fail("unknown escape");
                }
            }
            if (at >= in.size()) fail("unterminated string");
            ++at;
            return out;
        }
        // The four hex digits of a \u escape.
        unsigned long escaped() {
            if (at + 4 > in.size()) fail("cut \\u escape");
            const unsigned long code = std::stoul(std::string(in.substr(at, 4)), nullptr, 16);
            at += 4;
            return code;
        }
        Json value() {
            blanks();
            Json v;
            if (at >= in.size()) fail("missing value");
            const char c = in[at];
            if (c == '{') {
                ++at;
                v.kind = Kind::Object;
                if (take('}')) return v;
                do {
                    blanks();
                    std::string key = string();
                    expect(':');
                    v.members[key] = value();
                } while (take(','));
                expect('}');
            } else if (c == '[') {
                ++at;
                v.kind = Kind::Array;
                if (take(']')) return v;
                do v.items.push_back(value());
                while (take(','));
                expect(']');
            } else if (c == '"') {
                v.kind = Kind::String;
                v.text = string();
            } else if (word("null")) {
            } else if (word("true")) {
                v.kind = Kind::Bool;
                v.boolean = true;
            } else if (word("false")) {
                v.kind = Kind::Bool;
            } else {
                const size_t length = std::min(in.find_first_not_of("0123456789+-.eE", at), in.size()) - at;
                const std::string number(in.substr(at, length));
                char* end = nullptr;
                v.kind = Kind::Number;
                v.number = std::strtod(number.c_str(), &end);
                if (number.empty() || end != number.c_str() + number.size()) fail("bad number");
                at += length;
            }
            return v;
        }
    };
};
