#include "registry/key_path.h"

#include "win32/winerror.h"

namespace kavet::platform::registry {

namespace {

char foldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

} // namespace

bool isValidKeyName(std::string_view name) {
    if (name.empty() || name.size() > kMaxKeyNameLength) return false;
    for (char c : name) {
        if (c == '\\' || isControl(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

LONG appendSubKey(const char* text, KeyPath& path) {
    if (text == nullptr) return ERROR_SUCCESS;
    std::string_view rest(text);
    if (rest.empty()) return ERROR_SUCCESS;
    if (rest.front() == '\\') return ERROR_BAD_PATHNAME;
    if (rest.back() == '\\') rest.remove_suffix(1);
    KeyPath names;
    while (true) {
        const std::size_t cut = rest.find('\\');
        const std::string_view name = rest.substr(0, cut);
        if (name.empty()) return ERROR_BAD_PATHNAME;
        if (!isValidKeyName(name)) return ERROR_INVALID_PARAMETER;
        names.emplace_back(name);
        if (cut == std::string_view::npos) break;
        rest.remove_prefix(cut + 1);
    }
    path.insert(path.end(), names.begin(), names.end());
    return ERROR_SUCCESS;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    }
    return true;
}

bool samePath(const KeyPath& a, const KeyPath& b) {
    return a.size() == b.size() && isAncestorOrSelf(a, b);
}

bool isAncestorOrSelf(const KeyPath& ancestor, const KeyPath& path) {
    if (ancestor.size() > path.size()) return false;
    for (std::size_t i = 0; i < ancestor.size(); ++i) {
        if (!sameName(ancestor[i], path[i])) return false;
    }
    return true;
}

} // namespace kavet::platform::registry
