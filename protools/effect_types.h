// The two effect-type descriptions, mono and stereo. Both are built in every build; the
// group registers only the one of its own configuration.
#pragma once

#include "protools/framework/effect_type.h"

#include <memory>

inline constexpr ptfw::OSType kMonoTypeCode = ptfw::FourCC("kvu1");
inline constexpr ptfw::OSType kStereoTypeCode = ptfw::FourCC("kvt1");
inline constexpr std::uint32_t kTypeCategory = 0x2000;

std::unique_ptr<CEffectTypeRTAS> MakeMonoType(ProcessFactory factory);
std::unique_ptr<CEffectTypeRTAS> MakeStereoType(ProcessFactory factory);
