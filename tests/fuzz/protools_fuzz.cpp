// The host-format side through the simulated host's routine table: chunk records of any
// header and data for each of the instance's chunks (and unknown ones), control values of
// any size on any control, the bypass button, text queries, rendering and the meters, in any
// order, on the stereo module linked in. Asserts after every step: every discrete control's
// value one of its steps, the effect's parameters within 0..1, control texts terminated
// inside their buffer, finite input rendered to finite output, each meter a level up to full
// scale or -1 with its clip set.
#include "fuzz_support.h"

#include "protools/template_process_rtas.h"
#include "ptsim_linked_module.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

using namespace kavet;
using kavet::ptsim::PtInstance;
using kavet::ptsim::PtModule;

namespace {

std::unique_ptr<PtModule> g_module;

constexpr std::uint32_t kChunkIds[] = {ptfw::FourCC("vlmr"), ptfw::FourCC("ctls"),
                                       ptfw::FourCC("midi"), ptfw::FourCC("xxxx")};

void restore(PtInstance& instance, FuzzedDataProvider& data) {
    const std::uint32_t id = data.ConsumeBool() ? kChunkIds[data.ConsumeIntegralInRange(0, 3)]
                                                : data.ConsumeIntegral<std::uint32_t>();
    // A record saved by the instance, with fuzzed words over it, or one wholly fuzzed.
    std::vector<unsigned char> record;
    if (data.ConsumeBool()) {
        for (const auto& saved : instance.saveAllChunks())
            if (saved.id == id) record = saved.record;
    }
    const std::size_t n = data.ConsumeIntegralInRange<std::size_t>(0, 8);
    for (std::size_t i = 0; i < n && !record.empty(); ++i) {
        const std::size_t at = data.ConsumeIntegralInRange<std::size_t>(0, record.size() - 1);
        record[at] = data.ConsumeIntegral<unsigned char>();
    }
    if (record.empty() || data.ConsumeBool()) {
        std::vector<unsigned char> tail =
            data.ConsumeBytes<unsigned char>(data.ConsumeIntegralInRange<std::size_t>(0, 160));
        if (data.ConsumeBool()) record.clear();
        record.insert(record.end(), tail.begin(), tail.end());
    }
    std::uint32_t bytes = static_cast<std::uint32_t>(record.size());
    record.reserve(1);
    instance.restoreRecord(id, record.data(), bytes);
}

void checkState(PtInstance& instance) {
    const auto& table = instance.routines();
    const int controls = instance.controlCount();
    for (int c = 1; c <= controls; ++c) {
        const PtControlInfo info = instance.controlInfo(c);
        std::int32_t value = 0;
        KAVET_FUZZ_CHECK(table.getControlValue(instance.handle(), c, &value) == 0,
                         "every control answers its value");
        // A continuous control's value is a position on the whole integer scale; a discrete
        // one's is a step from minimum to maximum.
        if (!info.continuous) {
            if (!(value >= info.minimum && value <= info.maximum))
                std::fprintf(stderr, "control %d (%s): %d, steps %g..%g\n", c, info.name, value,
                             info.minimum, info.maximum);
            KAVET_FUZZ_CHECK(value >= info.minimum && value <= info.maximum,
                             "a discrete control's value is one of its steps");
        }
        char text[16];
        std::memset(text, 0x7f, sizeof text);
        if (table.getControlText(instance.handle(), c, value, text, sizeof text) == 0)
            KAVET_FUZZ_CHECK(std::memchr(text, '\0', sizeof text) != nullptr,
                             "a control text is terminated inside its buffer");
    }
    auto* process = kavet::test::processOf(instance);
    KAVET_FUZZ_CHECK(process != nullptr && process->GetEffect() != nullptr,
                     "the instance has its effect");
    fuzz::checkParameters(*process->GetEffect());
}

void render(PtInstance& instance, FuzzedDataProvider& data) {
    const int frames = data.ConsumeIntegralInRange(1, 64);
    std::vector<std::vector<float>> in(2), out(2, std::vector<float>(frames));
    for (auto& channel : in)
        for (int i = 0; i < frames; ++i)
            channel.push_back(data.ConsumeFloatingPointInRange(-4.0f, 4.0f));
    instance.renderChannels(in, out, frames);
    for (const auto& channel : out)
        for (float s : channel)
            KAVET_FUZZ_CHECK(std::isfinite(s), "finite input, finite output");
    const auto meters = instance.meters();
    for (std::size_t c = 0; c < meters.values.size(); ++c) {
        // Full scale is the bit pattern 0x80000000; -1 (all bits) reports a clip.
        const auto level = static_cast<std::uint32_t>(meters.values[c]);
        KAVET_FUZZ_CHECK(meters.clips[c] ? meters.values[c] == -1
                                         : meters.clips[c] == 0 && level <= 0x80000000u,
                         "a meter value is a level up to full scale, or -1 with its clip set");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::isolateRegistry();
    g_module = std::make_unique<PtModule>(kavet::test::linkedStereoModule());
    KAVET_FUZZ_CHECK(g_module->open() == 0, "the module opens");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    PtInstance instance(*g_module, 0, 44100);
    for (int step = 0; step < 32 && data.remaining_bytes() > 0; ++step) {
        switch (data.ConsumeIntegralInRange(0, 4)) {
        case 0:
            restore(instance, data);
            break;
        case 1: {
            const int index = data.ConsumeIntegralInRange(-1, 8);
            const std::int32_t value = data.ConsumeBool()
                                           ? data.ConsumeIntegral<std::int32_t>()
                                           : data.ConsumeIntegralInRange<std::int32_t>(-2, 2);
            instance.setControl(index, value);
            break;
        }
        case 2: {
            char text[8];
            std::memset(text, 0x7f, sizeof text);
            const int index = data.ConsumeIntegralInRange(-1, 8);
            if (instance.routines().getControlText(instance.handle(), index,
                                                   data.ConsumeIntegral<std::int32_t>(), text,
                                                   sizeof text) == 0)
                KAVET_FUZZ_CHECK(std::memchr(text, '\0', sizeof text) != nullptr,
                                 "a control text is terminated inside a short buffer");
            break;
        }
        case 3:
            instance.routines().setBypass(instance.handle(), data.ConsumeBool() ? 1 : 0);
            break;
        case 4:
            render(instance, data);
            break;
        }
        checkState(instance);
    }
    return 0;
}
