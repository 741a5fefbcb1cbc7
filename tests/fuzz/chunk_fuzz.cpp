// effSetChunk with any bytes and any size, then effGetChunk, the display texts and a
// processed block. Asserts: the answer is 0 for a size other than the chunk's (and nothing
// changes), the chunk's size when taken; afterwards every parameter is within 0..1, the
// chunk handed out is whole and matches the parameters, each preference word is within its
// row, every display text is terminated, and finite input gives finite output.
#include "fuzz_support.h"

#include "core/chunk.h"

#include <cmath>
#include <cstring>
#include <vector>

using namespace kavet;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::isolateRegistry();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    fuzz::PlugPtr plug = fuzz::newPlug();
    // The first byte chooses the size claimed: the true size, or one off, or any.
    const std::uint8_t mode = data.ConsumeIntegral<std::uint8_t>();
    std::vector<std::uint8_t> chunk = data.ConsumeBytes<std::uint8_t>(
        mode < 160 ? kChunkBytes : data.ConsumeIntegralInRange<std::size_t>(0, 256));
    VstIntPtr claimed = static_cast<VstIntPtr>(chunk.size());
    if (mode >= 240) claimed = data.ConsumeIntegral<VstIntPtr>(); // a size the data lacks
    if (claimed > static_cast<VstIntPtr>(chunk.size()))
        chunk.resize(static_cast<std::size_t>(
            std::min<VstIntPtr>(claimed, 4096))); // never read past what is given

    float before[kNumParams];
    for (int i = 0; i < kNumParams; ++i)
        before[i] = plug->getParameter(i);
    const VstIntPtr taken = plug->dispatcher(effSetChunk, mode & 1, claimed,
                                             chunk.empty() ? nullptr : chunk.data(), 0.0f);
    if (claimed == kChunkBytes && !chunk.empty()) {
        KAVET_FUZZ_CHECK(taken == kChunkBytes, "a chunk of the right size is taken whole");
    } else {
        KAVET_FUZZ_CHECK(taken == 0, "a chunk of another size is refused with 0");
        for (int i = 0; i < kNumParams; ++i)
            KAVET_FUZZ_CHECK(plug->getParameter(i) == before[i],
                             "a refused chunk changes no parameter");
    }
    fuzz::checkParameters(*plug);

    void* out = nullptr;
    const VstIntPtr bytesOut = plug->dispatcher(effGetChunk, mode & 2, 0, &out, 0.0f);
    KAVET_FUZZ_CHECK(bytesOut == kChunkBytes && out != nullptr, "the chunk handed out is whole");
    StateChunk state;
    std::memcpy(&state, out, sizeof state);
    for (int i = 0; i < kNumParams; ++i)
        KAVET_FUZZ_CHECK(state.params[i] == plug->getParameter(i),
                         "the chunk's parameter words are the parameters");
    for (int w = 0; w < kPrefWords; ++w)
        KAVET_FUZZ_CHECK(state.prefs[w] >= 0 && state.prefs[w] <= kPrefMax[w],
                         "each preference word is within its row");
    for (float e : state.editor)
        KAVET_FUZZ_CHECK(std::isfinite(e), "the editor words are numbers");

    // The chunk handed out goes back in unchanged.
    std::vector<std::uint8_t> copy(static_cast<const std::uint8_t*>(out),
                                   static_cast<const std::uint8_t*>(out) + kChunkBytes);
    KAVET_FUZZ_CHECK(plug->dispatcher(effSetChunk, 0, kChunkBytes, copy.data(), 0.0f) ==
                         kChunkBytes,
                     "the effect's own chunk is taken back");
    void* again = nullptr;
    plug->dispatcher(effGetChunk, 0, 0, &again, 0.0f);
    KAVET_FUZZ_CHECK(std::memcmp(again, copy.data(), kChunkBytes) == 0,
                     "the effect's own chunk comes back unchanged");

    fuzz::checkTexts(*plug);
    fuzz::checkProcessing(*plug, data);
    fuzz::checkParameters(*plug);
    return 0;
}
