// The toolkit's value types: rectangle, point, colour and the button/modifier word.
// Plain structures, copied by value. Coordinates are pixels, y grows downwards.
#pragma once

#include <cstdint>

#include <windows.h>

namespace toolkit {

struct CPosition {
    std::int32_t x = 0;
    std::int32_t y = 0;

    constexpr CPosition() = default;
    constexpr CPosition(std::int32_t px, std::int32_t py) : x(px), y(py) {}

    constexpr CPosition& offset(std::int32_t dx, std::int32_t dy) {
        x += dx;
        y += dy;
        return *this;
    }
    constexpr bool operator==(const CPosition&) const = default;
};

struct CRectangle {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    constexpr CRectangle() = default;
    constexpr CRectangle(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
        : left(l), top(t), right(r), bottom(b) {}

    constexpr std::int32_t width() const { return right - left; }
    constexpr std::int32_t height() const { return bottom - top; }

    // Half-open: the right and bottom edges are outside. Controls use this for their own
    // areas; the view hit tests use the closed isInsideClosed below.
    constexpr bool pointInside(const CPosition& p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    // Closed: all four edges belong to the rectangle (CView::hitTest, drop and wheel routing).
    constexpr bool isInsideClosed(const CPosition& p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
    // Overlap with the edges included (CView::checkUpdate, CFrame::invalidate).
    constexpr bool overlapsClosed(const CRectangle& r) const {
        if (r.right < left || right < r.left || r.bottom < top) {
            return false;
        }
        return bottom >= r.top;
    }

    // Clamp each edge into `other`, then raise right to left and bottom to top where they
    // cross, so the result is never negative in size.
    constexpr CRectangle& bound(const CRectangle& other) {
        left = clamp(left, other.left, other.right);
        right = clamp(right, other.left, other.right);
        top = clamp(top, other.top, other.bottom);
        bottom = clamp(bottom, other.top, other.bottom);
        if (right < left) {
            right = left;
        }
        if (bottom < top) {
            bottom = top;
        }
        return *this;
    }
    constexpr CRectangle& offset(std::int32_t dx, std::int32_t dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
        return *this;
    }
    constexpr CRectangle& moveTo(std::int32_t x, std::int32_t y) {
        return offset(x - left, y - top);
    }
    constexpr CRectangle& setWidth(std::int32_t w) {
        right = left + w;
        return *this;
    }
    constexpr CRectangle& setHeight(std::int32_t h) {
        bottom = top + h;
        return *this;
    }
    constexpr bool operator==(const CRectangle&) const = default;

    RECT toRECT() const { return RECT{left, top, right, bottom}; }
    static CRectangle fromRECT(const RECT& r) {
        return CRectangle(static_cast<std::int32_t>(r.left), static_cast<std::int32_t>(r.top),
                          static_cast<std::int32_t>(r.right), static_cast<std::int32_t>(r.bottom));
    }

private:
    static constexpr std::int32_t clamp(std::int32_t v, std::int32_t lo, std::int32_t hi) {
        return v < lo ? lo : (v > hi ? hi : v);
    }
};

// Four bytes in the order red, green, blue, alpha.
struct CColorRGBA {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;

    constexpr bool operator==(const CColorRGBA&) const = default;
};

// Windows colour: red | green << 8 | blue << 16; alpha is dropped.
constexpr std::uint32_t toColorRef(const CColorRGBA& c) {
    return static_cast<std::uint32_t>(c.red) | (static_cast<std::uint32_t>(c.green) << 8) |
           (static_cast<std::uint32_t>(c.blue) << 16);
}

inline constexpr CColorRGBA kWhiteCColor{255, 255, 255, 255};
inline constexpr CColorRGBA kBlackCColor{0, 0, 0, 255};
inline constexpr CColorRGBA kGreyCColor{127, 127, 127, 255};
inline constexpr CColorRGBA kRedCColor{255, 0, 0, 255};
// Bitmap transparency key: white with alpha 0.
inline constexpr CColorRGBA kTransparentCColor{255, 255, 255, 0};

// Mouse button and modifier flags, one 32-bit word.
enum : std::int32_t {
    buttonLeft = 1,
    buttonMiddle = 2,
    buttonRight = 4,
    modShift = 8,
    modControl = 0x10,
    modAlt = 0x20,
};
// A button word of -1 means: not read yet, ask the drawing context.
inline constexpr std::int32_t kButtonsUnknown = -1;

// The message whose pointer (not text) identifies a container: CViewContainer::notify answers
// 1 exactly when it receives this pointer.
extern const char* const kMsgCheckIfViewContainer;

} // namespace toolkit
