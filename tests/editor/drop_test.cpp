// Files dropped on the editor: the options page takes them when it is open; otherwise, unless
// a value is being typed, the children under the drop point in creation order until one
// accepts. None of the editor's own controls accepts a drop.
#include "editor_host.h"

#include "editor/nsplash.h"

#include "editor/layout.h"

#include <gtest/gtest.h>

namespace kavet::test {
namespace {

constexpr layout::Rect kGainField = layout::rect(layout::Id::GainValue);
constexpr layout::Rect kLogo = layout::rect(layout::Id::Options);

// A view that records the drops it is offered and accepts them when asked to.
class DropRecorder : public toolkit::CView {
public:
    DropRecorder(const toolkit::CRectangle& size, bool accepts) : CView(size), accepts(accepts) {}
    bool onDropFiles(void**, std::int32_t count, std::int32_t, toolkit::CPosition& where) override {
        ++offers;
        lastCount = count;
        lastWhere = where;
        return accepts;
    }
    bool accepts;
    int offers = 0;
    int lastCount = 0;
    toolkit::CPosition lastWhere;
};

struct DropScene {
    DropScene() {
        // Two views over the fader, added after every control: the first refuses, the
        // second accepts.
        refusing = new DropRecorder(toolkit::CRectangle(60, 60, 140, 140), false);
        accepting = new DropRecorder(toolkit::CRectangle(60, 60, 140, 140), true);
        h.editor().getEditorFrame()->addView(refusing);
        h.editor().getEditorFrame()->addView(accepting);
    }
    bool drop(int x, int y) {
        return driver::dropFiles(h.frameWindow(), POINT{x, y}, {"/tmp/a.wav", "/tmp/b.wav"});
    }
    EditorHost h;
    DropRecorder* refusing;
    DropRecorder* accepting;
};

TEST(EditorDrops, GoToTheChildrenUnderThePointInCreationOrder) {
    DropScene s;
    ASSERT_TRUE(s.drop(100, 100));
    EXPECT_EQ(s.refusing->offers, 1);
    EXPECT_EQ(s.accepting->offers, 1);
    EXPECT_EQ(s.accepting->lastCount, 2);
    EXPECT_EQ(s.accepting->lastWhere.x, 100); // frame coordinates
    EXPECT_EQ(s.accepting->lastWhere.y, 100);

    s.drop(200, 500); // under no recorder
    EXPECT_EQ(s.refusing->offers, 1);
    EXPECT_EQ(s.accepting->offers, 1);
}

TEST(EditorDrops, RefusedWhileAValueIsTyped) {
    DropScene s;
    s.h.click(kGainField.left + 28,
              kGainField.top + 7); // the Gain field's entry window takes the focus
    s.drop(100, 100);
    EXPECT_EQ(s.refusing->offers, 0);
    EXPECT_EQ(s.accepting->offers, 0);
}

TEST(EditorDrops, OfferedOnlyToTheOpenOptionsPage) {
    DropScene s;
    s.h.click(kLogo.left + 20, kLogo.top + 20);
    auto* options = dynamic_cast<editor::nSplash*>(s.h.control(editor::kTagOptions));
    ASSERT_TRUE(options->isOpen());
    s.drop(100, 100);
    EXPECT_EQ(s.refusing->offers, 0);
    EXPECT_EQ(s.accepting->offers, 0);
}

} // namespace
} // namespace kavet::test
