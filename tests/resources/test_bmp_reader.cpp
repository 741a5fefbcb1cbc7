// The BMP reader that gives the platform layer the embedded bitmaps.
#include "resources/bmp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

using kavet::resources::BmpPixel;
using kavet::resources::parseBmp;

void put(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// A 3 x 2 image (rows padded from 9 to 12 bytes): top row red, green, blue; bottom row white,
// black, grey. Stored bottom-up unless topDown.
std::vector<unsigned char> sample(bool topDown = false) {
    std::vector<unsigned char> b(54 + 24, 0);
    b[0] = 'B';
    b[1] = 'M';
    put(b, 2, std::uint32_t(b.size()), 4);
    put(b, 10, 54, 4);
    put(b, 14, 40, 4);
    put(b, 18, 3, 4);
    put(b, 22, topDown ? std::uint32_t(-2) : 2u, 4);
    put(b, 26, 1, 2);
    put(b, 28, 24, 2);
    const unsigned char top[9] = {0, 0, 255, 0, 255, 0, 255, 0, 0}; // blue, green, red order
    const unsigned char bottom[9] = {255, 255, 255, 0, 0, 0, 128, 128, 128};
    const unsigned char* first = topDown ? top : bottom;
    const unsigned char* second = topDown ? bottom : top;
    for (int i = 0; i < 9; ++i) {
        b[54 + i] = first[i];
        b[54 + 12 + i] = second[i];
    }
    return b;
}

TEST(BmpReader, ReadsBottomUpAndTopDownRowsAsTopRowFirst) {
    for (bool topDown : {false, true}) {
        auto bytes = sample(topDown);
        auto bmp = parseBmp(bytes);
        ASSERT_TRUE(bmp) << topDown;
        EXPECT_EQ(bmp->width, 3);
        EXPECT_EQ(bmp->height, 2);
        EXPECT_EQ(bmp->stride, 12u);
        EXPECT_EQ(bmp->bottomUp, !topDown);
        EXPECT_EQ(bmp->at(0, 0), (BmpPixel{255, 0, 0}));
        EXPECT_EQ(bmp->at(1, 0), (BmpPixel{0, 255, 0}));
        EXPECT_EQ(bmp->at(2, 0), (BmpPixel{0, 0, 255}));
        EXPECT_EQ(bmp->at(0, 1), (BmpPixel{255, 255, 255}));
        EXPECT_EQ(bmp->at(2, 1), (BmpPixel{128, 128, 128}));
    }
}

TEST(BmpReader, RefusesEverythingButACompleteUncompressed24BitFile) {
    struct Case {
        std::string name;
        std::function<void(std::vector<unsigned char>&)> spoil;
    };
    const Case cases[] = {
        {"empty", [](auto& b) { b.clear(); }},
        {"header only", [](auto& b) { b.resize(53); }},
        {"signature", [](auto& b) { b[1] = 'A'; }},
        {"info header too short", [](auto& b) { put(b, 14, 12, 4); }},
        {"info header beyond file", [](auto& b) { put(b, 14, 4000, 4); }},
        {"32 bits per pixel", [](auto& b) { put(b, 28, 32, 2); }},
        {"8 bits per pixel", [](auto& b) { put(b, 28, 8, 2); }},
        {"two planes", [](auto& b) { put(b, 26, 2, 2); }},
        {"run-length compressed", [](auto& b) { put(b, 30, 1, 4); }},
        {"zero width", [](auto& b) { put(b, 18, 0, 4); }},
        {"negative width", [](auto& b) { put(b, 18, std::uint32_t(-3), 4); }},
        {"zero height", [](auto& b) { put(b, 22, 0, 4); }},
        {"huge width", [](auto& b) { put(b, 18, 0x7fffffff, 4); }},
        {"huge negative height", [](auto& b) { put(b, 22, 0x80000000u, 4); }},
        {"last row cut short", [](auto& b) { b.pop_back(); }},
        {"pixels inside the header", [](auto& b) { put(b, 10, 20, 4); }},
        {"pixels beyond the file", [](auto& b) { put(b, 10, 0xfffffff0u, 4); }},
        {"more rows than data", [](auto& b) { put(b, 22, 3, 4); }},
    };
    for (const Case& c : cases) {
        auto bytes = sample();
        c.spoil(bytes);
        EXPECT_FALSE(parseBmp(bytes)) << c.name;
    }
}

TEST(BmpReader, AcceptsLongerInfoHeadersAndTrailingBytes) {
    auto bytes = sample();
    // A 124-byte (version 5) info header: the pixels move back by 84 bytes.
    bytes.insert(bytes.begin() + 54, 84, 0);
    put(bytes, 14, 124, 4);
    put(bytes, 10, 54 + 84, 4);
    bytes.push_back(0xee);
    auto bmp = parseBmp(bytes);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->at(1, 0), (BmpPixel{0, 255, 0}));
    EXPECT_EQ(bmp->rows.size(), 24u);
}

} // namespace
