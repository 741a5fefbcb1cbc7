#include "cli_checks.h"

#include <cmath>
#include <sstream>

namespace kavet::test {

namespace {

double readDb(const std::string& token) {
    return token == "-inf" ? -INFINITY : std::stod(token);
}

} // namespace

std::vector<std::array<double, 4>> levelRows(const std::string& out) {
    std::vector<std::array<double, 4>> rows;
    std::istringstream lines(out);
    std::string line;
    bool inTable = false;
    while (std::getline(lines, line)) {
        if (line.rfind("channel", 0) == 0) {
            inTable = true;
            continue;
        }
        if (!inTable) continue;
        std::istringstream fields(line);
        std::size_t channel = 0;
        std::string peakIn, rmsIn, peakOut, rmsOut;
        if (!(fields >> channel >> peakIn >> rmsIn >> peakOut >> rmsOut)) break;
        EXPECT_EQ(channel, rows.size() + 1);
        rows.push_back({readDb(peakIn), readDb(rmsIn), readDb(peakOut), readDb(rmsOut)});
    }
    return rows;
}

void expectScaled(const Audio& in, const Audio& out, const std::vector<double>& factor,
                  double tolerance) {
    ASSERT_EQ(out.channels, in.channels);
    ASSERT_EQ(out.frames(), in.frames());
    ASSERT_EQ(factor.size(), static_cast<std::size_t>(in.channels));
    int failures = 0;
    for (std::size_t i = 0; i < in.frames() && failures < 5; ++i) {
        for (int c = 0; c < in.channels; ++c) {
            const double expected = factor[static_cast<std::size_t>(c)] * in.at(i, c);
            if (std::fabs(out.at(i, c) - expected) > tolerance) {
                ADD_FAILURE() << "frame " << i << " channel " << c << ": " << out.at(i, c)
                              << " instead of " << expected;
                ++failures;
            }
        }
    }
}

} // namespace kavet::test
