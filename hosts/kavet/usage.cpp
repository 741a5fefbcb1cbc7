#include "commands.h"

#include <cstdio>

namespace kavet::cli {

void printUsage() {
    std::fputs(
        "usage:\n"
        "  kavet info [--plugin PATH]\n"
        "      the module's effect record, vendor, product and parameters; for a host-format\n"
        "      module the plug-in group's description and its host controls; for a VST 3\n"
        "      bundle or module its classes and each effect's parameters; for an LV2 bundle\n"
        "      or URI its plug-ins and their ports\n"
        "  kavet process IN OUT [options]\n"
        "  kavet process IN... -o DIR [-r] [options]\n"
        "      IN (WAV, AIFF, FLAC) through the strip into OUT (.wav and .aiff: 32-bit float,\n"
        "      .flac: 24-bit); stereo files go through the stereo module, others through one\n"
        "      mono module per channel. Prints each channel's peak, RMS and true peak and the\n"
        "      loudness (EBU R 128) of input and output\n"
        "      -o DIR          many files (or folders' audio files) into DIR, on every core;\n"
        "                      a summary at the end, exit status 1 when any file failed\n"
        "      -r              with -o: the folders' subfolders too\n"
        "      --plugin PATH   another module: VST 2.4, VST 3 or host format, told by its\n"
        "                      exports; a VST 3 bundle (Kavet.vst3) or an LV2 bundle or\n"
        "                      URI, whose effect that fits the file's channels is used\n"
        "      --gain DB       fader, -inf to +18.06 dB (default 0)\n"
        "      --trim DB       trim, -36 to +36 dB (default 0)\n"
        "      --pan POS       C, L1..L100 or R1..R100 (stereo, default C)\n"
        "      --phase         flip the polarity\n"
        "      --mute          mute\n"
        "      --bypass        bypass\n"
        "      --normalize LUFS  set fader and trim so that the output has this integrated\n"
        "                      loudness, -70 to 0 (e.g. -23, -16, -14); not with --gain, --trim\n"
        "      --true-peak-max DBTP  the output's true peak stays at or below this, -30 to 0\n"
        "                      (default -1); a file held short of its target says by how much\n"
        "      --plot FILE.png levels of input and output over time, 1200 x 760 (one file)\n"
        "      --json FILE     every figure and setting, per file and channel, as JSON\n"
        "      --block N       samples per processing call, 1 to 65536 (default 512)\n"
        "      --double        process 64-bit samples\n"
        "  kavet demo [OUT] [--plugin PATH]\n"
        "      writes a test signal to OUT-in and the processed result to OUT\n"
        "      (default kavet-demo.wav), and the editor's picture of the run to OUT-editor.png\n"
        "  kavet editor --png FILE [options]\n"
        "      the editor of the module on the headless display, after the signal ran\n"
        "      through it with the editor idling between blocks, as a PNG picture\n"
        "      --plugin PATH   a Kavet module (stereo or mono editor by its configuration)\n"
        "      --gain, --trim, --pan, --phase, --mute, --bypass   as for process\n"
        "      --pre           meters before the fader\n"
        "      --fine          fine fader mode\n"
        "      --signal SRC    an audio file, or demo for the built-in signal (default none)\n"
        "      --options       with the options page open\n"
        "  kavet editor --window [options]\n"
        "      the editor of the module in a window on the X display, as a small host shows\n"
        "      it: the signal runs through the strip in real time, over and over, so the\n"
        "      meters move; each parameter change made in the editor is printed; closing\n"
        "      the window ends the command\n"
        "      --plugin, --signal, --gain, --trim, --pan, --phase, --mute, --bypass\n"
        "                      as for --png (without --signal, silence runs through)\n",
        stdout);
}

} // namespace kavet::cli
