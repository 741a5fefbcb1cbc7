// The view tree without a window: the child list and its references, click, wheel, key
// and drop dispatch, modal and focus views, the container identity test.
#include "frame_fixture.h"
#include "toolkit/offscreencontext.h"

#include <cstring>

using namespace kavet::test;
using namespace toolkit;

namespace {

// A windowless frame 200 x 100 with two overlapping children: a (10..60) below b (40..90).
struct Tree {
    CFrame* frame = new CFrame(CRectangle(0, 0, 200, 100), nullptr, nullptr);
    ColorView* a = new ColorView(CRectangle(10, 10, 60, 60), 0xFF0000);
    ColorView* b = new ColorView(CRectangle(40, 10, 90, 60), 0x00FF00);
    Tree() {
        frame->addView(a);
        frame->addView(b);
    }
    ~Tree() { frame->forget(); }
    void click(int x, int y) {
        CPosition where(x, y);
        frame->mouse(nullptr, where, buttonLeft);
    }
};

} // namespace

TEST(ViewTree, LastAddedChildWinsAClickOnSharedGround) {
    Tree t;
    struct Case {
        int x, y;
        int aClicks, bClicks;
    } cases[] = {
        {20, 20, 1, 0},  // only a
        {50, 20, 1, 1},  // both: b was added later and lies on top
        {80, 20, 1, 2},  // only b
        {150, 80, 1, 2}, // neither
    };
    for (const Case& c : cases) {
        t.click(c.x, c.y);
        EXPECT_EQ(static_cast<int>(t.a->clicks.size()), c.aClicks) << c.x;
        EXPECT_EQ(static_cast<int>(t.b->clicks.size()), c.bClicks) << c.x;
    }
}

TEST(ViewTree, ClickOnTheRightAndBottomEdgeOfTheMouseableAreaHits) {
    Tree t;
    t.b->setMouseEnabled(false);
    struct Case {
        int x, y;
        bool hit;
    } cases[] = {{60, 60, true}, {10, 10, true}, {61, 30, false}, {30, 61, false}, {9, 30, false}};
    for (const Case& c : cases) {
        t.a->clicks.clear();
        t.click(c.x, c.y);
        EXPECT_EQ(t.a->clicks.size(), c.hit ? 1u : 0u) << c.x << "," << c.y;
    }
    // The half-open test of the control's own area leaves that edge out.
    CRectangle area;
    EXPECT_FALSE(t.a->getViewSize(area).pointInside(CPosition(60, 60)));
}

TEST(ViewTree, MouseDisabledChildLetsTheClickFallThrough) {
    Tree t;
    t.b->setMouseEnabled(false);
    t.click(50, 20);
    EXPECT_EQ(t.a->clicks.size(), 1u);
    EXPECT_TRUE(t.b->clicks.empty());
}

TEST(ViewTree, MouseableAreaDecidesTheHitNotTheViewSize) {
    Tree t;
    t.frame->removeView(t.b, false);                           // hands the reference back to us...
    t.frame->addViewWithArea(t.b, CRectangle(85, 10, 90, 60)); // ...and the frame takes it again
    t.click(50, 20);
    EXPECT_EQ(t.a->clicks.size(), 1u);
    t.click(86, 20);
    EXPECT_EQ(t.b->clicks.size(), 1u);
}

TEST(ViewTree, NestedContainerPassesTheClickInItsOwnCoordinates) {
    Tree t;
    auto* inner = new CViewContainer(CRectangle(100, 20, 180, 90), t.frame);
    auto* leaf = new ColorView(CRectangle(5, 5, 25, 25), 0x0000FF);
    inner->addView(leaf);
    t.frame->addView(inner);
    t.click(110, 30);
    ASSERT_EQ(leaf->clicks.size(), 1u);
    EXPECT_EQ(leaf->clicks[0], CPosition(10, 10));
    EXPECT_EQ(leaf->lastButtons, buttonLeft);
    CPosition local(1, 2);
    EXPECT_EQ(leaf->localToFrame(local), CPosition(106, 27));
}

TEST(ViewTree, ModalViewTakesEveryClickAndOthersGetNone) {
    Tree t;
    auto* modal = new ColorView(CRectangle(100, 0, 200, 100), 0xFFFFFF);
    ASSERT_TRUE(t.frame->setModalView(modal));
    t.click(20, 20);  // on a, outside the modal view
    t.click(150, 50); // on the modal view
    EXPECT_TRUE(t.a->clicks.empty());
    EXPECT_TRUE(t.b->clicks.empty());
    ASSERT_EQ(modal->clicks.size(), 1u);
    EXPECT_EQ(modal->clicks[0], CPosition(150, 50));

    auto* other = new ColorView(CRectangle(0, 0, 10, 10), 0);
    EXPECT_FALSE(t.frame->setModalView(other)); // refused while one is set
    EXPECT_EQ(t.frame->getModalView(), modal);
    EXPECT_TRUE(t.frame->isChild(modal));
    EXPECT_TRUE(t.frame->setModalView(nullptr));
    EXPECT_FALSE(t.frame->isChild(modal));
    EXPECT_EQ(modal->getNbReference(), 1); // removed without forgetting our reference
    t.click(20, 20);
    EXPECT_EQ(t.a->clicks.size(), 1u);
    modal->forget();
    other->forget();
}

TEST(ViewTree, ClickEndsTheFocusViewFirst) {
    Tree t;
    EXPECT_TRUE(t.frame->setFocusView(t.a));
    EXPECT_EQ(t.a->focusLosses, 0);
    t.click(80, 20);
    EXPECT_EQ(t.a->focusLosses, 1);
    EXPECT_EQ(t.frame->getFocusView(), nullptr);
    EXPECT_EQ(t.b->clicks.size(), 1u);
    // A new focus view takes over from the previous one, which loses the focus.
    t.frame->setFocusView(t.b);
    t.frame->setFocusView(t.a);
    EXPECT_EQ(t.b->focusLosses, 1);
    EXPECT_EQ(t.frame->getFocusView(), t.a);
}

TEST(ViewTree, WheelGoesToTheTopmostChildUnderThePointOrTheModalView) {
    Tree t;
    auto* canvas = new CDrawContext(nullptr, nullptr, nullptr);
    EXPECT_TRUE(t.frame->onWheel(canvas, CPosition(50, 60), 1.0f)); // bottom edge: closed
    EXPECT_TRUE(t.a->wheelPoints.empty());
    ASSERT_EQ(t.b->wheelDistances.size(), 1u);
    EXPECT_EQ(t.b->wheelPoints[0], CPosition(50, 60));
    EXPECT_FALSE(t.frame->onWheel(canvas, CPosition(150, 90), 1.0f)); // nothing there
    // Without a context the frame makes one for the call.
    EXPECT_TRUE(t.frame->onWheel(nullptr, CPosition(20, 20), -2.0f));
    ASSERT_EQ(t.a->wheelDistances.size(), 1u);
    EXPECT_EQ(t.a->wheelDistances[0], -2.0f);

    auto* modal = new ColorView(CRectangle(150, 80, 160, 90), 0);
    t.frame->setModalView(modal);
    EXPECT_TRUE(t.frame->onWheel(canvas, CPosition(20, 20), 1.0f));
    EXPECT_EQ(modal->wheelPoints.size(), 1u);
    EXPECT_EQ(t.a->wheelDistances.size(), 1u);
    t.frame->setModalView(nullptr);
    modal->forget();
    canvas->forget();
}

TEST(ViewTree, KeysAskFocusThenModalThenChildrenFromTheTop) {
    Tree t;
    VstKeyCode key{'a', 0, 0};
    EXPECT_EQ(t.frame->onKeyDown(key), -1); // nobody handles keys
    EXPECT_EQ(t.a->keys, 1);
    EXPECT_EQ(t.b->keys, 1);

    t.a->keyAnswer = 1;
    EXPECT_EQ(t.frame->onKeyDown(key), 1); // b (on top) asked first, then a answers
    EXPECT_EQ(t.b->keys, 2);
    t.b->keyAnswer = 0;
    EXPECT_EQ(t.frame->onKeyDown(key), 0); // b's 0 is an answer
    EXPECT_EQ(t.a->keys, 2);

    auto* focus = new ColorView(CRectangle(0, 0, 1, 1), 0);
    focus->keyAnswer = 7;
    t.frame->setFocusView(focus);
    EXPECT_EQ(t.frame->onKeyDown(key), 7);
    EXPECT_EQ(t.b->keys, 3);
    t.frame->setFocusView(nullptr);
    focus->forget();
}

TEST(ViewTree, DroppedFilesReachTheViewUnderThePointWithNamesAndLocalPoint) {
    Tree t;
    auto* inner = new CViewContainer(CRectangle(100, 20, 180, 90), t.frame);
    auto* leaf = new ColorView(CRectangle(5, 5, 25, 25), 0x0000FF);
    inner->addView(leaf);
    t.frame->addView(inner);
    const char* names[] = {"/tmp/one.wav", "/tmp/two.wav"};
    CPosition where(110, 30);
    EXPECT_TRUE(
        t.frame->onDropFiles(reinterpret_cast<void**>(const_cast<char**>(names)), 2, 0, where));
    ASSERT_EQ(leaf->drops, 1);
    EXPECT_EQ(leaf->dropNames, (std::vector<std::string>{"/tmp/one.wav", "/tmp/two.wav"}));
    EXPECT_EQ(leaf->dropPoint, CPosition(10, 10));

    // Refused while a focus view or a modal view is set.
    t.frame->setFocusView(t.a);
    EXPECT_FALSE(
        t.frame->onDropFiles(reinterpret_cast<void**>(const_cast<char**>(names)), 2, 0, where));
    t.frame->setFocusView(nullptr);
    EXPECT_EQ(leaf->drops, 1);
    // A container without a frame refuses drops.
    auto* loose = new CViewContainer(CRectangle(0, 0, 50, 50), nullptr);
    auto* under = new ColorView(CRectangle(0, 0, 50, 50), 0);
    loose->addView(under);
    CPosition p(5, 5);
    EXPECT_FALSE(loose->onDropFiles(reinterpret_cast<void**>(const_cast<char**>(names)), 1, 0, p));
    EXPECT_EQ(under->drops, 0);
    loose->forget(); // deletes under with it
}

TEST(ViewTree, ChildListKeepsOneReferencePerChild) {
    int deleted = 0;
    auto* container = new CViewContainer(CRectangle(0, 0, 100, 100), nullptr);
    container->useOffscreen(false);
    auto* kept = new CountedView(CRectangle(0, 0, 10, 10), &deleted);
    auto* owned = new CountedView(CRectangle(0, 0, 10, 10), &deleted);
    container->addView(kept);
    container->addView(owned); // the container takes over our reference to owned
    container->addView(nullptr);
    EXPECT_EQ(container->getNbViews(), 2);
    EXPECT_EQ(kept->getNbReference(), 2); // ours and the link's
    EXPECT_EQ(owned->getNbReference(), 2);
    EXPECT_EQ(container->getView(0), kept);
    EXPECT_EQ(container->getView(1), owned);
    EXPECT_EQ(container->getView(2), nullptr);
    EXPECT_EQ(container->getView(-1), nullptr);
    EXPECT_EQ(kept->getParentView(), container);
    EXPECT_TRUE(kept->isDirty()); // added views start dirty

    auto* stranger = new CountedView(CRectangle(0, 0, 1, 1), &deleted);
    container->removeView(stranger, true); // not a child: nothing happens
    EXPECT_EQ(stranger->getNbReference(), 1);
    stranger->forget();
    EXPECT_EQ(deleted, 1);

    container->removeView(kept, false); // only the link's reference goes
    EXPECT_EQ(kept->getNbReference(), 1);
    EXPECT_FALSE(container->isChild(kept));
    container->forget(); // forgets owned twice: deleted with it
    EXPECT_EQ(deleted, 2);
    kept->forget();
    EXPECT_EQ(deleted, 3);
}

TEST(ViewTree, ContainerIdentityIsThePointerNotTheText) {
    Tree t;
    char copy[32];
    std::strcpy(copy, kMsgCheckIfViewContainer);
    EXPECT_EQ(t.frame->notify(nullptr, kMsgCheckIfViewContainer), 1);
    EXPECT_EQ(t.frame->notify(nullptr, copy), 0);
    EXPECT_EQ(t.a->notify(nullptr, kMsgCheckIfViewContainer), 0);
}

TEST(ViewTree, ContainerIsDirtyWhileAnyChildIs) {
    Tree t;
    t.a->setDirty(false);
    t.b->setDirty(false);
    t.frame->setDirty(false);
    EXPECT_FALSE(t.frame->isDirty());
    t.b->setDirty(true);
    EXPECT_TRUE(t.frame->isDirty());
}

TEST(ViewTree, InvalidateMarksChildrenTouchingTheRectangle) {
    Tree t;
    t.a->setDirty(false);
    t.b->setDirty(false);
    t.frame->invalidate(CRectangle(0, 60, 30, 80)); // touches a's bottom edge only
    EXPECT_TRUE(t.a->isDirty());
    EXPECT_FALSE(t.b->isDirty());
    t.a->setDirty(false);
    t.frame->invalidate(CRectangle(91, 0, 120, 100)); // one pixel right of b
    EXPECT_FALSE(t.a->isDirty());
    EXPECT_FALSE(t.b->isDirty());
}

TEST(ViewTree, BackgroundBitmapIsSharedByReference) {
    auto* bitmap = new CBitmap();
    {
        Tree t;
        t.a->setBackground(bitmap);
        t.b->setBackground(bitmap);
        EXPECT_EQ(bitmap->getNbReference(), 3);
        t.b->setBackground(nullptr);
        EXPECT_EQ(bitmap->getNbReference(), 2);
    }
    EXPECT_EQ(bitmap->getNbReference(), 1); // the views forgot it when they went
    bitmap->forget();
}

TEST(ViewTree, MouseLocationOfANestedViewIsInItsParentsCoordinates) {
    Tree t;
    auto* inner = new CViewContainer(CRectangle(100, 20, 180, 90), t.frame);
    auto* leaf = new ColorView(CRectangle(5, 5, 25, 25), 0x0000FF);
    inner->addView(leaf);
    t.frame->addView(inner);
    auto* context = new CDrawContext(nullptr, nullptr, nullptr); // screen coordinates
    kavet::driver::moveToScreen(130, 45);
    CPosition where;
    leaf->getMouseLocation(context, where);
    EXPECT_EQ(where, CPosition(30, 25));
    t.a->getMouseLocation(context, where);
    EXPECT_EQ(where, CPosition(130, 45));
    context->forget();
}

TEST(ViewTree, ContainerOffscreenFollowsSizeAndSwitch) {
    Tree t;
    auto* box = new CViewContainer(CRectangle(0, 0, 40, 30), t.frame);
    EXPECT_EQ(box->getOffscreenContext(), nullptr); // made on attach or first draw
    t.frame->addView(box);
    ASSERT_NE(box->getOffscreenContext(), nullptr);
    EXPECT_EQ(box->getOffscreenContext()->getWidth(), 40);
    box->setViewSize(CRectangle(0, 0, 70, 50));
    ASSERT_NE(box->getOffscreenContext(), nullptr);
    EXPECT_EQ(box->getOffscreenContext()->getWidth(), 70);
    EXPECT_EQ(box->getOffscreenContext()->getHeight(), 50);
    box->useOffscreen(false);
    EXPECT_EQ(box->getOffscreenContext(), nullptr);
    box->useOffscreen(true);
    t.frame->removeView(box, false);
    EXPECT_EQ(box->getOffscreenContext(), nullptr); // dropped when detached
    box->forget();
}
