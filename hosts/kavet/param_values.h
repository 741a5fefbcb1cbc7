// The effect's parameters as the command line sets them: plain values (dB, pan percent) to
// the normalised values that setParameter takes, through the plug-in's parameter table (the
// stereo build's, which has every row; the indices are the table's).
#pragma once

#include "core/params.h"

namespace kavet::cli {

// The name the effect reports for `index` (checked before a value is set); "" when invalid.
const char* paramName(int index);

// A plain value within the parameter's range to its normalised value (clamped to 0..1
// against rounding at the ends). The trim range is the one the plug-in has.
float toNormalised(int index, double plain, double trimRangeDb);

} // namespace kavet::cli
