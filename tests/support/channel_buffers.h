// One block's buffers as a host hands them to an effect: every input channel holds one level,
// every output channel another (one the effect must overwrite), with the pointers to each.
#pragma once

#include <cstddef>
#include <vector>

namespace kavet::test {

template <class Sample> struct ChannelBuffers {
    ChannelBuffers(std::size_t ins, std::size_t outs, std::size_t frames, Sample inLevel,
                   Sample outLevel)
        : in(ins, std::vector<Sample>(frames, inLevel)),
          out(outs, std::vector<Sample>(frames, outLevel)) {
        for (auto& c : in)
            inputs.push_back(c.data());
        for (auto& c : out)
            outputs.push_back(c.data());
    }
    std::vector<std::vector<Sample>> in, out;
    std::vector<const Sample*> inputs;
    std::vector<Sample*> outputs;
};

} // namespace kavet::test
