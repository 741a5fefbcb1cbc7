// View requests to the modules as files: each module carries its own Win32 layer here, so
// the simulated host's window is not one of the module's windows. Whatever the module's
// effect offers, every request gets a defined answer and the instance keeps working.
#include "ptsim_support.h"

#include "hosts/ptsim/pt_view_host.h"

namespace kavet::test {
namespace {

class ModuleView : public testing::TestWithParam<Build> {};

TEST_P(ModuleView, EveryViewRequestGetsADefinedAnswer) {
    const Build& build = GetParam();
    OpenModule open(build);
    ptsim::PtInstance instance(*open.module, 0, 44100);
    ptsim::PtViewHost window(instance, 300, 600);
    PtViewRect rect{};
    const std::int32_t status = window.viewRect(&rect);
    if (status == ptfw::kErrNoView) {
        // An effect without an editor: no view at all.
        EXPECT_EQ(window.createView(), ptfw::kErrNoView);
        EXPECT_EQ(window.attachPort(), ptfw::kErrNoView);
    } else {
        ASSERT_EQ(status, 0);
        EXPECT_EQ(rect.right - rect.left, 265);
        EXPECT_EQ(rect.bottom - rect.top, 534);
        ASSERT_EQ(window.createView(), 0);
        // ERROR_INVALID_WINDOW_HANDLE from the module's window system, negated.
        EXPECT_EQ(window.attachPort(), -1400);
    }
    EXPECT_EQ(window.idle(), 0);
    EXPECT_EQ(window.detachPort(), 0);
    EXPECT_EQ(window.dispose(), 0);
    POINT centre{150, 300};
    ClientToScreen(window.window(), &centre);
    EXPECT_EQ(WindowFromPoint(centre), window.window()) << "no child window in the host's";
    std::vector<std::vector<float>> in(static_cast<std::size_t>(build.channels),
                                       std::vector<float>(64, 0.25f));
    auto out = in;
    instance.renderChannels(in, out, 64);
    EXPECT_EQ(out[0][63], 0.25f);
}

INSTANTIATE_TEST_SUITE_P(Builds, ModuleView, testing::Values(kStereoBuild, kMonoBuild), buildName);

} // namespace
} // namespace kavet::test
