#include "registry/hive_text.h"

#include "win32/winreg.h"

#include <cstdio>

namespace kavet::platform::registry {

namespace {

constexpr std::string_view kRootName = "HKEY_CURRENT_USER";
constexpr char kHexDigits[] = "0123456789abcdef";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view line) {
    while (!line.empty() && isBlank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && (isBlank(line.back()) || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void appendHexByte(std::string& out, unsigned char byte) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 15];
}

// Reads the text of a value line from left to right. When a reader fails, the caller gives
// up on the whole line, so a failed reader may leave the cursor anywhere.
class Cursor {
public:
    explicit Cursor(std::string_view text) : rest_(text) {}

    bool atEnd() const { return rest_.empty(); }
    void skipBlanks() {
        while (!rest_.empty() && isBlank(rest_.front()))
            rest_.remove_prefix(1);
    }
    bool peek(char c) const { return !rest_.empty() && rest_.front() == c; }
    bool take(char c) {
        if (rest_.empty() || rest_.front() != c) return false;
        rest_.remove_prefix(1);
        return true;
    }
    // A keyword such as "sz:", without regard to ASCII case.
    bool takeWord(std::string_view word) {
        if (rest_.size() < word.size() || !sameName(rest_.substr(0, word.size()), word))
            return false;
        rest_.remove_prefix(word.size());
        return true;
    }
    bool takeQuoted(std::string& out);
    // One to eight hexadecimal digits.
    bool takeHexNumber(DWORD& out);
    bool takeByteList(std::string& out);

private:
    bool takeEscape(std::string& out);

    std::string_view rest_;
};

bool Cursor::takeQuoted(std::string& out) {
    if (!take('"')) return false;
    out.clear();
    while (!rest_.empty()) {
        const char c = rest_.front();
        if (c == '"') {
            rest_.remove_prefix(1);
            return true;
        }
        if (c == '\\') {
            if (!takeEscape(out)) return false;
        } else {
            out += c;
            rest_.remove_prefix(1);
        }
    }
    return false; // no closing quote
}

bool Cursor::takeEscape(std::string& out) {
    if (rest_.size() < 2) return false;
    const char kind = rest_[1];
    rest_.remove_prefix(2);
    switch (kind) {
    case '"':
        out += '"';
        return true;
    case '\\':
        out += '\\';
        return true;
    case '0':
        out += '\0';
        return true;
    case 't':
        out += '\t';
        return true;
    case 'n':
        out += '\n';
        return true;
    case 'r':
        out += '\r';
        return true;
    case 'x': {
        if (rest_.size() < 2) return false;
        const int high = hexValue(rest_[0]);
        const int low = hexValue(rest_[1]);
        if (high < 0 || low < 0) return false;
        out += static_cast<char>(high * 16 + low);
        rest_.remove_prefix(2);
        return true;
    }
    default:
        return false;
    }
}

bool Cursor::takeHexNumber(DWORD& out) {
    std::size_t count = 0;
    DWORD value = 0;
    while (count < rest_.size() && hexValue(rest_[count]) >= 0) {
        if (count == 8) return false;
        value = value * 16 + static_cast<DWORD>(hexValue(rest_[count]));
        ++count;
    }
    if (count == 0) return false;
    rest_.remove_prefix(count);
    out = value;
    return true;
}

bool Cursor::takeByteList(std::string& out) {
    out.clear();
    skipBlanks();
    if (atEnd()) return true; // no data
    while (true) {
        if (rest_.size() < 2) return false;
        const int high = hexValue(rest_[0]);
        const int low = hexValue(rest_[1]);
        if (high < 0 || low < 0) return false;
        out += static_cast<char>(high * 16 + low);
        rest_.remove_prefix(2);
        skipBlanks();
        if (atEnd()) return true;
        if (!take(',')) return false;
        skipBlanks();
    }
}

bool isStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

std::string formatData(const RegValue& value) {
    const std::string& data = value.data;
    if (isStringType(value.type) && !data.empty() && data.back() == '\0') {
        const std::string_view text(data.data(), data.size() - 1);
        return (value.type == REG_SZ ? "sz:" : "expand_sz:") + quoteText(text);
    }
    if (value.type == REG_DWORD && data.size() == 4) {
        DWORD number = 0;
        for (int i = 3; i >= 0; --i)
            number = number * 256 + static_cast<unsigned char>(data[i]);
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(number));
        return text;
    }
    std::string out;
    if (value.type == REG_BINARY) {
        out = "hex:";
    } else {
        char text[24];
        std::snprintf(text, sizeof text, "hex(%x):", static_cast<unsigned>(value.type));
        out = text;
    }
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0) out += ',';
        appendHexByte(out, static_cast<unsigned char>(data[i]));
    }
    return out;
}

bool takeString(Cursor& in, DWORD type, RegValue& value) {
    std::string text;
    if (!in.takeQuoted(text)) return false;
    value.type = type;
    value.data = text + '\0';
    return true;
}

// The part after '=': a type and its data.
bool takeTypedData(Cursor& in, RegValue& value) {
    if (in.peek('"')) return takeString(in, REG_SZ, value);
    if (in.takeWord("sz:")) return takeString(in, REG_SZ, value);
    if (in.takeWord("expand_sz:")) return takeString(in, REG_EXPAND_SZ, value);
    if (in.takeWord("dword:")) {
        DWORD number = 0;
        if (!in.takeHexNumber(number)) return false;
        value.type = REG_DWORD;
        for (int i = 0; i < 4; ++i)
            value.data += static_cast<char>((number >> (8 * i)) & 0xFF);
        return true;
    }
    if (in.takeWord("hex:")) {
        value.type = REG_BINARY;
        return in.takeByteList(value.data);
    }
    if (in.takeWord("hex(")) {
        return in.takeHexNumber(value.type) && in.take(')') && in.take(':') &&
               in.takeByteList(value.data);
    }
    return false;
}

} // namespace

std::string quoteText(std::string_view bytes) {
    std::string out = "\"";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        switch (c) {
        case '"':
            out += "\\\"";
            continue;
        case '\\':
            out += "\\\\";
            continue;
        case '\t':
            out += "\\t";
            continue;
        case '\n':
            out += "\\n";
            continue;
        case '\r':
            out += "\\r";
            continue;
        default:
            break;
        }
        const bool digitFollows =
            i + 1 < bytes.size() && bytes[i + 1] >= '0' && bytes[i + 1] <= '9';
        if (c == 0 && !digitFollows) {
            out += "\\0"; // "\x00" before a digit, so that "\01" never looks like octal
        } else if (c < 0x20 || c >= 0x7F) {
            out += "\\x";
            appendHexByte(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
    return out;
}

std::string formatValueLine(const RegValue& value) {
    const std::string name = value.name.empty() ? std::string("@") : quoteText(value.name);
    return name + "=" + formatData(value);
}

std::optional<RegValue> parseValueLine(std::string_view line) {
    Cursor in(trimmed(line));
    RegValue value;
    if (!in.take('@') && !in.takeQuoted(value.name)) return std::nullopt;
    in.skipBlanks();
    if (!in.take('=')) return std::nullopt;
    in.skipBlanks();

    const bool ok = takeTypedData(in, value);
    in.skipBlanks();
    if (!ok || !in.atEnd()) return std::nullopt;
    return value;
}

bool isSectionLine(std::string_view line) {
    line = trimmed(line);
    return !line.empty() && line.front() == '[';
}

std::string formatSectionLine(const KeyPath& key) {
    std::string out = "[";
    out += kRootName;
    for (const std::string& name : key)
        out += "\\" + name;
    out += ']';
    return out;
}

std::optional<KeyPath> parseSectionLine(std::string_view line) {
    line = trimmed(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
    std::string_view rest = line.substr(1, line.size() - 2);
    if (rest.size() < kRootName.size() || !sameName(rest.substr(0, kRootName.size()), kRootName))
        return std::nullopt;
    rest.remove_prefix(kRootName.size());
    KeyPath key;
    while (!rest.empty()) {
        if (rest.front() != '\\') return std::nullopt;
        rest.remove_prefix(1);
        const std::size_t cut = rest.find('\\');
        const std::string_view name = rest.substr(0, cut);
        if (!isValidKeyName(name)) return std::nullopt;
        key.emplace_back(name);
        rest.remove_prefix(name.size());
    }
    return key;
}

} // namespace kavet::platform::registry
