// A strict reader of JSON text (RFC 8259) for checking the reports of kavet: any syntax
// error, trailing text or bad escape is reported rather than read around.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kavet::test {

struct JsonValue {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    double number = 0.0;
    std::string text;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    // The member `key`; fails the calling test (and answers null) when it is missing.
    const JsonValue& operator[](const std::string& key) const;
    const JsonValue& operator[](std::size_t index) const;
};

// Parses a whole text; answers false with `error` set when it is not valid JSON.
bool parseJson(const std::string& text, JsonValue& out, std::string& error);

} // namespace kavet::test
