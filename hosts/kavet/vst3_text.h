// The VST 3 interface's UTF-16 text fields (String128) as the UTF-8 kavet prints.
#pragma once

#include "vst3/base.h"

#include <cstddef>
#include <string>

namespace kavet::cli {

// The text of `units` UTF-16 units at most, up to its terminator; an unpaired surrogate
// becomes U+FFFD.
std::string utf8FromUtf16(const vst3::char16* text, std::size_t units);

} // namespace kavet::cli
