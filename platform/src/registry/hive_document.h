// The current user's hive as the lines of its file. Lines that the hive does not
// understand (comments, blanks, malformed values, sections of no known key) are kept with
// their exact bytes, and edits touch only the lines that they are about, so a rewrite
// keeps everything a person wrote by hand.
#pragma once

#include "registry/hive_text.h"
#include "registry/key_path.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kavet::platform::registry {

struct HiveLine {
    enum class Kind { Other, Section, Value };

    Kind kind = Kind::Other;
    std::string text;      // the line's bytes in the file, without the line break
    bool namesKey = false; // Section: names a key of HKEY_CURRENT_USER
    KeyPath key;           // Section: that key
    RegValue value;        // Value
};

class HiveDocument {
public:
    // An empty text (no file yet) gives a document that starts with a short comment on
    // the format, for whoever opens the file.
    static HiveDocument parse(std::string_view text);
    std::string serialize() const;

    bool keyExists(const KeyPath& key) const;
    bool hasSubKeys(const KeyPath& key) const;
    // The value of that name in the key, or null; the last line wins when one name is there
    // twice.
    const RegValue* findValue(const KeyPath& key, std::string_view name) const;

    // Each of these answers whether the document changed.
    // Creates the key and every missing key above it; new names keep the case given.
    bool createKey(const KeyPath& key);
    // Sets a value of an existing key; an existing value keeps the case of its name.
    bool setValue(const KeyPath& key, const RegValue& value);
    bool deleteValue(const KeyPath& key, std::string_view name);
    // Removes the key's sections and their values; the key above it stays.
    bool deleteKey(const KeyPath& key);

    const std::vector<HiveLine>& lines() const { return lines_; }

private:
    // Index of the last section line of exactly this key, or npos.
    std::size_t lastSectionOf(const KeyPath& key) const;
    // Index of the line holding the key's value of that name (the last one), or npos.
    std::size_t valueLineOf(const KeyPath& key, std::string_view name) const;
    // The key's path with each existing name in the case first written in the file.
    KeyPath storedCase(const KeyPath& key) const;
    // Appends a section for the key, whose names are already in their stored case.
    void appendSection(const KeyPath& casedKey);
    // True when line i is a value line of exactly `key`.
    bool isValueOf(std::size_t i, const KeyPath& key) const;

    std::vector<HiveLine> lines_;
    // For each line, the index of the section line it follows (npos before the first).
    std::vector<std::size_t> sectionOf_;

    void reindex();
    void insertLine(std::size_t at, HiveLine line);
    // Removes the lines for which `doomed(index)` holds; answers whether any went.
    bool removeLines(const std::function<bool(std::size_t)>& doomed);
};

} // namespace kavet::platform::registry
