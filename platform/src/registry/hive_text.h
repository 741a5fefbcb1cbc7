// The text form of the current user's hive: one file that a person can read and edit.
//
//   ; comment lines start with ';' or '#'; blank lines are allowed anywhere
//   [HKEY_CURRENT_USER\SOFTWARE\Velmorant]
//   "prefdataKavet"=sz:"0220000"
//   "Count"=dword:0000002a
//   "Blob"=hex:00,ff,22,5c
//   @=sz:"the key's default (unnamed) value"
//   "Marker"=hex(0):
//
// Keys. A line whose first character (after blanks) is '[' starts a section, and the value
// lines up to the next such line belong to it. "[HKEY_CURRENT_USER\A\B]" names the key A\B
// (the root name and the key names compare without regard to ASCII case; a new key keeps
// the case of its first writing; key names are written as they are, and never hold a
// backslash or a control character). A key exists when it has a section or when a key below
// it has one. A section whose header names no key of HKEY_CURRENT_USER (another root, an
// empty name, no closing ']') is kept as it is, and its lines belong to no key.
//
// Values, one per line: a name, '=', a type and the data.
//   name          "text" in quotes with the escapes below, or @ for the unnamed value
//   sz:"text"     REG_SZ; the data are the bytes of text followed by one zero byte, which
//                 is how the registry stores a string given with its terminating zero
//   expand_sz:"text"  REG_EXPAND_SZ, the same way
//   dword:0000002a    REG_DWORD of four bytes, hexadecimal, most significant digit first
//   hex:01,ff         REG_BINARY, two hexadecimal digits per byte, comma-separated
//   hex(N):01,ff      any type N (hexadecimal), any data: REG_NONE is hex(0):, and a
//                     string stored without its terminating zero is hex(1):...
// Escapes inside quotes: \" \\ \0 \t \n \r, and \xHH for any other byte below 0x20, 0x7F
// and every byte from 0x80 up. Blanks are allowed around '=' and after the commas of a
// byte list; the type names ignore case; "name"="text" (no type) is read as sz:"text".
// A line continued with a trailing backslash, as in .reg files, is not understood.
//
// A line that is neither a comment, a section start nor a well-formed value is kept
// verbatim when the file is rewritten; a value whose line is malformed reads as missing.
// When one key has the same value name twice, the last line wins.
#pragma once

#include "registry/key_path.h"
#include "win32/basetypes.h"

#include <optional>
#include <string>
#include <string_view>

namespace kavet::platform::registry {

struct RegValue {
    std::string name; // "" for the unnamed value
    DWORD type = 0;
    std::string data; // the stored bytes, exactly as given to RegSetValueExA
};

// "text" with the escapes above.
std::string quoteText(std::string_view bytes);

std::string formatValueLine(const RegValue& value);
std::optional<RegValue> parseValueLine(std::string_view line);

// True when the line starts a section (its first character after blanks is '[').
bool isSectionLine(std::string_view line);

std::string formatSectionLine(const KeyPath& key);
// The key that a section line names, or nothing when it names no key of HKEY_CURRENT_USER.
std::optional<KeyPath> parseSectionLine(std::string_view line);

} // namespace kavet::platform::registry
