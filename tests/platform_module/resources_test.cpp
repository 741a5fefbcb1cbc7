// Bitmap resources registered per module, loaded with LoadImageA and LoadBitmapA.
#include "bmp_file.h"
#include "canvas.h"

#include <kavet/module_resources.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A 24-bit BMP file of w x h with pixel (x, y) = (r = x*40, g = y*50, b = 7).
std::vector<unsigned char> makeBmp(int w, int h, bool topDown = false) {
    return kavet::test::bmpFile24(
        w, h,
        [](int x, int y) {
            return static_cast<std::uint32_t>((x * 40 & 0xFF) << 16 | (y * 50 & 0xFF) << 8 | 7);
        },
        topDown);
}

std::vector<unsigned char>& bitmap110() {
    static std::vector<unsigned char> b = makeBmp(5, 3);
    return b;
}
std::vector<unsigned char>& bitmap111() {
    static std::vector<unsigned char> b = makeBmp(2, 2, true);
    return b;
}
std::vector<unsigned char>& truncated() {
    static std::vector<unsigned char> b = [] {
        auto bytes = makeBmp(4, 4);
        bytes.resize(bytes.size() - 10);
        return bytes;
    }();
    return b;
}

// Wide enough that a column asked for times the width exceeds 32 bits.
std::vector<unsigned char>& wide() {
    static std::vector<unsigned char> b = makeBmp(40000, 1);
    return b;
}

bool lookup(int id, const unsigned char** data, std::size_t* size) {
    std::vector<unsigned char>* found = id == 110   ? &bitmap110()
                                        : id == 111 ? &bitmap111()
                                        : id == 112 ? &truncated()
                                        : id == 113 ? &wide()
                                                    : nullptr;
    if (!found) return false;
    *data = found->data();
    *size = found->size();
    return true;
}

std::uint32_t expectedPixel(int x, int y) {
    return static_cast<std::uint32_t>((x * 40) << 16 | (y * 50) << 8 | 7);
}

class Resources : public ::testing::Test {
protected:
    void SetUp() override { module = kavet::platform::registerOwnModuleResources(&lookup); }
    void TearDown() override { kavet::platform::registerModuleResources(module, nullptr); }
    HINSTANCE module = nullptr;
};

std::vector<std::uint32_t> readTopDown(HBITMAP bitmap, int w, int h) {
    std::vector<std::uint32_t> pixels = kavet::test::readPixels(bitmap, w, h);
    EXPECT_EQ(pixels.size(), static_cast<std::size_t>(w * h));
    return pixels;
}

TEST_F(Resources, LoadImageMakesABottomUpSectionOfTheFilesPixels) {
    ASSERT_EQ(module, GetModuleHandleA(nullptr));
    auto bitmap = static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(110), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmWidth, 5);
    EXPECT_EQ(ds.dsBm.bmHeight, 3);
    EXPECT_GT(ds.dsBmih.biHeight, 0); // rows bottom-up in memory, as in the file
    const auto* memory = static_cast<const std::uint32_t*>(ds.dsBm.bmBits);
    EXPECT_EQ(memory[0], expectedPixel(0, 2));
    std::vector<std::uint32_t> pixels = readTopDown(bitmap, 5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(pixels[y * 5 + x], expectedPixel(x, y));
    DeleteObject(bitmap);
}

TEST_F(Resources, LoadBitmapReadsTopDownFilesAndNamesWithAHash) {
    HBITMAP a = LoadBitmapA(module, MAKEINTRESOURCEA(111));
    HBITMAP b = LoadBitmapA(module, "#111");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    BITMAP bm{};
    GetObjectA(a, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 2);
    EXPECT_EQ(bm.bmBits, nullptr); // not a section
    EXPECT_EQ(readTopDown(a, 2, 2), readTopDown(b, 2, 2));
    EXPECT_EQ(readTopDown(a, 2, 2)[2], expectedPixel(0, 1));
    DeleteObject(a);
    DeleteObject(b);
}

struct FailureCase {
    const char* name;
    bool registered;
    LPCSTR resource;
    UINT type;
    DWORD error;
};

TEST_F(Resources, MissingOrDamagedResourcesFailWithAReason) {
    const FailureCase cases[] = {
        {"unknown id", true, MAKEINTRESOURCEA(115), IMAGE_BITMAP, ERROR_RESOURCE_NAME_NOT_FOUND},
        {"string name", true, "BACKGROUND", IMAGE_BITMAP, ERROR_RESOURCE_NAME_NOT_FOUND},
        {"truncated file", true, MAKEINTRESOURCEA(112), IMAGE_BITMAP, ERROR_INVALID_DATA},
        {"unregistered module", false, MAKEINTRESOURCEA(110), IMAGE_BITMAP,
         ERROR_RESOURCE_NAME_NOT_FOUND},
        {"icon", true, MAKEINTRESOURCEA(110), IMAGE_ICON, ERROR_INVALID_PARAMETER},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        HINSTANCE instance = c.registered ? module : reinterpret_cast<HINSTANCE>(0x1000);
        SetLastError(0);
        EXPECT_EQ(LoadImageA(instance, c.resource, c.type, 0, 0, LR_CREATEDIBSECTION), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
}

TEST_F(Resources, LoadImageResizesWhenGivenASize) {
    auto bitmap =
        static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(111), IMAGE_BITMAP, 4, 4, 0));
    ASSERT_NE(bitmap, nullptr);
    std::vector<std::uint32_t> pixels = readTopDown(bitmap, 4, 4);
    EXPECT_EQ(pixels[3 * 4 + 3], expectedPixel(1, 1));
    EXPECT_EQ(pixels[1 * 4 + 1], expectedPixel(0, 0));
    DeleteObject(bitmap);
}

TEST_F(Resources, LoadImageResizesAWideBitmapToAWiderOne) {
    // Column x of the result is column x * 40000 / 60000 of the file, whose red byte is
    // (column * 40) modulo 256.
    auto bitmap =
        static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(113), IMAGE_BITMAP, 60000, 1, 0));
    ASSERT_NE(bitmap, nullptr);
    std::vector<std::uint32_t> pixels = readTopDown(bitmap, 60000, 1);
    for (int x : {0, 2, 30001, 59999}) {
        const int column = static_cast<int>(static_cast<long long>(x) * 40000 / 60000);
        EXPECT_EQ(pixels[static_cast<std::size_t>(x)],
                  static_cast<std::uint32_t>(((column * 40) & 0xFF) << 16 | 7))
            << "column " << x;
    }
    DeleteObject(bitmap);
}

} // namespace
