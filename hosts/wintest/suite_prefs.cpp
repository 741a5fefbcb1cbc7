// The preferences that each effect loads from the registry when it is constructed, and
// writes back as defaults when none are stored ("prefdataKavet", REG_SZ, seven digits).
#include "suites.h"

#include "registry_prefs.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {
constexpr const char* kDefaults = "0220000";

bool sevenDigits(const std::string& s) {
    if (s.size() != 7) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

void expectStored(Checker& check, const char* name, const char* wanted) {
    const StoredPrefs p = readStoredPrefs();
    if (!p.present)
        check.expect(false, name, "no value prefdataKavet");
    else if (p.type != REG_SZ || p.size != 8)
        check.expect(false, name, "type %lu, %lu bytes (want REG_SZ, 8)", p.type, p.size);
    else
        check.expectText(name, p.text.c_str(), wanted);
}

// The seven preference words at the end of a fresh effect's chunk.
std::string chunkPrefs(const PluginModule& module, const ModuleFacts& facts) {
    EffectInstance fx(module.entry());
    if (!fx) return "no effect";
    void* data = nullptr;
    if (dispatch(fx.get(), effGetChunk, 0, 0, &data) != facts.chunkBytes || !data)
        return "no chunk";
    std::string digits;
    for (int i = facts.prefsWord; i < facts.prefsWord + 7; ++i) {
        std::int32_t w;
        std::memcpy(&w, static_cast<const unsigned char*>(data) + 4 * i, 4);
        digits += (w >= 0 && w <= 9) ? static_cast<char>('0' + w) : '?';
    }
    return digits;
}

// The Trim display at value 0 shows the trim range that the effect loaded.
std::string trimFloor(const PluginModule& module) {
    EffectInstance fx(module.entry());
    if (!fx) return "no effect";
    fx->setParameter(fx.get(), 1, 0.0f);
    char text[256] = {};
    dispatch(fx.get(), effGetParamDisplay, 1, 0, text);
    return text;
}
} // namespace

void checkStoredPrefs(Context& ctx) {
    Checker& check = ctx.check;
    const StoredPrefs before = readStoredPrefs();
    if (ctx.freshPrefix)
        check.expect(!before.present, "NoStoredPrefsBeforeFirstEffect", "found \"%s\"",
                     before.text.c_str());

    {
        EffectInstance fx(ctx.module.entry());
        if (!check.expect(bool(fx), "FirstEffectCreated")) return;
    }
    if (!ctx.freshPrefix) {
        // Someone's own registry: only the form is known, and nothing is changed.
        const StoredPrefs p = readStoredPrefs();
        check.expect(p.present && p.type == REG_SZ && sevenDigits(p.text),
                     "StoredPrefsAreSevenDigits", "\"%s\"", p.text.c_str());
        return;
    }
    expectStored(check, "ConstructionStoresDefaultPrefs", kDefaults);

    // Preferences stored by the user (Fine mode, trim range 1 = 24 dB, BBC ballistics,
    // steady lamps) are loaded by the next effect and left as they are.
    writeStoredPrefs("1213011");
    check.expectText("ConstructionLoadsStoredPrefs", chunkPrefs(ctx.module, ctx.facts).c_str(),
                     "1213011");
    check.expectText("LoadedTrimRangeShows", trimFloor(ctx.module).c_str(), "-24.00");
    expectStored(check, "LoadingKeepsStoredPrefs", "1213011");

    // A value shorter than two bytes cannot be loaded: the defaults are written back.
    writeStoredPrefs("");
    check.expectText("EmptyPrefsGiveDefaults", chunkPrefs(ctx.module, ctx.facts).c_str(),
                     kDefaults);
    expectStored(check, "EmptyPrefsAreReplacedByDefaults", kDefaults);

    deleteStoredPrefs();
    check.expectText("MissingPrefsGiveDefaults", chunkPrefs(ctx.module, ctx.facts).c_str(),
                     kDefaults);
    expectStored(check, "MissingPrefsAreReplacedByDefaults", kDefaults);
}
