#include "plain_loop.h"

template <class Sample>
__attribute__((noinline, optimize("no-tree-vectorize"))) void
plainGain(Sample* const* in, Sample* const* out, int channels, int frames, Sample g) {
    for (int c = 0; c < channels; ++c) {
        const Sample* src = in[c];
        Sample* dst = out[c];
        for (int i = 0; i < frames; ++i)
            dst[i] = src[i] * g;
    }
}

template void plainGain<float>(float* const*, float* const*, int, int, float);
template void plainGain<double>(double* const*, double* const*, int, int, double);
