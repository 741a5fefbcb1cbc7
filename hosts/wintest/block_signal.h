// The signal the block scripts (block_script.h) run through every effect, and one block's
// buffers of it: the same samples, block by block, whatever the format.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kavet::script {

// A full-scale signal from a linear congruential generator, with a float subnormal every
// 97th sample, a negative zero every 89th and a value over full scale every 61st; in 64-bit
// blocks every sample carries bits that no float holds. Channel c starts from its own seed.
class Signal {
public:
    explicit Signal(unsigned seed) : state_(seed) {}

    double next() {
        ++n_;
        state_ = state_ * 1664525u + 1013904223u;
        if (n_ % 97 == 0) return 1e-40f;
        if (n_ % 89 == 0) return -0.0;
        const double u = static_cast<double>(state_ >> 8) / 16777216.0; // [0, 1)
        if (n_ % 61 == 0) return 1.5 + u;
        return u * 2.0 - 1.0;
    }

private:
    std::uint32_t state_;
    std::uint64_t n_ = 0;
};

inline std::vector<Signal> signalsFor(int channels) {
    std::vector<Signal> signals;
    for (int c = 0; c < channels; ++c)
        signals.emplace_back(1u + 7919u * static_cast<unsigned>(c));
    return signals;
}

// One block's input and output channels of one sample type; outputs start as 7, a value no
// processing of this signal gives, so that a sample left unwritten shows.
template <class Sample> struct Buffers {
    std::vector<std::vector<Sample>> in, out;
    std::vector<const Sample*> inputs;
    std::vector<Sample*> outputs;

    Buffers(std::vector<Signal>& signals, int outChannels, int frames, bool wide) {
        for (Signal& signal : signals) {
            std::vector<Sample> channel(static_cast<std::size_t>(frames));
            for (Sample& x : channel) {
                const double v = signal.next();
                x = static_cast<Sample>(wide ? v + v * 0x1p-30 : v);
            }
            in.push_back(std::move(channel));
        }
        out.assign(static_cast<std::size_t>(outChannels),
                   std::vector<Sample>(static_cast<std::size_t>(frames), Sample(7)));
        for (auto& c : in)
            inputs.push_back(c.data());
        for (auto& c : out)
            outputs.push_back(c.data());
    }

    void append(std::vector<unsigned char>& bytes) const {
        for (const auto& c : out) {
            const auto* first = reinterpret_cast<const unsigned char*>(c.data());
            bytes.insert(bytes.end(), first, first + c.size() * sizeof(Sample));
        }
    }

    std::uint64_t silentOutputs() const {
        std::uint64_t flags = 0;
        for (std::size_t c = 0; c < out.size(); ++c)
            if (std::all_of(out[c].begin(), out[c].end(), [](Sample x) { return x == 0; }))
                flags |= std::uint64_t{1} << c;
        return flags;
    }
};

} // namespace kavet::script
