// The LV2 editor shows what the VST editor shows for the same signal: the DSP module loaded
// as a host loads it, the editor opened on its instance through the editor interface in an X
// window standing for a host's. It is the effect's one meter reader (every peak between two
// idles reaches it), and the meter ports show its readings meanwhile.
#include "editor_scenarios.h"
#include "editor_steps.h"
#include "pixel_compare.h"
#include "x11_host.h"

#include "editor/layout.h"
#include "hosts/kavet/lv2_port_values.h"
#include "lv2/editor_access.h"
#include "lv2/ports.h"

#include <lv2/core/lv2.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <vector>

// After GoogleTest: Xlib's macros would break its names.
#include <X11/Xlib.h>

namespace kavet::test {
namespace {

void ignoreWrite(void*, std::uint32_t, float) {}

TEST(LV2EditorMeters, ShowWhatTheHeadlessEditorShowsForTheSameSignal) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const x11test::XWindow host =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 40, 40, layout::kEditorWidth,
                            layout::kEditorHeight, 0, 0, 0);
    XMapWindow(display, host);
    XSync(display, False);

    void* module = dlopen(KAVET_LV2_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    const auto descriptorOf =
        reinterpret_cast<LV2_Descriptor_Function>(dlsym(module, "lv2_descriptor"));
    ASSERT_NE(descriptorOf, nullptr);
    const LV2_Descriptor* d = descriptorOf(0);
    ASSERT_NE(d, nullptr);
    const LV2_Feature* const noFeatures[] = {nullptr};
    LV2_Handle instance = d->instantiate(d, 44100.0, "", noFeatures);
    ASSERT_NE(instance, nullptr);
    const auto* access =
        static_cast<const lv2::EditorAccess*>(d->extension_data(lv2::kEditorAccessUri));
    ASSERT_NE(access, nullptr);

    std::vector<float> in[kNumChannels], out[kNumChannels];
    float controls[kNumParams], enabled = 1.0f, peak[kNumChannels], rms[kNumChannels];
    for (int i = 0; i < kNumParams; ++i) {
        controls[i] = static_cast<float>(lv2::portDefault(i));
        d->connect_port(instance, lv2::paramPort(i), &controls[i]);
    }
    d->connect_port(instance, lv2::kEnabledPort, &enabled);
    for (int c = 0; c < kNumChannels; ++c) {
        d->connect_port(instance, lv2::kFirstPeakPort + c, &peak[c]);
        d->connect_port(instance, lv2::kFirstRmsPort + c, &rms[c]);
    }

    const lv2::EditorPortLink link = {nullptr, ignoreWrite, nullptr};
    int width = 0, height = 0;
    const auto editor =
        static_cast<x11test::XWindow>(access->open(instance, host, &link, &width, &height));
    ASSERT_NE(editor, 0u);
    EXPECT_EQ(width, layout::kEditorWidth);
    EXPECT_EQ(height, layout::kEditorHeight);

    // The steps of the other formats' scenario, as an LV2 host takes them.
    const std::vector<EditorStep> steps = signalSteps();
    float lastPeak = 0.0f;
    for (const EditorStep& s : steps) {
        switch (s.kind) {
        case EditorStep::Set:
            controls[s.index] = cli::portValueFor(s.index, s.value, 36.0);
            break;
        case EditorStep::Mains:
            s.index ? d->activate(instance) : d->deactivate(instance);
            break;
        case EditorStep::Process:
            for (int c = 0; c < kNumChannels; ++c) {
                in[c].assign(static_cast<std::size_t>(s.frames), s.value);
                out[c].assign(in[c].size(), 0.0f);
                d->connect_port(instance, lv2::kFirstAudioIn + c, in[c].data());
                d->connect_port(instance, lv2::kFirstAudioOut + c, out[c].data());
            }
            d->run(instance, static_cast<std::uint32_t>(s.frames));
            lastPeak = 0.0f;
            for (float x : out[0])
                lastPeak = std::max(lastPeak, std::fabs(x));
            break;
        case EditorStep::Idle:
            access->idle(instance);
            break;
        default:
            FAIL() << "a step this test does not take";
        }
    }
    XSync(display, False);
    EXPECT_TRUE(samePixels(renderHeadless(steps), x11test::readWindow(display, editor), "LV2"));
    // The ports show the editor's last reading: the last block's peak (Pre off: the output).
    d->run(instance, 0);
    EXPECT_NEAR(peak[0], 20.0 * std::log10(lastPeak), 1e-3);

    access->close(instance);
    d->deactivate(instance);
    d->cleanup(instance);
    XDestroyWindow(display, host);
    XCloseDisplay(display);
    dlclose(module);
}

} // namespace
} // namespace kavet::test
