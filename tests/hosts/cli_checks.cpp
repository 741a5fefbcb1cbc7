#include "cli_checks.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

namespace kavet::test {

namespace {

double readDb(const std::string& token) {
    return token == "-inf" ? -INFINITY : std::stod(token);
}

// The lines of the table under the line that starts with `header`, up to the first line
// that `row` does not take (it answers false).
template <class Row> void tableRows(const std::string& out, const char* header, Row row) {
    std::istringstream lines(out);
    std::string line;
    bool inTable = false;
    while (std::getline(lines, line)) {
        if (line.rfind(header, 0) == 0) {
            inTable = true;
            continue;
        }
        if (inTable && !row(line)) break;
    }
}

} // namespace

std::vector<std::array<double, 4>> levelRows(const std::string& out) {
    std::vector<std::array<double, 4>> rows;
    tableRows(out, "channel", [&](const std::string& line) {
        std::istringstream fields(line);
        std::size_t channel = 0;
        std::string peakIn, rmsIn, peakOut, rmsOut;
        if (!(fields >> channel >> peakIn >> rmsIn >> peakOut >> rmsOut)) return false;
        EXPECT_EQ(channel, rows.size() + 1);
        rows.push_back({readDb(peakIn), readDb(rmsIn), readDb(peakOut), readDb(rmsOut)});
        return true;
    });
    return rows;
}

std::map<std::string, std::array<double, 2>> loudnessRows(const std::string& out) {
    std::map<std::string, std::array<double, 2>> rows;
    tableRows(out, "loudness ", [&](const std::string& line) {
        // A name of one or two words, two figures, a unit.
        std::istringstream fields(line);
        std::vector<std::string> words;
        for (std::string word; fields >> word;)
            words.push_back(word);
        if (words.size() < 4 || words.size() > 5) return false;
        const std::size_t n = words.size();
        const std::string name = n == 5 ? words[0] + " " + words[1] : words[0];
        rows[name] = {readDb(words[n - 3]), readDb(words[n - 2])};
        return true;
    });
    return rows;
}

std::vector<std::array<double, 2>> truePeakRows(const std::string& out) {
    std::vector<std::array<double, 2>> rows;
    tableRows(out, "channel", [&](const std::string& line) {
        std::istringstream fields(line);
        std::string skip, in, outDb;
        if (!(fields >> skip >> skip >> skip >> skip >> skip >> in >> outDb)) return false;
        rows.push_back({readDb(in), readDb(outDb)});
        return true;
    });
    return rows;
}

JsonValue readJson(const std::string& path) {
    std::ifstream file(path);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    JsonValue value;
    std::string error;
    EXPECT_TRUE(parseJson(text, value, error)) << error << "\n" << text;
    return value;
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
