#pragma once

#include <optional>
#include <string>
#include <string_view>

// The single-byte code pages the monitor's Windows software writes its texts
// in: the one of the user's Windows (1252 in western Europe, 1250 in central
// Europe, 1251 for Cyrillic, 1257 in the Baltic states), or Latin-1.
enum class CodePage { windows1250, windows1251, windows1252, windows1257, latin1 };

// The code page of a name such as "windows-1252", "cp1252", "1252",
// "latin1" or "ISO-8859-1", case, '-', '_' and spaces ignored; nullopt for
// a name not among codePageNames().
std::optional<CodePage> codePageNamed(std::string_view name);

// The accepted names for a usage message, one code page after the other:
// "windows-1250 (cp1250, 1250), ..., iso-8859-1 (latin1, l1)".
std::string codePageNames();

// The usual name of a code page ("windows-1252", "iso-8859-1").
std::string_view codePageName(CodePage codePage);

// The text in UTF-8, one character per byte; a byte the code page has no
// character for (0x81 in windows-1252) becomes U+FFFD.
std::string toUtf8(std::string_view text, CodePage codePage);

// A file, folder or archive entry name as UTF-8 text: as it is where its
// bytes are valid UTF-8, else read as Windows-1252, the code page of the
// Windows machines old archives were copied from (and of which Latin-1 is
// nearly all). One rule whatever the system, so that every converted file
// and page holds valid UTF-8; the name on disk keeps its bytes.
std::string nameText(std::string_view name);
