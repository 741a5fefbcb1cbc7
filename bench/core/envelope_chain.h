// The latency floor of the kernel: one meter pair's envelope step (with its peak and sum)
// applied sample after sample, each step waiting for the envelope of the one before. The
// kernels run their envelope chains side by side, so no kernel can take less per frame.
#pragma once

#include "core/meter.h"

// Runs the step over `frames` samples of `left` and `right` from silence; the result
// depends on the final envelope, peak and sum, so that no part is optimised away.
double envelopeChain(const double* left, const double* right, int frames,
                     const kavet::MeterCoefficients& coefficients);
