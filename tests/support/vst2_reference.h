// The VST 2.4 module of this test's configuration (KAVET_VST_MODULE): the reference whose
// output, chunk and texts the effects of the other formats must reproduce to the bit, and the
// scripts (hosts/wintest/block_script.h) on which their audio tests compare them with it:
// blocks of every size with changes on their boundaries, and changes within blocks, each of
// which must land at its own sample.
#pragma once

#include "hosts/common/vst_plugin.h"
#include "hosts/wintest/block_script.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace kavet::test {

// The reference effect, opened.
std::unique_ptr<host::VstPlugin> makeVst2Effect();
std::vector<unsigned char> chunkOf(host::VstPlugin& effect);

// A setting of the parameters (ids, normalised values) made at once: the state tests give it
// to the reference by setParameter and to the format's effect as its host would.
struct Setting {
    const char* name;
    std::vector<std::pair<std::uint32_t, double>> values;
};

inline void PrintTo(const Setting& s, std::ostream* out) {
    *out << s.name;
}

// The defaults, and every parameter moved, some to their edges.
extern const std::vector<Setting> kSettings;

// The reference given a setting; the values of parameters it does not have are left out.
void apply(host::VstPlugin& reference, const Setting& setting);

// The reference's output for a script, from an effect opened for it (or the one given).
script::Rendering renderVst2Reference(bool wide, const std::vector<script::ScriptBlock>& blocks);
script::Rendering renderVst2Reference(host::VstPlugin& effect, bool wide,
                                      const std::vector<script::ScriptBlock>& blocks);

// Where the rendering of the effect under test first parts from the reference's, in samples
// of `width` bytes.
std::string firstDifference(const std::vector<unsigned char>& tested,
                            const std::vector<unsigned char>& reference, std::size_t width);

// Every block answered as it should be, the silence flags (or constant mask) right, and the
// output the reference's to the bit.
void expectReferenceOutput(const script::Rendering& tested, const script::Rendering& reference,
                           bool wide);

// The format's output for a script, from an effect made for it.
using FormatRendering =
    std::function<script::Rendering(bool wide, const std::vector<script::ScriptBlock>&)>;

struct BoundaryCase {
    bool wide;
    int frames;
};

inline void PrintTo(const BoundaryCase& c, std::ostream* out) {
    *out << (c.wide ? "64-bit, " : "32-bit, ") << c.frames << " frames";
}

// 32 and 64 bits, each in blocks of no samples up to the largest.
std::vector<BoundaryCase> boundaryCases();
std::string boundaryCaseName(const BoundaryCase& c); // "Float333Frames"

// The boundary script of `c`: the format's output is the reference's.
void expectBoundaryChanges(const FormatRendering& render, const BoundaryCase& c);

// One block of 512 with changes inside it, after a block that sets the glides going and
// before one that shows where they went: the format's output is the reference's, and the
// same changes moved to the block's start sound otherwise. Then the Windows host's script,
// several such blocks in a row.
void expectMidBlockChanges(const FormatRendering& render);

} // namespace kavet::test
