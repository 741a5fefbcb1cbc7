// CBitmap: resources loaded by id from a table of small BMPs built here, opaque blits of
// sub-images, and the three transparency paths (mask bitmap, msimg32's TransparentBlt, the
// monochrome mask made from the colour key), which must all leave the key pixels alone.
#include "bmp_file.h"
#include "canvas.h"

#include "toolkit/bitmap.h"
#include "toolkit/drawcontext.h"
#include "toolkit/drawglobals.h"

#include <kavet/module_resources.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using kavet::test::bmpFile24;
using kavet::test::Canvas;
using kavet::test::kUntouched;
using namespace toolkit;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kKeyRed = 0xFF0000;

// Pixel (x, y) of test bitmap 300 (6 x 4): white on the diagonals x + y = 0, 3, 6, pure red
// where x + y = 4 (a second key to try), a distinct colour elsewhere.
std::uint32_t pixel300(int x, int y) {
    if ((x + y) % 3 == 0) return kWhite;
    if (x + y == 4) return kKeyRed;
    return static_cast<std::uint32_t>((x * 40 + 10) << 16 | (y * 60 + 5) << 8 | 90);
}
std::uint32_t pixel301(int x, int y) {
    return static_cast<std::uint32_t>(x << 16 | y << 8 | 200);
}

const std::vector<unsigned char>& resource(int id) {
    static const std::vector<unsigned char> b300 = bmpFile24(6, 4, pixel300);
    static const std::vector<unsigned char> b301 = bmpFile24(3, 2, pixel301);
    static const std::vector<unsigned char> b302 = [] {
        auto bytes = bmpFile24(4, 4, pixel301);
        bytes[0] = 'X'; // not a BMP any more
        return bytes;
    }();
    static const std::vector<unsigned char> none;
    return id == 300 ? b300 : id == 301 ? b301 : id == 302 ? b302 : none;
}

bool lookup(int id, const unsigned char** data, std::size_t* size) {
    const auto& bytes = resource(id);
    if (bytes.empty()) return false;
    *data = bytes.data();
    *size = bytes.size();
    return true;
}

// The msimg32 entry, looked up as the frame does, and a spy in front of it.
TransparentBltProc realTransparentBlt = nullptr;
int transparentBltCalls = 0;
BOOL WINAPI spyTransparentBlt(HDC d, int dx, int dy, int dw, int dh, HDC s, int sx, int sy, int sw,
                              int sh, UINT key) {
    ++transparentBltCalls;
    return realTransparentBlt(d, dx, dy, dw, dh, s, sx, sy, sw, sh, key);
}

class BitmapTest : public ::testing::Test {
protected:
    void SetUp() override {
        module = kavet::platform::registerOwnModuleResources(&lookup);
        ASSERT_NE(module, nullptr);
        msimg32 = LoadLibraryA("msimg32.dll");
        ASSERT_NE(msimg32, nullptr);
        FARPROC entry = GetProcAddress(msimg32, "TransparentBlt");
        realTransparentBlt =
            reinterpret_cast<TransparentBltProc>(reinterpret_cast<void (*)()>(entry));
        ASSERT_NE(realTransparentBlt, nullptr);
        transparentBltCalls = 0;
        gTransparentBlt = nullptr;
    }
    void TearDown() override {
        gTransparentBlt = nullptr;
        FreeLibrary(msimg32);
        kavet::platform::registerModuleResources(module, nullptr);
        setModuleInstance(nullptr);
    }
    HINSTANCE module = nullptr;
    HMODULE msimg32 = nullptr;
};

TEST_F(BitmapTest, TheModuleInstanceDefaultsToTheModuleHoldingTheToolkit) {
    EXPECT_EQ(getModuleInstance(), module);
}

TEST_F(BitmapTest, SizeComesFromTheResourceAndAFailedLoadIsEmpty) {
    struct Case {
        int id, width, height;
        bool loaded;
    };
    const Case cases[] = {
        {300, 6, 4, true}, {301, 3, 2, true}, {302, 0, 0, false}, {999, 0, 0, false}};
    for (const Case& c : cases) {
        auto* bitmap = new CBitmap(c.id);
        EXPECT_EQ(bitmap->getWidth(), c.width) << c.id;
        EXPECT_EQ(bitmap->getHeight(), c.height) << c.id;
        EXPECT_EQ(bitmap->getHandle() != nullptr, c.loaded) << c.id;
        EXPECT_EQ(bitmap->getResourceId(), c.id);
        EXPECT_EQ(bitmap->getTransparentColor(), kTransparentCColor);
        bitmap->forget();
    }
}

TEST_F(BitmapTest, ResourcesComeFromTheModuleInstanceThatIsSet) {
    setModuleInstance(reinterpret_cast<HINSTANCE>(&resource)); // no table for this "module"
    CBitmap elsewhere(300);
    EXPECT_EQ(elsewhere.getHandle(), nullptr);
    setModuleInstance(module);
    CBitmap here(300);
    EXPECT_NE(here.getHandle(), nullptr);
}

TEST_F(BitmapTest, DefaultConstructionIsEmpty) {
    auto* bitmap = new CBitmap();
    EXPECT_EQ(bitmap->getWidth(), 0);
    EXPECT_EQ(bitmap->getHeight(), 0);
    EXPECT_EQ(bitmap->getHandle(), nullptr);
    EXPECT_EQ(bitmap->getMaskHandle(), nullptr);
    EXPECT_EQ(bitmap->getResourceId(), 0);
    EXPECT_EQ(bitmap->getNbReference(), 1);
    bitmap->forget();
}

TEST_F(BitmapTest, DrawCopiesTheSubImageAtTheOffsetToTheRectangle) {
    struct Case {
        CRectangle rect;
        CPosition source;
        CPosition contextOffset;
    };
    const Case cases[] = {
        {{0, 0, 6, 4}, {0, 0}, {0, 0}},
        {{5, 5, 8, 7}, {2, 1}, {1, 1}},
        {{2, 9, 6, 10}, {1, 3}, {-2, 0}},
    };
    CBitmap bitmap(300);
    for (const Case& c : cases) {
        Canvas canvas(14, 12);
        CDrawContext context(nullptr, canvas.dc, nullptr);
        context.offset = c.contextOffset;
        bitmap.draw(&context, c.rect, c.source);
        const int left = c.rect.left + c.contextOffset.x, top = c.rect.top + c.contextOffset.y;
        for (int y = 0; y < canvas.height; ++y) {
            for (int x = 0; x < canvas.width; ++x) {
                const bool in =
                    x >= left && x < left + c.rect.width() && y >= top && y < top + c.rect.height();
                const std::uint32_t expected =
                    in ? pixel300(x - left + c.source.x, y - top + c.source.y) : kUntouched;
                ASSERT_EQ(canvas.at(x, y), expected) << "at " << x << "," << y;
            }
        }
    }
}

TEST_F(BitmapTest, AnEmptyBitmapDrawsNothing) {
    Canvas canvas(8, 8);
    CDrawContext context(nullptr, canvas.dc, nullptr);
    for (int id : {302, 999}) {
        CBitmap missing(id);
        missing.draw(&context, CRectangle(0, 0, 8, 8));
        missing.drawTransparent(&context, CRectangle(0, 0, 8, 8));
    }
    CBitmap empty;
    empty.draw(&context, CRectangle(0, 0, 8, 8));
    int touched = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            touched += canvas.at(x, y) != kUntouched;
    EXPECT_EQ(touched, 0);
}

// ---- Transparency ------------------------------------------------------------------------

enum class Path { Mask, TransparentBlt, MonochromeKey };

const char* nameOf(Path p) {
    return p == Path::Mask ? "mask" : p == Path::TransparentBlt ? "TransparentBlt" : "mono key";
}

// A monochrome mask of bitmap 300 with 1 (transparent) where `transparent` says so.
template <typename Predicate> HBITMAP makeMask(Predicate transparent) {
    const int w = 6, h = 4, stride = 2; // rows padded to 16 bits
    std::vector<unsigned char> bits(static_cast<std::size_t>(stride * h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (transparent(x, y))
                bits[y * stride + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
    return CreateBitmap(w, h, 1, 1, bits.data());
}

// Draws the 4 x 3 area of bitmap 300 from (1, 1) transparently at (2, 3) of a 10 x 8 canvas
// (context offset (1, 1)) and checks every pixel: where `transparent` holds, and outside
// the rectangle, the canvas is untouched; elsewhere it shows the bitmap.
template <typename Predicate> void expectTransparentDraw(CBitmap& bitmap, Predicate transparent) {
    Canvas canvas(10, 8);
    CDrawContext context(nullptr, canvas.dc, nullptr);
    context.offset = CPosition(1, 1);
    const COLORREF backBefore = GetBkColor(canvas.dc);
    const COLORREF textBefore = GetTextColor(canvas.dc);
    bitmap.drawTransparent(&context, CRectangle(1, 2, 5, 5), CPosition(1, 1));
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const bool in = x >= 2 && x < 6 && y >= 3 && y < 6;
            const int sx = x - 2 + 1, sy = y - 3 + 1;
            const std::uint32_t expected =
                in && !transparent(sx, sy) ? pixel300(sx, sy) : kUntouched;
            ASSERT_EQ(canvas.at(x, y), expected) << "at " << x << "," << y;
        }
    }
    EXPECT_EQ(GetBkColor(canvas.dc), backBefore);
    EXPECT_EQ(GetTextColor(canvas.dc), textBefore);
}

void choosePath(CBitmap& bitmap, Path path, std::uint32_t keyPixel) {
    gTransparentBlt = path == Path::MonochromeKey ? nullptr : &spyTransparentBlt;
    if (path == Path::Mask)
        bitmap.setMaskHandle(makeMask([&](int x, int y) { return pixel300(x, y) == keyPixel; }));
}

TEST_F(BitmapTest, EveryTransparencyPathLeavesTheKeyPixelsAlone) {
    struct Key {
        CColorRGBA colour; // the transparent colour set on the bitmap (none: the default)
        std::uint32_t pixel;
        bool setExplicitly;
    };
    const Key keys[] = {{kTransparentCColor, kWhite, false},
                        {CColorRGBA{255, 0, 0, 255}, kKeyRed, true}};
    for (Path path : {Path::Mask, Path::TransparentBlt, Path::MonochromeKey}) {
        for (const Key& key : keys) {
            SCOPED_TRACE(std::string(nameOf(path)) + " key " + std::to_string(key.pixel));
            CBitmap bitmap(300);
            if (key.setExplicitly) bitmap.setTransparentColor(key.colour);
            choosePath(bitmap, path, key.pixel);
            transparentBltCalls = 0;
            expectTransparentDraw(bitmap,
                                  [&](int x, int y) { return pixel300(x, y) == key.pixel; });
            EXPECT_EQ(transparentBltCalls, path == Path::TransparentBlt ? 1 : 0);
        }
    }
}

TEST_F(BitmapTest, AMaskBitmapDecidesInsteadOfTheColourKey) {
    CBitmap bitmap(300);
    gTransparentBlt = &spyTransparentBlt;
    // Transparent exactly in column 2 and row 3, whatever the colours there.
    auto transparent = [](int x, int y) { return x == 2 || y == 3; };
    bitmap.setMaskHandle(makeMask(transparent));
    expectTransparentDraw(bitmap, transparent);
    EXPECT_EQ(transparentBltCalls, 0);
}

TEST_F(BitmapTest, OpaqueDrawIgnoresTheKey) {
    CBitmap bitmap(300);
    Canvas canvas(6, 4);
    CDrawContext context(nullptr, canvas.dc, nullptr);
    bitmap.draw(&context, CRectangle(0, 0, 6, 4));
    EXPECT_EQ(canvas.at(0, 0), kWhite);
    EXPECT_EQ(canvas.at(3, 0), kWhite);
}

TEST_F(BitmapTest, TheBitmapOwnsItsHandlesUntilTheLastForget) {
    auto* bitmap = new CBitmap(300);
    HBITMAP handle = bitmap->getHandle();
    HBITMAP mask = makeMask([](int, int) { return false; });
    bitmap->setMaskHandle(mask);
    bitmap->remember(); // a view shares it
    bitmap->forget();
    EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_BITMAP));
    bitmap->forget();
    EXPECT_EQ(GetObjectType(handle), 0u);
    EXPECT_EQ(GetObjectType(mask), 0u);
}

TEST_F(BitmapTest, ReplacingTheMaskDeletesThePreviousOne) {
    CBitmap bitmap(300);
    HBITMAP first = makeMask([](int, int) { return true; });
    HBITMAP second = makeMask([](int, int) { return false; });
    bitmap.setMaskHandle(first);
    bitmap.setMaskHandle(second);
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(bitmap.getMaskHandle(), second);
}

} // namespace
