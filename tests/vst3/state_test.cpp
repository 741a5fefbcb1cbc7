// The component's state is the VST 2.4 chunk: the same bytes for the same settings, the same
// output once restored into a new effect, and a damaged stream refused with nothing changed.
#include "vst3_fixture.h"

#include "hosts/wintest/vst3_script.h"

#include "hosts/common/vst3_memory_stream.h"

#include "core/params.h"

#include <cstring>

namespace kavet::test {
namespace {

using namespace vst3;
using script::ScriptBlock;

// A block of no samples carries the changes to the processor, as hosts flush parameters.
void apply(host::Vst3Plugin& fx, const Setting& setting) {
    ASSERT_TRUE(fx.setup(44100.0, 512));
    ASSERT_TRUE(fx.activate());
    std::vector<host::ParamChange> list;
    for (const auto& [id, value] : setting.values)
        list.push_back({id, 0, value});
    float* none[2] = {nullptr, nullptr};
    ASSERT_TRUE(fx.process(none, none, 0, list).ok);
    fx.deactivate();
}

const std::vector<ScriptBlock> kListen = {{512, {}}, {333, {}}};

class Vst3State : public Vst3Test, public ::testing::WithParamInterface<Setting> {};

TEST_P(Vst3State, IsTheVst2ChunkAndRestoresItsSound) {
    const auto module = loadBundle();
    const auto vst2 = makeVst2Effect();
    apply(*vst2, GetParam());
    const std::vector<unsigned char> chunk = chunkOf(*vst2);
    ASSERT_EQ(chunk.size(), kStereo ? 60u : 56u);
    {
        const auto fx = makeEffect(module);
        apply(*fx, GetParam());
        EXPECT_TRUE(fx->state() == chunk) << "the state is not the VST 2.4 chunk";
    }
    // A new effect given the bytes sounds as the VST 2.4 effect that has them, and its
    // controller shows the values.
    const auto restored = makeEffect(module);
    ASSERT_EQ(restored->setState(chunk), kResultOk);
    EXPECT_TRUE(restored->state() == chunk);
    for (int i = 0; i < kNumParams; ++i)
        EXPECT_EQ(restored->controller()->getParamNormalized(static_cast<ParamID>(i)),
                  static_cast<double>(vst2->getParameter(i)))
            << kParamInfo[i].name;
    const script::Rendering heard = script::renderVst3(*restored, false, kListen);
    const script::Rendering wanted = renderVst2Reference(*vst2, false, kListen);
    EXPECT_TRUE(heard.bytes == wanted.bytes);
}

INSTANTIATE_TEST_SUITE_P(Settings, Vst3State, ::testing::ValuesIn(kSettings),
                         [](const auto& info) { return std::string(info.param.name); });

// A stream of another length (empty, one byte short, one byte over, the other
// configuration's) is refused; the state, the controller's values and the sound stay.
TEST_F(Vst3State, RefusesAStreamOfAnotherLengthAndChangesNothing) {
    const auto module = loadBundle();
    const auto vst2 = makeVst2Effect();
    const Setting setting = {"Before", {{kGain, 0.25}, {kPhase, 1.0}}};
    apply(*vst2, setting);
    const std::vector<unsigned char> good = chunkOf(*vst2);
    // Another setting's bytes, damaged below: taking any part of them would show.
    std::vector<unsigned char> other = good;
    const float loud = 1.0f;
    std::memcpy(other.data(), &loud, sizeof loud);
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"empty", {}},
        {"one byte short", {other.begin(), other.end() - 1}},
        {"one byte over",
         [&] {
             auto b = other;
             b.push_back(0);
             return b;
         }()},
        {"the other configuration's length",
         [&] {
             auto b = other;
             b.resize(kStereo ? 56 : 60, 0);
             return b;
         }()},
        {"one word", {other.begin(), other.begin() + 4}},
    };
    const auto fx = makeEffect(module);
    apply(*fx, setting);
    ASSERT_EQ(fx->setState(good), kResultOk); // the controller's values too
    const std::vector<unsigned char> before = fx->state();
    ASSERT_TRUE(before == good);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_NE(fx->setState(c.bytes), kResultOk);
        EXPECT_TRUE(fx->state() == before);
        // The controller, handed the same stream, refuses it as well.
        const host::Ref<host::MemoryStream> stream =
            host::Ref<host::MemoryStream>::adopt(new host::MemoryStream(c.bytes));
        EXPECT_NE(fx->controller()->setComponentState(stream.get()), kResultOk);
        EXPECT_EQ(fx->controller()->getParamNormalized(kGain), 0.25);
        EXPECT_EQ(fx->controller()->getParamNormalized(kPhase), 1.0);
    }
    EXPECT_TRUE(script::renderVst3(*fx, false, kListen).bytes ==
                renderVst2Reference(*vst2, false, kListen).bytes);
}

} // namespace
} // namespace kavet::test
