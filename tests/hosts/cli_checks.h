// Checks shared by the tests of the kavet tool.
#pragma once

#include "audio_io.h"
#include "cli_runner.h"
#include "json_value.h"

#include <array>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace kavet::test {

// Runs kavet and expects success with nothing on standard error.
inline ProgramRun runKavetOk(const std::vector<std::string>& args, const std::string& cwd = "") {
    ProgramRun run = runKavet(args, cwd);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    return run;
}

// The level table of "kavet process": per channel in peak, in RMS, out peak, out RMS (dB;
// silence as minus infinity).
std::vector<std::array<double, 4>> levelRows(const std::string& out);

// The loudness table of "kavet process": by row name ("integrated", "range", "max
// momentary", "max short-term", "true peak"), the input's and the output's figure.
std::map<std::string, std::array<double, 2>> loudnessRows(const std::string& out);
// The true peak columns of the level table: per channel, in and out (dBTP).
std::vector<std::array<double, 2>> truePeakRows(const std::string& out);

// A JSON report (kavet --json); fails the calling test when it is not valid JSON.
JsonValue readJson(const std::string& path);

// Every output sample is `factor[channel]` times the input sample, within `tolerance`.
void expectScaled(const Audio& in, const Audio& out, const std::vector<double>& factor,
                  double tolerance);

} // namespace kavet::test
