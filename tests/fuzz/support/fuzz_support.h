// What the harnesses share: the check that traps on a violated invariant, an isolated
// registry, a fresh effect, and the invariants every input must leave intact (parameters
// within 0..1, display texts terminated in their field, finite audio for finite input).
#pragma once

#include "core/plug.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>

// Aborts the run with the violated invariant when `cond` does not hold; libFuzzer keeps the
// input that did it.
#define KAVET_FUZZ_CHECK(cond, what)                                                               \
    do {                                                                                           \
        if (!(cond)) ::kavet::fuzz::fail(what, #cond, __FILE__, __LINE__);                         \
    } while (0)

namespace kavet::fuzz {

[[noreturn]] void fail(const char* what, const char* condition, const char* file, int line);

// Points XDG_CONFIG_HOME at a new empty folder, so that the registry the effect reads and
// writes is the run's own. Answers the folder.
const char* isolateRegistry();

// The largest input magnitude whose product with the largest gain (8 x 10^(36/20), about
// 504) stays finite in single precision, with margin.
inline constexpr float kMaxFiniteInput = 1e30f;

// A quiet host: answers the version, records nothing.
VstIntPtr VSTCALLBACK quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float);

struct PlugDeleter {
    void operator()(AudioEffect* effect) const;
};
using PlugPtr = std::unique_ptr<Plug, PlugDeleter>;
// A new stereo effect, as the creation function makes it (44.1 kHz, resumed).
PlugPtr newPlug();

// Every parameter is a number within 0..1 (never NaN, never -0).
void checkParameters(AudioEffect& effect);
// Name, label and display of every parameter: terminated inside their 32-byte field, the
// display no longer than 7 characters.
void checkTexts(AudioEffect& effect);
// One block of finite input (levels from the data, within ±kMaxFiniteInput) through the
// three processing forms: every output sample is finite, and so is the meter snapshot.
void checkProcessing(Plug& plug, FuzzedDataProvider& data);

// A float from the data that is often one of the awkward values: NaN, ±infinity, ±0,
// subnormals, the extremes, and values just outside 0..1.
float awkwardFloat(FuzzedDataProvider& data);

} // namespace kavet::fuzz
