// The editor's look, kept as reference pictures of the build (stereo or mono): idle with a
// signal, the options page open, fine mode on. A change of look must update them on purpose
// (KAVET_UPDATE_REFERENCE=1).
#include "editor_host.h"

#include "editor/layout.h"

#include <gtest/gtest.h>

#include <string>

namespace kavet::test {
namespace {

const std::string kBuild = kStereo ? "stereo" : "mono";
constexpr layout::Rect kLogo = layout::rect(layout::Id::Options);
constexpr layout::Rect kFine = layout::rect(layout::Id::Fine);

// A host gain of -6 dB, a signal at -2.5 dB on the input, a few idles between blocks, and the
// pointer away from the logo.
void runSignal(EditorHost& h) {
    h.record()->setParameter(h.record(), kGain, 0.3968502629920499f);
    h.dispatch(effMainsChanged, 0, 0);
    h.dispatch(effMainsChanged, 0, 1);
    driver::moveTo(h.frameWindow(), 250, 520);
    for (int block = 0; block < 8; ++block) {
        h.process(0.75f, 1024);
        driver::advance(25);
        h.idle();
    }
}

TEST(ReferencePictures, IdleWithSignal) {
    EditorHost h;
    runSignal(h);
    EXPECT_TRUE(matchesReference(h.capture(), kBuild + "-idle-signal"));
}

TEST(ReferencePictures, OptionsPageOpen) {
    EditorHost h;
    runSignal(h);
    h.click(kLogo.left + 20, kLogo.top + 20);
    driver::moveTo(h.frameWindow(), 250, 520);
    h.idle();
    EXPECT_TRUE(matchesReference(h.capture(), kBuild + "-options"));
}

TEST(ReferencePictures, FineModeOn) {
    EditorHost h;
    runSignal(h);
    h.click(kFine.left + 10, kFine.top + 10);
    driver::moveTo(h.frameWindow(), 250, 520);
    h.process(0.75f, 1024);
    h.idle();
    EXPECT_TRUE(matchesReference(h.capture(), kBuild + "-fine"));
}

} // namespace
} // namespace kavet::test
