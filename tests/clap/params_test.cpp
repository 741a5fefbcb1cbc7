// The plug-in's parameters through the params extension: their descriptions, their values as
// events set them, and their texts, which read back to the values they show.
#include "clap_fixture.h"

#include "core/params.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace kavet::test {
namespace {

using namespace clap;

class ClapParams : public ::testing::Test {};

TEST_F(ClapParams, AreTheCoreTableInTheVst2Range) {
    TestPlugin p(loadClapModule());
    const std::vector<clap::ParamInfo> infos = p->paramInfos();
    ASSERT_EQ(infos.size(), static_cast<std::size_t>(kNumParams));
    for (int i = 0; i < kNumParams; ++i) {
        const clap::ParamInfo& info = infos[static_cast<std::size_t>(i)];
        const kavet::ParamInfo& row = kParamInfo[i];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(info.id, static_cast<Id>(i));
        EXPECT_STREQ(info.name, row.name);
        EXPECT_EQ(info.min_value, 0.0);
        EXPECT_EQ(info.max_value, 1.0);
        EXPECT_EQ(info.default_value, static_cast<double>(row.defaultValue));
        EXPECT_TRUE(info.flags & kParamIsAutomatable);
        EXPECT_EQ((info.flags & kParamIsStepped) != 0, row.kind == ParamKind::Switch);
        EXPECT_EQ((info.flags & kParamIsBypass) != 0, i == kBypass);
        EXPECT_FALSE(info.flags & (kParamIsReadonly | kParamIsHidden | kParamIsModulatable));
        EXPECT_EQ(p->value(info.id), static_cast<double>(row.defaultValue));
    }
    clap::ParamInfo info{};
    EXPECT_FALSE(p->params()->get_info(p->plugin(), static_cast<uint32>(kNumParams), &info));
    EXPECT_FALSE(p->value(static_cast<Id>(kNumParams)));
    EXPECT_FALSE(p->value(kInvalidId));
}

// The value a flush sets is the VST 2.4 effect's for the same value: stored in single
// precision, clamped to 0..1, a NaN refused.
TEST_F(ClapParams, ValuesAreTheVst2EffectsForTheSameEvents) {
    TestPlugin p(loadClapModule());
    const auto vst2 = makeVst2Effect();
    const double values[] = {0.1, 1.0 / 3.0, 0.0, -0.5, 1.5, -0.0, 0.999999999, std::nan("")};
    for (int i = 0; i < kNumParams; ++i) {
        for (double v : values) {
            SCOPED_TRACE(std::string(kParamInfo[i].name) + " = " + std::to_string(v));
            ASSERT_TRUE(p->flush(valueEvents({{static_cast<Id>(i), v}})));
            vst2->setParameter(i, static_cast<float>(v));
            const std::optional<double> seen = p->value(static_cast<Id>(i));
            ASSERT_TRUE(seen);
            EXPECT_EQ(*seen, static_cast<double>(vst2->getParameter(i)));
            EXPECT_FALSE(std::signbit(*seen));
        }
    }
}

// value -> text -> value: for every parameter, its ends, its default and steps between, the
// text (the VST 2.4 effect's display) reads back to a value that shows the same text, and to
// the value itself where the text shows every step (the switches, the ends).
struct TextCase {
    int index;
    double value;
    bool exact; // the value itself comes back
};

std::vector<TextCase> textCases() {
    std::vector<TextCase> cases;
    for (int i = 0; i < kNumParams; ++i) {
        const kavet::ParamInfo& row = kParamInfo[i];
        if (row.kind == ParamKind::Switch) {
            cases.push_back({i, 0.0, true});
            cases.push_back({i, 1.0, true});
            continue;
        }
        cases.push_back({i, row.defaultValue, true}); // 0.00 dB, the centre
        cases.push_back({i, 0.0, true});              // silence, -12.00 dB, all left
        cases.push_back({i, 1.0, i != kGain});        // +18.06 dB is not quite the top
        for (double v : {0.05, 0.25, 0.6, 0.75, 0.95})
            cases.push_back({i, v, false});
    }
    return cases;
}

TEST_F(ClapParams, TextsReadBackToTheirValues) {
    TestPlugin p(loadClapModule());
    const auto vst2 = makeVst2Effect();
    const PluginParams* params = p->params();
    for (const TextCase& c : textCases()) {
        const auto id = static_cast<Id>(c.index);
        SCOPED_TRACE(std::string(kParamInfo[c.index].name) + " at " + std::to_string(c.value));
        char text[64] = {};
        ASSERT_TRUE(params->value_to_text(p->plugin(), id, c.value, text, sizeof text));
        vst2->setParameter(c.index, static_cast<float>(c.value));
        EXPECT_EQ(text, vst2->parameterDisplay(c.index));
        double back = -1.0;
        ASSERT_TRUE(params->text_to_value(p->plugin(), id, text, &back)) << text;
        if (c.exact) {
            EXPECT_EQ(back, c.value) << text;
        }
        char again[64] = {};
        ASSERT_TRUE(params->value_to_text(p->plugin(), id, back, again, sizeof again));
        EXPECT_STREQ(again, text) << "read back as " << back;
    }
}

// What a host may get wrong: an unknown id, no text, no room, a NaN; a short buffer gets a
// terminated text.
TEST_F(ClapParams, TextCallsRefuseWhatTheyCannotAnswer) {
    TestPlugin p(loadClapModule());
    const PluginParams* params = p->params();
    const Plugin* plugin = p->plugin();
    char text[64] = {};
    double value = 0.0;
    EXPECT_FALSE(params->value_to_text(plugin, kNumParams, 0.5, text, sizeof text));
    EXPECT_FALSE(params->value_to_text(plugin, kGain, std::nan(""), text, sizeof text));
    EXPECT_FALSE(params->value_to_text(plugin, kGain, 0.5, text, 0));
    EXPECT_FALSE(params->text_to_value(plugin, kNumParams, "0", &value));
    EXPECT_FALSE(params->text_to_value(plugin, kGain, nullptr, &value));
    std::memset(text, 'x', sizeof text);
    ASSERT_TRUE(params->value_to_text(plugin, kPhase, 1.0, text, 3));
    EXPECT_STREQ(text, "Fl");
}

} // namespace
} // namespace kavet::test
