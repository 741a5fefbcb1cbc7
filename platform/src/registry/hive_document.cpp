#include "registry/hive_document.h"

#include <algorithm>
#include <functional>

namespace kavet::platform::registry {

namespace {

constexpr std::size_t npos = static_cast<std::size_t>(-1);

// Written at the top of a new file, for a person who opens it.
constexpr std::string_view kPreamble[] = {
    "; Kavet registry: the current user's keys and values (HKEY_CURRENT_USER).",
    "; [HKEY_CURRENT_USER\\Key\\Sub] starts a key; its values follow, one per line:",
    ";   \"name\"=sz:\"text\"   \"name\"=dword:0000002a   \"name\"=hex:00,ff   \"name\"=hex(N):..",
    "; (N is the type in hexadecimal; @ names the unnamed value). Escapes inside quotes:",
    "; \\\" \\\\ \\0 \\t \\n \\r \\xHH. Lines that are not understood are kept as they are.",
};

HiveLine classify(std::string text) {
    HiveLine line;
    line.text = std::move(text);
    if (isSectionLine(line.text)) {
        line.kind = HiveLine::Kind::Section;
        if (auto key = parseSectionLine(line.text)) {
            line.namesKey = true;
            line.key = std::move(*key);
        }
    } else if (auto value = parseValueLine(line.text)) {
        line.kind = HiveLine::Kind::Value;
        line.value = std::move(*value);
    }
    return line;
}

bool isBlankText(std::string_view text) {
    return text.find_first_not_of(" \t\r") == std::string_view::npos;
}

} // namespace

HiveDocument HiveDocument::parse(std::string_view text) {
    HiveDocument doc;
    if (text.empty()) {
        for (std::string_view comment : kPreamble)
            doc.lines_.push_back(classify(std::string(comment)));
    }
    while (!text.empty()) {
        const std::size_t cut = text.find('\n');
        doc.lines_.push_back(classify(std::string(text.substr(0, cut))));
        text.remove_prefix(cut == std::string_view::npos ? text.size() : cut + 1);
    }
    doc.reindex();
    return doc;
}

std::string HiveDocument::serialize() const {
    std::string out;
    for (const HiveLine& line : lines_) {
        out += line.text;
        out += '\n';
    }
    return out;
}

void HiveDocument::reindex() {
    sectionOf_.assign(lines_.size(), npos);
    std::size_t section = npos;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == HiveLine::Kind::Section) section = i;
        sectionOf_[i] = section;
    }
}

bool HiveDocument::removeLines(const std::function<bool(std::size_t)>& doomed) {
    // Decide for every line first: the decisions look at section lines that may go too.
    std::vector<bool> remove(lines_.size());
    for (std::size_t i = 0; i < lines_.size(); ++i)
        remove[i] = doomed(i);
    std::vector<HiveLine> kept;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (!remove[i]) kept.push_back(std::move(lines_[i]));
    }
    const bool changed = kept.size() != lines_.size();
    lines_ = std::move(kept);
    reindex();
    return changed;
}

void HiveDocument::insertLine(std::size_t at, HiveLine line) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    reindex();
}

bool HiveDocument::isValueOf(std::size_t i, const KeyPath& key) const {
    if (lines_[i].kind != HiveLine::Kind::Value || sectionOf_[i] == npos) return false;
    const HiveLine& section = lines_[sectionOf_[i]];
    return section.namesKey && samePath(section.key, key);
}

bool HiveDocument::keyExists(const KeyPath& key) const {
    if (key.empty()) return true;
    return std::any_of(lines_.begin(), lines_.end(), [&](const HiveLine& line) {
        return line.namesKey && isAncestorOrSelf(key, line.key);
    });
}

bool HiveDocument::hasSubKeys(const KeyPath& key) const {
    return std::any_of(lines_.begin(), lines_.end(), [&](const HiveLine& line) {
        return line.namesKey && line.key.size() > key.size() && isAncestorOrSelf(key, line.key);
    });
}

std::size_t HiveDocument::lastSectionOf(const KeyPath& key) const {
    std::size_t found = npos;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].namesKey && samePath(lines_[i].key, key)) found = i;
    }
    return found;
}

std::size_t HiveDocument::valueLineOf(const KeyPath& key, std::string_view name) const {
    std::size_t found = npos;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (isValueOf(i, key) && sameName(lines_[i].value.name, name)) found = i;
    }
    return found;
}

const RegValue* HiveDocument::findValue(const KeyPath& key, std::string_view name) const {
    const std::size_t i = valueLineOf(key, name);
    return i == npos ? nullptr : &lines_[i].value;
}

KeyPath HiveDocument::storedCase(const KeyPath& key) const {
    KeyPath cased = key;
    std::vector<bool> known(key.size(), false);
    for (const HiveLine& line : lines_) {
        if (!line.namesKey) continue;
        for (std::size_t i = 0; i < key.size() && i < line.key.size(); ++i) {
            if (!sameName(key[i], line.key[i])) break;
            if (!known[i]) cased[i] = line.key[i];
            known[i] = true;
        }
    }
    return cased;
}

void HiveDocument::appendSection(const KeyPath& casedKey) {
    if (!lines_.empty() && !isBlankText(lines_.back().text)) lines_.push_back(HiveLine{});
    HiveLine line;
    line.kind = HiveLine::Kind::Section;
    line.text = formatSectionLine(casedKey);
    line.namesKey = true;
    line.key = casedKey;
    insertLine(lines_.size(), std::move(line));
}

bool HiveDocument::createKey(const KeyPath& key) {
    bool changed = false;
    for (std::size_t depth = 1; depth <= key.size(); ++depth) {
        const KeyPath prefix(key.begin(), key.begin() + static_cast<std::ptrdiff_t>(depth));
        if (keyExists(prefix)) continue;
        appendSection(storedCase(prefix));
        changed = true;
    }
    return changed;
}

bool HiveDocument::setValue(const KeyPath& key, const RegValue& value) {
    const std::size_t existing = valueLineOf(key, value.name);
    if (existing != npos) {
        RegValue& stored = lines_[existing].value;
        if (stored.type == value.type && stored.data == value.data) return false;
        stored.type = value.type;
        stored.data = value.data;
        lines_[existing].text = formatValueLine(stored);
        return true;
    }
    std::size_t section = lastSectionOf(key);
    if (section == npos) {
        // The key exists only through keys below it (or is the root): give it a section.
        appendSection(storedCase(key));
        section = lines_.size() - 1;
    }
    std::size_t at = section + 1;
    for (std::size_t i = section + 1; i < lines_.size() && sectionOf_[i] == section; ++i) {
        if (lines_[i].kind == HiveLine::Kind::Value) at = i + 1;
    }
    HiveLine line;
    line.kind = HiveLine::Kind::Value;
    line.value = value;
    line.text = formatValueLine(value);
    insertLine(at, std::move(line));
    return true;
}

bool HiveDocument::deleteValue(const KeyPath& key, std::string_view name) {
    return removeLines(
        [&](std::size_t i) { return isValueOf(i, key) && sameName(lines_[i].value.name, name); });
}

bool HiveDocument::deleteKey(const KeyPath& key) {
    const KeyPath parent(key.begin(), key.end() - (key.empty() ? 0 : 1));
    // A parent that exists only through this key must outlive it, as in the registry.
    const bool parentNeedsSection = !parent.empty() && lastSectionOf(parent) == npos;
    const KeyPath casedParent = storedCase(parent);

    const bool changed = removeLines([&](std::size_t i) {
        // Comments and lines not understood stay, now in the section above.
        return (lines_[i].namesKey && samePath(lines_[i].key, key)) || isValueOf(i, key);
    });
    if (changed && parentNeedsSection) appendSection(casedParent);
    return changed;
}

} // namespace kavet::platform::registry
