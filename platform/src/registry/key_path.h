// Key paths below HKEY_CURRENT_USER and the registry's rules for names.
#pragma once

#include "win32/basetypes.h"

#include <string>
#include <string_view>
#include <vector>

namespace kavet::platform::registry {

// The names of a key's path below the root, outermost first; empty for the root itself.
// Names keep the case in which they were given; comparisons ignore ASCII case, as the
// registry does.
using KeyPath = std::vector<std::string>;

// Longest key name and value name that the registry accepts, in bytes.
inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxValueNameLength = 16383;

// Splits a caller's sub-key text ("SOFTWARE\\Velmorant") into names and appends them to
// `path`. Null and "" add nothing; one trailing backslash is ignored. Answers
// ERROR_BAD_PATHNAME for a leading backslash or an empty name inside the path, and
// ERROR_INVALID_PARAMETER for a name longer than 255 bytes or holding a control character
// (the hive file keeps one key per line, so a key name never holds a line break).
LONG appendSubKey(const char* text, KeyPath& path);

// True when `name` may be a key name: 1 to 255 bytes, no backslash, no control character.
bool isValidKeyName(std::string_view name);

bool sameName(std::string_view a, std::string_view b);
bool samePath(const KeyPath& a, const KeyPath& b);

// True when `ancestor` is `path` itself or one of the keys above it.
bool isAncestorOrSelf(const KeyPath& ancestor, const KeyPath& path);

} // namespace kavet::platform::registry
