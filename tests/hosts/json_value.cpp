#include "json_value.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace kavet::test {

namespace {

class Reader {
public:
    explicit Reader(const std::string& text) : s_(text) {}

    bool document(JsonValue& out) {
        if (!value(out)) return false;
        blank();
        return at_ == s_.size() || fail("text after the value");
    }
    std::string error;

private:
    bool fail(const std::string& why) {
        if (error.empty()) error = why + " at offset " + std::to_string(at_);
        return false;
    }
    void blank() {
        while (at_ < s_.size() &&
               (s_[at_] == ' ' || s_[at_] == '\n' || s_[at_] == '\r' || s_[at_] == '\t'))
            ++at_;
    }
    bool literal(const char* word) {
        const std::string w(word);
        if (s_.compare(at_, w.size(), w) != 0) return fail("bad literal");
        at_ += w.size();
        return true;
    }
    bool value(JsonValue& v) {
        blank();
        if (at_ >= s_.size()) return fail("end of text");
        const char c = s_[at_];
        if (c == '{') return object(v);
        if (c == '[') return array(v);
        if (c == '"') return v.kind = JsonValue::String, string(v.text);
        if (c == 't') return v.kind = JsonValue::Bool, v.boolean = true, literal("true");
        if (c == 'f') return v.kind = JsonValue::Bool, literal("false");
        if (c == 'n') return v.kind = JsonValue::Null, literal("null");
        return number(v);
    }
    bool number(JsonValue& v) {
        const std::size_t start = at_;
        if (at_ < s_.size() && s_[at_] == '-') ++at_;
        const std::size_t digits = at_;
        while (at_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[at_])))
            ++at_;
        if (at_ == digits || (s_[digits] == '0' && at_ - digits > 1)) return fail("bad number");
        if (at_ < s_.size() && s_[at_] == '.') {
            const std::size_t fraction = ++at_;
            while (at_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[at_])))
                ++at_;
            if (at_ == fraction) return fail("bad fraction");
        }
        if (at_ < s_.size() && (s_[at_] == 'e' || s_[at_] == 'E')) {
            ++at_;
            if (at_ < s_.size() && (s_[at_] == '+' || s_[at_] == '-')) ++at_;
            const std::size_t exponent = at_;
            while (at_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[at_])))
                ++at_;
            if (at_ == exponent) return fail("bad exponent");
        }
        v.kind = JsonValue::Number;
        v.number = std::strtod(s_.substr(start, at_ - start).c_str(), nullptr);
        return true;
    }
    bool string(std::string& out) {
        ++at_; // the opening quote
        while (at_ < s_.size() && s_[at_] != '"') {
            const auto c = static_cast<unsigned char>(s_[at_++]);
            if (c < 0x20) return fail("control character in a string");
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (at_ >= s_.size()) break;
            const char e = s_[at_++];
            const std::string simple = "\"\\/bfnrt", meant = "\"\\/\b\f\n\r\t";
            if (const auto k = simple.find(e); k != std::string::npos) {
                out += meant[k];
            } else if (e == 'u' && at_ + 4 <= s_.size() &&
                       s_.substr(at_, 4).find_first_not_of("0123456789abcdefABCDEF") ==
                           std::string::npos) {
                const long code = std::strtol(s_.substr(at_, 4).c_str(), nullptr, 16);
                if (code >= 0x80) return fail("\\u beyond ASCII (not used by kavet)");
                out += static_cast<char>(code);
                at_ += 4;
            } else {
                return fail("bad escape");
            }
        }
        if (at_ >= s_.size()) return fail("unterminated string");
        ++at_;
        return true;
    }
    bool array(JsonValue& v) {
        v.kind = JsonValue::Array;
        ++at_;
        blank();
        if (at_ < s_.size() && s_[at_] == ']') return ++at_, true;
        for (;;) {
            v.items.emplace_back();
            if (!value(v.items.back())) return false;
            blank();
            if (at_ < s_.size() && s_[at_] == ',') {
                ++at_;
                continue;
            }
            if (at_ < s_.size() && s_[at_] == ']') return ++at_, true;
            return fail("expected , or ]");
        }
    }
    bool object(JsonValue& v) {
        v.kind = JsonValue::Object;
        ++at_;
        blank();
        if (at_ < s_.size() && s_[at_] == '}') return ++at_, true;
        for (;;) {
            blank();
            std::string key;
            if (at_ >= s_.size() || s_[at_] != '"' || !string(key)) return fail("expected a key");
            blank();
            if (at_ >= s_.size() || s_[at_++] != ':') return fail("expected :");
            if (v.members.count(key) != 0) return fail("repeated key " + key);
            if (!value(v.members[key])) return false;
            blank();
            if (at_ < s_.size() && s_[at_] == ',') {
                ++at_;
                continue;
            }
            if (at_ < s_.size() && s_[at_] == '}') return ++at_, true;
            return fail("expected , or }");
        }
    }

    const std::string& s_;
    std::size_t at_ = 0;
};

const JsonValue& nullValue() {
    static const JsonValue none;
    return none;
}

} // namespace

const JsonValue& JsonValue::operator[](const std::string& key) const {
    const auto found = members.find(key);
    if (found != members.end()) return found->second;
    ADD_FAILURE() << "no member '" << key << "'";
    return nullValue();
}

const JsonValue& JsonValue::operator[](std::size_t index) const {
    if (index < items.size()) return items[index];
    ADD_FAILURE() << "no item " << index;
    return nullValue();
}

bool parseJson(const std::string& text, JsonValue& out, std::string& error) {
    Reader reader(text);
    out = JsonValue{};
    const bool ok = reader.document(out);
    error = reader.error;
    return ok;
}

} // namespace kavet::test
