#include "commands.h"

#include <cstdio>

namespace kavet::cli {

void printUsage() {
    std::fputs(
        "usage:\n"
        "  kavet info [--plugin PATH]\n"
        "      the module's effect record, vendor, product and parameters\n"
        "  kavet process IN OUT [options]\n"
        "      IN (WAV, AIFF, FLAC) through the strip into OUT (.wav and .aiff: 32-bit float,\n"
        "      .flac: 24-bit); stereo files go through the stereo module, others through one\n"
        "      mono module per channel\n"
        "      --plugin PATH   another VST 2.4 module\n"
        "      --gain DB       fader, -inf to +18.06 dB (default 0)\n"
        "      --trim DB       trim, -36 to +36 dB (default 0)\n"
        "      --pan POS       C, L1..L100 or R1..R100 (stereo, default C)\n"
        "      --phase         flip the polarity\n"
        "      --mute          mute\n"
        "      --bypass        bypass\n"
        "      --block N       samples per processing call, 1 to 65536 (default 512)\n"
        "      --double        process 64-bit samples\n"
        "  kavet demo [OUT] [--plugin PATH]\n"
        "      writes a test signal to OUT-in and the processed result to OUT\n"
        "      (default kavet-demo.wav)\n",
        stdout);
}

} // namespace kavet::cli
