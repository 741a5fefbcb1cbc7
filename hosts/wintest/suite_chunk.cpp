// The state chunk (56 bytes mono, 60 stereo): layout, round trip and refusal of other sizes.
#include "suites.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {
constexpr int kMaxChunkBytes = 60;

float floatAt(const unsigned char* chunk, int word) {
    float f;
    std::memcpy(&f, chunk + 4 * word, 4);
    return f;
}

std::int32_t intAt(const unsigned char* chunk, int word) {
    std::int32_t v;
    std::memcpy(&v, chunk + 4 * word, 4);
    return v;
}

void putFloat(unsigned char* chunk, int word, float f) {
    std::memcpy(chunk + 4 * word, &f, 4);
}
} // namespace

void checkChunk(Context& ctx) {
    Checker& check = ctx.check;
    const int bytes = ctx.facts.chunkBytes;
    const int params = ctx.facts.params;
    EffectInstance fx(ctx.module.entry());
    if (!fx) return;
    AEffect* e = fx.get();

    e->setParameter(e, 0, 0.25f);
    e->setParameter(e, 2, 1.0f);
    void* data = nullptr;
    const VstIntPtr size = dispatch(e, effGetChunk, 0, 0, &data);
    if (!check.expect(size == bytes && data != nullptr, "GetChunkAnswersItsSize",
                      "size %lld, data %p, want %d bytes", static_cast<long long>(size), data,
                      bytes))
        return;
    unsigned char saved[kMaxChunkBytes];
    std::memcpy(saved, data, static_cast<size_t>(bytes));

    // Gain, trim, phase, mute, bypass, then pan (stereo) at its centre.
    const float values[] = {0.25f, 0.5f, 1.0f, 0.0f, 0.0f, 0.5f};
    char seen[128] = {};
    int used = 0;
    bool paramsOk = true;
    for (int i = 0; i < params; ++i) {
        paramsOk = paramsOk && floatAt(saved, i) == values[i];
        used += std::snprintf(seen + used, sizeof seen - static_cast<size_t>(used), " %g",
                              static_cast<double>(floatAt(saved, i)));
    }
    check.expect(paramsOk, "ChunkHoldsParameterValues", "%s", seen);
    if (ctx.freshPrefix) {
        const std::int32_t prefs[] = {0, 2, 2, 0, 0, 0, 0};
        const int first = ctx.facts.prefsWord;
        bool prefsOk = true;
        used = 0;
        for (int i = 0; i < 7; ++i) {
            prefsOk = prefsOk && intAt(saved, first + i) == prefs[i];
            used += std::snprintf(seen + used, sizeof seen - static_cast<size_t>(used), " %ld",
                                  static_cast<long>(intAt(saved, first + i)));
        }
        check.expect(prefsOk, "ChunkHoldsDefaultPreferences", "words %d-%d:%s", first, first + 6,
                     seen);
    }

    // Another effect takes the chunk back whole.
    EffectInstance other(ctx.module.entry());
    if (!other) return;
    AEffect* o = other.get();
    unsigned char copy[kMaxChunkBytes + 4] = {};
    std::memcpy(copy, saved, static_cast<size_t>(bytes));
    check.expect(dispatch(o, effSetChunk, 0, bytes - 1, copy) == 0, "SetChunkRefusesOneByteLess");
    check.expect(dispatch(o, effSetChunk, 0, bytes + 1, copy) == 0, "SetChunkRefusesOneByteMore");
    // The other configuration's size (56 and 60 bytes) is refused too.
    const int otherLayout = bytes == 56 ? 60 : 56;
    check.expect(dispatch(o, effSetChunk, 0, otherLayout, copy) == 0,
                 "SetChunkRefusesTheOtherLayout");
    check.expect(o->getParameter(o, 0) == 0.5f, "RefusedChunkChangesNothing");
    check.expect(dispatch(o, effSetChunk, 0, bytes, copy) == bytes, "SetChunkAnswersItsSize");
    check.expect(o->getParameter(o, 0) == 0.25f && o->getParameter(o, 2) == 1.0f,
                 "SetChunkRestoresParameters");
    void* again = nullptr;
    check.expect(dispatch(o, effGetChunk, 1, 0, &again) == bytes && again &&
                     std::memcmp(again, saved, static_cast<size_t>(bytes)) == 0,
                 "ChunkRoundTripIsByteExact");

    // Values outside 0..1 are clamped on the way in.
    putFloat(copy, 0, 1.5f);
    dispatch(o, effSetChunk, 0, bytes, copy);
    check.expect(o->getParameter(o, 0) == 1.0f, "SetChunkClampsValues", "%g",
                 static_cast<double>(o->getParameter(o, 0)));
}
