// The effect's parameters as CLAP describes them: ids are the VST 2.4 indices, values the
// normalised values the effect stores (0 to 1), texts the effect's own. Pure functions of the
// table (core/params.h) and the trim range in force. [any thread]
#pragma once

#include "clap/params.h"

namespace kavet::clapplugin {

// Fills `info` for parameter `index`; false for an index out of range.
bool describeParam(clap::uint32 index, clap::ParamInfo& info);

// The effect's display text of `value` (clamped to 0..1 as the effect stores it) into `out`
// of `capacity` bytes, cut to fit and always terminated; false for an unknown id, a NaN or
// no room.
bool paramValueToText(clap::Id id, double value, double trimRangeDb, char* out,
                      clap::uint32 capacity);

// The value a user's text asks for: a switch's own texts ("Flip", "mute", any case) and the
// gain's text for silence ("-oo"), else the editor's reading of typed text; clamped to 0..1 as the
// effect stores it. False for an unknown id or a null text.
bool paramTextToValue(clap::Id id, const char* text, double trimRangeDb, double& value);

} // namespace kavet::clapplugin
