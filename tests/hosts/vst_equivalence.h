// "kavet process" through a module of another format (VST 3, CLAP) and through the VST 2.4
// module of the same configuration, with the same options: the same report after its first
// line (which names the files) and the same samples, bit for bit.
#pragma once

#include <string>
#include <vector>

namespace kavet::test {

struct EquivalenceCase {
    const char* name;
    int channels; // of the test signal: 2 takes the stereo effect, others one mono each
    std::vector<std::string> options;
    bool otherName; // a module named two ways (a bundle, or its binary or URI): the second
};

// Every setting reaches the effect before its first sample: a glide from the defaults, or a
// setting left out, shows in the first samples.
const std::vector<EquivalenceCase>& equivalenceCases();

// Every case through `plugin` (`otherPlugin` where the case says so) and the VST 2.4 module.
void expectTheVstModulesOutput(const std::string& plugin, const std::string& otherPlugin,
                               const std::vector<EquivalenceCase>& cases = equivalenceCases());

} // namespace kavet::test
