// The value types: the two inside tests, intersection, colours, reference counting.
#include "toolkit/refcounter.h"
#include "toolkit/types.h"

#include <gtest/gtest.h>

using namespace toolkit;

TEST(Rectangle, PointInsideIsHalfOpenWhileHitTestIsClosed) {
    const CRectangle r(10, 20, 30, 40);
    struct Case {
        CPosition p;
        bool halfOpen, closed;
    } cases[] = {
        {{10, 20}, true, true},   {{29, 39}, true, true},   {{30, 25}, false, true},
        {{15, 40}, false, true},  {{30, 40}, false, true},  {{9, 25}, false, false},
        {{15, 19}, false, false}, {{31, 25}, false, false}, {{15, 41}, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(r.pointInside(c.p), c.halfOpen) << c.p.x << "," << c.p.y;
        EXPECT_EQ(r.isInsideClosed(c.p), c.closed) << c.p.x << "," << c.p.y;
    }
}

TEST(Rectangle, BoundClampsEachEdgeAndNeverCrosses) {
    const CRectangle limit(0, 0, 100, 50);
    struct Case {
        CRectangle in, out;
    } cases[] = {
        {{10, 10, 20, 20}, {10, 10, 20, 20}},     // inside: unchanged
        {{-5, -5, 120, 60}, {0, 0, 100, 50}},     // larger: clamped to the limit
        {{90, 40, 130, 70}, {90, 40, 100, 50}},   // overlapping the corner
        {{150, 60, 200, 80}, {100, 50, 100, 50}}, // wholly outside: empty at the edge
        {{-30, -20, -10, -5}, {0, 0, 0, 0}},
        {{40, 30, 20, 10}, {40, 30, 40, 30}}, // crossed edges: right to left, bottom to top
    };
    for (const Case& c : cases) {
        CRectangle r = c.in;
        r.bound(limit);
        EXPECT_EQ(r, c.out) << c.in.left << "," << c.in.top << "," << c.in.right << ","
                            << c.in.bottom;
    }
}

TEST(Rectangle, OverlapIncludesTouchingEdges) {
    const CRectangle view(10, 10, 20, 20);
    struct Case {
        CRectangle other;
        bool overlaps;
    } cases[] = {
        {{20, 10, 30, 20}, true},  // touches the right edge
        {{0, 20, 10, 30}, true},   // touches the bottom-left corner
        {{21, 10, 30, 20}, false}, // one pixel right of it
        {{10, 21, 20, 30}, false}, // one pixel below
        {{0, 0, 9, 9}, false},     {{12, 12, 14, 14}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(view.overlapsClosed(c.other), c.overlaps) << c.other.left << "," << c.other.top;
    }
}

TEST(Rectangle, SizesAndMoves) {
    CRectangle r(5, 6, 25, 46);
    EXPECT_EQ(r.width(), 20);
    EXPECT_EQ(r.height(), 40);
    r.moveTo(100, 200);
    EXPECT_EQ(r, CRectangle(100, 200, 120, 240));
    r.offset(-1, 2).setWidth(7).setHeight(3);
    EXPECT_EQ(r, CRectangle(99, 202, 106, 205));
}

TEST(Color, WindowsColourIsRedGreenBlueWithAlphaDropped) {
    EXPECT_EQ(toColorRef(CColorRGBA{0x12, 0x34, 0x56, 0x78}), 0x563412u);
    EXPECT_EQ(toColorRef(kRedCColor), 0x0000FFu);
    EXPECT_EQ(toColorRef(kGreyCColor), 0x7F7F7Fu);
    EXPECT_EQ(kWhiteCColor, (CColorRGBA{255, 255, 255, 255}));
    EXPECT_EQ(kBlackCColor, (CColorRGBA{0, 0, 0, 255}));
    EXPECT_EQ(kTransparentCColor, (CColorRGBA{255, 255, 255, 0}));
    EXPECT_NE(kTransparentCColor, kWhiteCColor);
    static_assert(sizeof(CColorRGBA) == 4);
}

TEST(Flags, ButtonAndModifierBits) {
    EXPECT_EQ(buttonLeft, 1);
    EXPECT_EQ(buttonMiddle, 2);
    EXPECT_EQ(buttonRight, 4);
    EXPECT_EQ(modShift, 8);
    EXPECT_EQ(modControl, 0x10);
    EXPECT_EQ(modAlt, 0x20);
}

namespace {
struct Counted : CReferenceCounter {
    explicit Counted(int* d) : deleted(d) {}
    ~Counted() override { ++*deleted; }
    int* deleted;
};
} // namespace

TEST(ReferenceCounter, DeletesOnTheForgetThatEndsTheLastReference) {
    int deleted = 0;
    auto* object = new Counted(&deleted);
    EXPECT_EQ(object->getNbReference(), 1);
    object->remember();
    object->remember();
    object->forget();
    object->forget();
    EXPECT_EQ(deleted, 0);
    EXPECT_EQ(object->getNbReference(), 1);
    object->forget();
    EXPECT_EQ(deleted, 1);
}
