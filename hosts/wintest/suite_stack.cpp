// Every entry point called with the stack 0, 4, 8 and 12 bytes past 16-byte alignment, as
// 32-bit hosts built by other compilers call it: construction, dispatcher, parameters,
// processing in both precisions, chunk and close. (32-bit x86 only: see stack_call.h.)
#include "suites.h"

#include "stack_call.h"

#include <cstdio>
#include <cstring>
#include <vector>

void checkStackAlignment(Context& ctx) {
    Checker& check = ctx.check;
    const void* entry = reinterpret_cast<const void*>(ctx.module.entry());
    for (int offset : kStackOffsets) {
        char name[64];
        std::snprintf(name, sizeof name, "EntryPointsWithStackOffset%d", offset);
        check.setSection(name);
        AEffect* e = entryWithStackOffset(entry, hostCallback, offset);
        const int channels = ctx.facts.channels;
        if (!e || e->numInputs != channels || e->numOutputs != channels) {
            check.expect(false, name, e ? "other channel counts" : "construction returned null");
            if (e) dispatch(e, effClose);
            continue;
        }
        dispatchWithStackOffset(e, effOpen, 0, 0, nullptr, 0.0f, offset);
        dispatchWithStackOffset(e, effSetSampleRate, 0, 0, nullptr, 48000.0f, offset);
        dispatchWithStackOffset(e, effMainsChanged, 0, 1, nullptr, 0.0f, offset);
        setParameterWithStackOffset(e, 0, 0.25f, offset);

        // Every channel in the same buffers: the last channel's output is checked.
        std::vector<float> in(256, 0.5f), out(256, 0.0f);
        float* fi[] = {in.data(), in.data()};
        float* fo[] = {out.data(), out.data()};
        processWithStackOffset(reinterpret_cast<const void*>(e->processReplacing), e, fi, fo, 256,
                               offset);
        processWithStackOffset(reinterpret_cast<const void*>(e->process), e, fi, fo, 256, offset);
        std::vector<double> din(256, 0.5), dout(256, 0.0);
        double* di[] = {din.data(), din.data()};
        double* dO[] = {dout.data(), dout.data()};
        processWithStackOffset(reinterpret_cast<const void*>(e->processDoubleReplacing), e, di, dO,
                               256, offset);

        char text[256] = {};
        dispatchWithStackOffset(e, effGetParamDisplay, 0, 0, text, 0.0f, offset);
        void* chunk = nullptr;
        const VstIntPtr size = dispatchWithStackOffset(e, effGetChunk, 0, 0, &chunk, 0.0f, offset);
        const int bytes = ctx.facts.chunkBytes;
        unsigned char copy[64] = {};
        if (chunk && size == bytes) std::memcpy(copy, chunk, static_cast<size_t>(bytes));
        const VstIntPtr taken =
            dispatchWithStackOffset(e, effSetChunk, 0, bytes, copy, 0.0f, offset);
        // After 512 samples of glide from 1 towards 0.125 the gain is strictly between them.
        const bool gliding = dout[255] < 0.5 && dout[255] > 0.0625;
        check.expect(std::strcmp(text, "-18.06") == 0 && size == bytes && taken == bytes && gliding,
                     name, "display \"%s\", chunk %ld/%ld, last sample %g", text,
                     static_cast<long>(size), static_cast<long>(taken), dout[255]);
        dispatchWithStackOffset(e, effClose, 0, 0, nullptr, 0.0f, offset);
    }
}
