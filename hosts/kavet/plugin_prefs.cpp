#include "plugin_prefs.h"

#include "core/params.h"
#include "core/prefs.h"

namespace kavet::cli {

PluginPrefs loadPluginPrefs() {
    PlugPrefs prefs;         // the defaults when nothing is stored
    (void)prefs.loadPrefs(); // a failed load leaves the defaults
    return {prefs.get(kPrefBallistics), trimRangeDb(prefs.get(kPrefTrimRange))};
}

} // namespace kavet::cli
