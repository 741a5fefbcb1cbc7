// The build-time channel configuration: the one place that reads KAVET_STEREO.
// Each module compiles the shared sources once with its configuration.
#pragma once

#ifndef KAVET_STEREO
#error "KAVET_STEREO must be defined to 1 (stereo build) or 0 (mono builds)"
#endif

namespace kavet {

inline constexpr bool kStereo = KAVET_STEREO != 0;

// Parameter indices, shared by the host, the editor (control tags 0 to 5) and the adaptor.
enum ParamIndex : int {
    kGain = 0,
    kTrim = 1,
    kPhase = 2,
    kMute = 3,
    kBypass = 4,
    kPan = 5, // stereo build only
};

inline constexpr int kNumParams = kStereo ? 6 : 5;
inline constexpr int kNumChannels = kStereo ? 2 : 1;
inline constexpr int kNumPrograms = 1;

} // namespace kavet
