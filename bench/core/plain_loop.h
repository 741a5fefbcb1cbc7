// The reference loop: out = in * g per channel, compiled without vectorisation so that it
// is the scalar cost of touching each sample once.
#pragma once

template <class Sample>
void plainGain(Sample* const* in, Sample* const* out, int channels, int frames, Sample g);
