#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// INI files as the Windows private-profile functions read and write them.
// The Windows back end calls those functions; the POSIX back end parses the
// file with the same rules (first section and key win, names compared without
// regard to case, blanks and one pair of surrounding quotes removed).
namespace fw {

// Longest value text that is read; longer values are cut to this length.
constexpr size_t kIniValueLimit = 2047;

// Raised when the system refuses a write; the message names the file.
class IniWriteError : public std::runtime_error {
public:
    explicit IniWriteError(const std::string& file);
    const std::string& fileName() const { return file_; }

private:
    std::string file_;
};

// Value text of `key` in `section`, or `fallback` when file, section or key
// is missing. Never creates the file.
std::string readIniString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& fallback);

// Integer value: "0x"/"0X" followed by hex digits, "$" followed by hex digits,
// or a decimal integer; `fallback` for a missing key or any other text.
int32_t readIniInteger(const std::string& file, const std::string& section, const std::string& key,
                       int32_t fallback);

// Any integer other than 0 is true; `fallback` where readIniInteger would fall back.
bool readIniBool(const std::string& file, const std::string& section, const std::string& key, bool fallback);

// Creates the file when it is missing. Throws IniWriteError when refused.
void writeIniString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value);
void writeIniInteger(const std::string& file, const std::string& section, const std::string& key, int32_t value);
void writeIniBool(const std::string& file, const std::string& section, const std::string& key, bool value);

// The integer rule on its own, for a value text already read.
int32_t iniTextToInteger(const std::string& text, int32_t fallback);

}  // namespace fw
