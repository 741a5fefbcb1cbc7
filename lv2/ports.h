// The LV2 plug-ins' ports: their order, and the plain values a port carries. The description
// generator and the DSP module both read this file, so the Turtle and the processing agree
// on every index, range and default. Pure functions, [any thread].
//
// Order: the audio inputs (1 or 2), the audio outputs (1 or 2), one control input per
// parameter in the table's order (core/params.h), the host's enable switch (lv2:enabled),
// then the meter outputs: the peak of each channel, then the RMS of each channel.
#pragma once

#include "editor_access.h"

#include "core/config.h"
#include "core/params.h"

#include <cstdint>
#include <string>

namespace kavet::lv2 {

inline constexpr const char* kPluginUri =
    kStereo ? "urn:velmorant:kavet:stereo" : "urn:velmorant:kavet:mono";
inline constexpr const char* kProjectUri = "urn:velmorant:kavet";
// The plug-in's editor, an X11 UI in the bundle's UI module.
inline constexpr const char* kEditorUri = kStereo ? kStereoEditorUri : kMonoEditorUri;
// The state's one property: the chunk's bytes under a type of the plug-in's own
// (lv2/instance.h says why).
inline constexpr const char* kStateKeyUri = "urn:velmorant:kavet:settings";
inline constexpr const char* kStateTypeUri = "urn:velmorant:kavet:chunk";

inline constexpr std::uint32_t kFirstAudioIn = 0;
inline constexpr std::uint32_t kFirstAudioOut = kFirstAudioIn + kNumChannels;
inline constexpr std::uint32_t kFirstParamPort = kFirstAudioOut + kNumChannels;
inline constexpr std::uint32_t kEnabledPort = kFirstParamPort + kNumParams;
inline constexpr std::uint32_t kFirstPeakPort = kEnabledPort + 1;
inline constexpr std::uint32_t kFirstRmsPort = kFirstPeakPort + kNumChannels;
inline constexpr std::uint32_t kNumPorts = kFirstRmsPort + kNumChannels;

inline constexpr std::uint32_t paramPort(int index) {
    return kFirstParamPort + static_cast<std::uint32_t>(index);
}

// dB ports are linear in dB. Turtle cannot carry an infinite bound, so the gain port's
// minimum stands for −∞: a gain at or below it is silence (normalised 0). The meters read
// the same floor for silence and anything below it.
inline constexpr double kFloorDb = -90.0;

// The trim port spans the widest trim range of the options page (±36 dB); the range in
// force (preference word 2) clamps the value the port asks for.
inline constexpr int kWidestTrimWord = 2;

// The meter ports' top: the strip's largest gain (fader top and widest trim) on a full-scale
// signal. A hint for hosts' displays; larger readings pass unchanged.
inline constexpr double kMeterTopDb = kMaxGainDb + 36.0;

// A parameter port's symbol: the table's name in lower case ("gain", "pan"). Hosts find the
// ports by it (kavet among them), so it never changes with the port's index.
std::string paramSymbol(int index);

// A parameter port's range and default in plain units (dB, pan percent, switch 0/1).
PlainRange portRange(int index);
double portDefault(int index);

// The normalised value for a port's plain value, with the trim range in force: the table's
// inverse law clamped to 0..1, and 0 for a gain at or below the floor. NaN stays NaN (the
// effect refuses it and keeps the value it has).
float normalisedFromPort(int index, double plain, double trimRangeDb);

// The port's plain value for a normalised value: the one whose way back (normalisedFromPort)
// comes nearest `value`, and gives it exactly wherever single precision has such a port
// value; the floor for silence and for a gain at or below it (a port cannot carry −∞). Near
// the bottom of the gain and trim ranges a step of the dB value is coarser than one of the
// normalised value, and not every value has its exact port value.
float portFromNormalised(int index, float value, double trimRangeDb);

// A level (linear amplitude) in dB for a meter port, never below kFloorDb.
float meterDb(double linear);

} // namespace kavet::lv2
