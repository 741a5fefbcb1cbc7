// The preference store's file (the registry's text file) with any content: the effect's
// preferences are read from it, written back and read again. Asserts: every word read is
// within its row; the value written reads back as the seven digits saved (REG_SZ, 8 bytes)
// and loads as the same words; every line of the file other than a "prefdataKavet" value
// line is still there, byte for byte and in its order.
#include "fuzz_support.h"

#include "core/prefs.h"
#include "registry/hive_document.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

using namespace kavet;
using kavet::platform::registry::HiveDocument;
using kavet::platform::registry::HiveLine;
using kavet::platform::registry::sameName;

namespace {

std::string g_file;

void writeFile(const std::string& text) {
    std::ofstream out(g_file, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    KAVET_FUZZ_CHECK(out.good(), "the registry file is written");
}

std::string readFile() {
    std::ifstream in(g_file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool isPrefsLine(const HiveLine& line) {
    return line.kind == HiveLine::Kind::Value && sameName(line.value.name, kPrefsValue);
}

void checkWords(const PlugPrefs& prefs) {
    for (int w = 0; w < kPrefWords; ++w)
        KAVET_FUZZ_CHECK(prefs.get(w) >= 0 && prefs.get(w) <= kPrefMax[w],
                         "a preference word read from the file is within its row");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::string folder = std::string(fuzz::isolateRegistry()) + "/kavet";
    mkdir(folder.c_str(), 0700);
    g_file = folder + "/registry.txt";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    // The last 7 bytes (when there are that many) choose the words saved; all of it is the
    // file.
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    writeFile(text);

    PlugPrefs read;
    read.initFromStore();
    checkWords(read);

    PlugPrefs saved;
    for (int w = 0; w < kPrefWords; ++w) {
        const std::uint8_t b = size > 7 ? bytes[size - 7 + static_cast<std::size_t>(w)] : 0;
        saved.set(w, b % (kPrefMax[w] + 1));
    }
    saved.savePrefs();

    const std::string after = readFile();
    const HiveDocument doc = HiveDocument::parse(after);
    const auto* value = doc.findValue({"SOFTWARE", "Velmorant"}, kPrefsValue);
    KAVET_FUZZ_CHECK(value != nullptr, "the saved value is in the file");
    std::string digits;
    for (int w = 0; w < kPrefWords; ++w)
        digits += static_cast<char>('0' + saved.get(w));
    digits += '\0';
    KAVET_FUZZ_CHECK(value->type == REG_SZ && value->data == digits,
                     "the saved value is the seven digits with their terminator");

    PlugPrefs again;
    KAVET_FUZZ_CHECK(again.loadPrefs(), "the saved value loads");
    for (int w = 0; w < kPrefWords; ++w)
        KAVET_FUZZ_CHECK(again.get(w) == saved.get(w), "the words load as saved");

    // The user's other lines: the old file's lines (but the value's own) in the new file's,
    // in order.
    if (!text.empty()) {
        const HiveDocument before = HiveDocument::parse(text);
        std::size_t at = 0;
        const auto& lines = doc.lines();
        for (const HiveLine& line : before.lines()) {
            if (isPrefsLine(line)) continue;
            while (at < lines.size() && lines[at].text != line.text)
                ++at;
            KAVET_FUZZ_CHECK(at < lines.size(), "every other line of the file is kept, in order");
            ++at;
        }
    }
    return 0;
}
