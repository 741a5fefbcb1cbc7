// The exported entry under both names and its host-version check.
#include "suites.h"

void checkEntry(Context& ctx) {
    Checker& check = ctx.check;
    const VstEntry entry = ctx.module.entry();
    const VstEntry alias = ctx.module.mainAlias();
    check.expect(alias != nullptr, "ExportsMainAlias", "GetProcAddress(\"main\") is null");
    check.expect(alias == entry, "MainIsTheSameFunctionAsVSTPluginMain",
                 "main %p, VSTPluginMain %p", reinterpret_cast<void*>(alias),
                 reinterpret_cast<void*>(entry));

    // A host older than 2.x answers 0 to audioMasterVersion and gets nothing.
    HostState& host = hostState();
    host.version = 0;
    const int queries = host.versionQueries;
    AEffect* refused = entry(hostCallback);
    host.version = kVstVersion;
    check.expect(refused == nullptr, "EntryRefusesHostVersionZero", "returned %p",
                 static_cast<void*>(refused));
    check.expect(host.versionQueries == queries + 1, "EntryAsksHostVersionOnce", "asked %d times",
                 host.versionQueries - queries);
    if (refused) dispatch(refused, effClose);

    check.expect(entry(nullptr) == nullptr, "EntryRefusesNullCallback");

    if (alias) {
        EffectInstance viaMain(alias);
        check.expect(viaMain && viaMain->magic == kEffectMagic, "MainAliasCreatesAnEffect");
    }
}
