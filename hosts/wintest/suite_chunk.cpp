// The 56-byte state chunk of the mono build: layout, round trip and refusal of other sizes.
#include "suites.h"

#include <cstdint>
#include <cstring>

namespace {
constexpr int kChunkBytes = 56; // 5 parameters, 2 editor values, 7 preference words

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
    EffectInstance fx(ctx.module.entry());
    if (!fx) return;
    AEffect* e = fx.get();

    e->setParameter(e, 0, 0.25f);
    e->setParameter(e, 2, 1.0f);
    void* data = nullptr;
    const VstIntPtr size = dispatch(e, effGetChunk, 0, 0, &data);
    if (!check.expect(size == kChunkBytes && data != nullptr, "GetChunkAnswers56Bytes",
                      "size %ld, data %p", static_cast<long>(size), data))
        return;
    unsigned char saved[kChunkBytes];
    std::memcpy(saved, data, kChunkBytes);

    const float params[] = {0.25f, 0.5f, 1.0f, 0.0f, 0.0f};
    bool paramsOk = true;
    for (int i = 0; i < 5; ++i)
        paramsOk = paramsOk && floatAt(saved, i) == params[i];
    check.expect(paramsOk, "ChunkHoldsParameterValues", "%g %g %g %g %g",
                 static_cast<double>(floatAt(saved, 0)), static_cast<double>(floatAt(saved, 1)),
                 static_cast<double>(floatAt(saved, 2)), static_cast<double>(floatAt(saved, 3)),
                 static_cast<double>(floatAt(saved, 4)));
    if (ctx.freshPrefix) {
        const std::int32_t prefs[] = {0, 2, 2, 0, 0, 0, 0};
        bool prefsOk = true;
        for (int i = 0; i < 7; ++i)
            prefsOk = prefsOk && intAt(saved, 7 + i) == prefs[i];
        check.expect(prefsOk, "ChunkHoldsDefaultPreferences",
                     "words 7-13: %ld %ld %ld %ld %ld %ld %ld", static_cast<long>(intAt(saved, 7)),
                     static_cast<long>(intAt(saved, 8)), static_cast<long>(intAt(saved, 9)),
                     static_cast<long>(intAt(saved, 10)), static_cast<long>(intAt(saved, 11)),
                     static_cast<long>(intAt(saved, 12)), static_cast<long>(intAt(saved, 13)));
    }

    // Another effect takes the chunk back whole.
    EffectInstance other(ctx.module.entry());
    if (!other) return;
    AEffect* o = other.get();
    unsigned char copy[kChunkBytes + 4];
    std::memcpy(copy, saved, kChunkBytes);
    check.expect(dispatch(o, effSetChunk, 0, kChunkBytes - 1, copy) == 0, "SetChunkRefuses55Bytes");
    check.expect(dispatch(o, effSetChunk, 0, kChunkBytes + 1, copy) == 0, "SetChunkRefuses57Bytes");
    check.expect(o->getParameter(o, 0) == 0.5f, "RefusedChunkChangesNothing");
    check.expect(dispatch(o, effSetChunk, 0, kChunkBytes, copy) == kChunkBytes,
                 "SetChunkAnswers56");
    check.expect(o->getParameter(o, 0) == 0.25f && o->getParameter(o, 2) == 1.0f,
                 "SetChunkRestoresParameters");
    void* again = nullptr;
    check.expect(dispatch(o, effGetChunk, 1, 0, &again) == kChunkBytes && again &&
                     std::memcmp(again, saved, kChunkBytes) == 0,
                 "ChunkRoundTripIsByteExact");

    // Values outside 0..1 are clamped on the way in.
    putFloat(copy, 0, 1.5f);
    dispatch(o, effSetChunk, 0, kChunkBytes, copy);
    check.expect(o->getParameter(o, 0) == 1.0f, "SetChunkClampsValues", "%g",
                 static_cast<double>(o->getParameter(o, 0)));
}
