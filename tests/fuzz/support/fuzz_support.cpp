#include "fuzz_support.h"

#include "base/contract.h"
#include "core/params.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <unistd.h>
#include <vector>

namespace kavet::fuzz {

void fail(const char* what, const char* condition, const char* file, int line) {
    std::fprintf(stderr, "\nkavet fuzz: invariant violated: %s\n  (%s at %s:%d)\n", what, condition,
                 file, line);
    std::abort();
}

namespace {

// A broken contract of the project's own code is a fault like any other: the harness stops
// on it and keeps the input.
void trapViolation(const char* file, int line, const char* condition) {
    fail("a contract of the project's own code", condition, file, line);
}

[[maybe_unused]] const bool kTrapsViolations = (contract::setHandler(&trapViolation), true);

} // namespace

const char* isolateRegistry() {
    static std::string folder;
    folder = (std::filesystem::temp_directory_path() / "kavet-fuzz-XXXXXX").string();
    KAVET_FUZZ_CHECK(mkdtemp(folder.data()) != nullptr, "a temporary folder for the registry");
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    return folder.c_str();
}

VstIntPtr VSTCALLBACK quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

void PlugDeleter::operator()(AudioEffect* effect) const {
    delete effect;
}

PlugPtr newPlug() {
    AudioEffect* effect = createEffectInstance(quietHost);
    KAVET_FUZZ_CHECK(effect != nullptr, "the effect is created");
    PlugPtr plug(static_cast<Plug*>(effect));
    plug->dispatcher(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    plug->dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    return plug;
}

void checkParameters(AudioEffect& effect) {
    for (int i = 0; i < kNumParams; ++i) {
        const float v = effect.getParameter(i);
        KAVET_FUZZ_CHECK(v >= 0.0f && v <= 1.0f, "a parameter is within 0..1");
        KAVET_FUZZ_CHECK(!std::signbit(v), "a parameter is never -0");
    }
}

namespace {

// Fills a 32-byte field with a marker, lets `write` fill it and answers the text's length;
// traps when no terminator is inside the field.
template <typename Write> std::size_t fieldText(Write write) {
    char field[32];
    std::memset(field, 0x7f, sizeof field);
    write(field);
    const void* end = std::memchr(field, '\0', sizeof field);
    KAVET_FUZZ_CHECK(end != nullptr, "a text is terminated inside its 32-byte field");
    return static_cast<std::size_t>(static_cast<const char*>(end) - field);
}

} // namespace

void checkTexts(AudioEffect& effect) {
    for (int i = 0; i < kNumParams; ++i) {
        fieldText([&](char* t) { effect.dispatcher(effGetParamName, i, 0, t, 0.0f); });
        fieldText([&](char* t) { effect.dispatcher(effGetParamLabel, i, 0, t, 0.0f); });
        const std::size_t display =
            fieldText([&](char* t) { effect.dispatcher(effGetParamDisplay, i, 0, t, 0.0f); });
        KAVET_FUZZ_CHECK(display >= 1 && display <= 7, "a display text has 1 to 7 characters");
    }
}

void checkProcessing(Plug& plug, FuzzedDataProvider& data) {
    const int frames = data.ConsumeIntegralInRange<int>(1, 64);
    std::vector<float> in[2], out[2];
    std::vector<double> inD[2], outD[2];
    for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < frames; ++i) {
            float x = data.ConsumeFloatingPointInRange<float>(-4.0f, 4.0f);
            switch (data.ConsumeIntegralInRange<int>(0, 7)) {
            case 0:
                x = kMaxFiniteInput;
                break;
            case 1:
                x = -std::numeric_limits<float>::denorm_min();
                break;
            default:
                break;
            }
            in[c].push_back(x);
            inD[c].push_back(x);
        }
        out[c].assign(static_cast<std::size_t>(frames), 0.0f);
        outD[c].assign(static_cast<std::size_t>(frames), 0.0);
    }
    float* ins[2] = {in[0].data(), in[1].data()};
    float* outs[2] = {out[0].data(), out[1].data()};
    double* insD[2] = {inD[0].data(), inD[1].data()};
    double* outsD[2] = {outD[0].data(), outD[1].data()};
    plug.processReplacing(ins, outs, frames);
    plug.process(ins, outs, frames); // adds a second block: at most twice the bound
    plug.processDoubleReplacing(insD, outsD, frames);
    for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < frames; ++i) {
            KAVET_FUZZ_CHECK(std::isfinite(out[c][i]), "finite input gives finite output");
            KAVET_FUZZ_CHECK(std::isfinite(outD[c][i]), "finite input gives finite output");
        }
    }
    MeterSnapshot snapshot{};
    if (plug.getMeterSnapshot(snapshot)) {
        for (double level : snapshot.values)
            KAVET_FUZZ_CHECK(std::isfinite(level) && level >= 0.0,
                             "meter levels are finite and not negative");
    }
}

float awkwardFloat(FuzzedDataProvider& data) {
    using L = std::numeric_limits<float>;
    static const float kAwkward[] = {L::quiet_NaN(),
                                     -L::quiet_NaN(),
                                     L::infinity(),
                                     -L::infinity(),
                                     0.0f,
                                     -0.0f,
                                     L::denorm_min(),
                                     -L::denorm_min(),
                                     L::min(),
                                     L::max(),
                                     -L::max(),
                                     1.0f,
                                     std::nextafter(1.0f, 2.0f),
                                     -L::min(),
                                     0.5f,
                                     0.4999999f};
    const unsigned pick = data.ConsumeIntegral<unsigned char>();
    if (pick < sizeof kAwkward / sizeof kAwkward[0]) return kAwkward[pick];
    if (pick < 128) return data.ConsumeFloatingPointInRange<float>(-2.0f, 2.0f);
    std::uint32_t bits = data.ConsumeIntegral<std::uint32_t>();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

} // namespace kavet::fuzz
