// The preferences the plug-in reads when it starts (the stored ones, or the defaults), for
// the figures that depend on them: the meter ballistics and the trim range.
#pragma once

namespace kavet::cli {

struct PluginPrefs {
    int ballistics;     // 0 Digital PPM, 1 PPM, 2 VU, 3 BBC
    double trimRangeDb; // 12, 24 or 36
};

PluginPrefs loadPluginPrefs();

} // namespace kavet::cli
