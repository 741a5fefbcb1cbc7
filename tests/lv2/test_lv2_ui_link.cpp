// The effect's link while the LV2 UI shows its editor: what the editor's gestures send to the
// UI's host (the port, its plain value, the touch around it), as the editor makes them.
#include "lv2/ui_link.h"

#include "lv2/ports.h"

#include "core/plug.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace kavet::test {
namespace {

VstIntPtr VSTCALLBACK silentHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

struct Sent {
    std::vector<std::pair<std::uint32_t, float>> writes;
    std::vector<std::pair<std::uint32_t, bool>> touches;
};

void write(void* handle, std::uint32_t port, float value) {
    static_cast<Sent*>(handle)->writes.emplace_back(port, value);
}
void touch(void* handle, std::uint32_t port, bool grabbed) {
    static_cast<Sent*>(handle)->touches.emplace_back(port, grabbed);
}

TEST(Lv2UiLink, GesturesGoToThePortInPlainUnitsBetweenTouches) {
    std::unique_ptr<Plug> plug(static_cast<Plug*>(createEffectInstance(silentHost)));
    ASSERT_NE(plug, nullptr);
    std::atomic<bool> resend{false};
    lv2::UiLink link(*plug, resend);
    Sent sent;
    const lv2::EditorPortLink ports = {&sent, write, touch};
    link.attach(&ports);
    plug->setHostLink(&link);

    // The trim in the ±36 dB of the default range. `exact`: the port value gives the stored
    // value back bit for bit (a switch's 0.7 is stored as it is and sent as 1).
    const struct {
        int index;
        float value;
        float plain;
        bool exact;
    } kCases[] = {
        {kGain, 0.5f, 0.0f, true},
        {kGain, 1.0f, 18.0617997f, true},
        {kGain, 0.83f, 13.2064848f, true},
        {kGain, 0.0f, -90.0f, true},
        {kGain, 0.01f, -90.0f, false},
        {kTrim, 0.75f, 18.0f, true},
        {kTrim, 0.0f, -36.0f, true},
        {kPhase, 1.0f, 1.0f, true},
        {kMute, 0.0f, 0.0f, true},
        {kBypass, 0.7f, 1.0f, false},
        {kStereo ? kPan : kGain, 0.25f, kStereo ? -50.0f : -18.0617962f, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.index);
        sent = {};
        resend = false;
        plug->beginEdit(c.index);
        plug->setParameterAutomated(c.index, c.value);
        plug->endEdit(c.index);
        const std::uint32_t port = lv2::paramPort(c.index);
        ASSERT_EQ(sent.writes.size(), 1u);
        EXPECT_EQ(sent.writes[0].first, port);
        EXPECT_NEAR(sent.writes[0].second, c.plain, 1e-4f);
        if (c.exact) {
            EXPECT_EQ(lv2::normalisedFromPort(c.index, sent.writes[0].second, 36.0),
                      plug->getParameter(c.index));
        }
        EXPECT_EQ(sent.touches,
                  (std::vector<std::pair<std::uint32_t, bool>>{{port, true}, {port, false}}));
        EXPECT_TRUE(resend); // the next run gives the effect the ports' values again
    }

    // Without ui:touch the values still go; detached, nothing goes.
    const lv2::EditorPortLink noTouch = {&sent, write, nullptr};
    link.attach(&noTouch);
    sent = {};
    plug->beginEdit(kGain);
    plug->setParameterAutomated(kGain, 0.5f);
    plug->endEdit(kGain);
    EXPECT_EQ(sent.writes.size(), 1u);
    EXPECT_TRUE(sent.touches.empty());
    link.attach(nullptr);
    sent = {};
    plug->setParameterAutomated(kGain, 0.5f);
    EXPECT_TRUE(sent.writes.empty());
    plug->setHostLink(nullptr);
}

} // namespace
} // namespace kavet::test
