// Comparisons of captured images (pixel_compare.h).
#include "pixel_compare.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace kavet::test {

namespace {

constexpr int kDifferencesShown = 12;

std::string hex(std::uint32_t rgb) {
    char text[16];
    std::snprintf(text, sizeof text, "#%06x", rgb);
    return text;
}

} // namespace

int differingPixels(const driver::Image& a, const driver::Image& b) {
    if (a.width != b.width || a.height != b.height) return a.width * a.height + 1;
    int n = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            n += a.rgb(x, y) != b.rgb(x, y);
    return n;
}

::testing::AssertionResult samePixels(const driver::Image& headless, const driver::Image& other,
                                      const char* side) {
    if (headless.width != other.width || headless.height != other.height)
        return ::testing::AssertionFailure()
               << "size " << side << " " << other.width << "x" << other.height << ", headless "
               << headless.width << "x" << headless.height;
    int differing = 0;
    std::string shown;
    for (int y = 0; y < headless.height; ++y) {
        for (int x = 0; x < headless.width; ++x) {
            if (headless.rgb(x, y) == other.rgb(x, y)) continue;
            if (differing++ < kDifferencesShown)
                shown += "\n  (" + std::to_string(x) + ", " + std::to_string(y) + "): headless " +
                         hex(headless.rgb(x, y)) + ", " + side + " " + hex(other.rgb(x, y));
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " of " << headless.width * headless.height
                                         << " pixels differ; the first:" << shown;
}

::testing::AssertionResult matchesReferenceIn(const driver::Image& image, const std::string& name,
                                              const std::string& referenceDir,
                                              const std::string& outputDir) {
    const std::string reference = referenceDir + "/" + name + ".png";
    const std::string seen = outputDir + "/" + name + ".png";
    (void)driver::writePng(image, seen); // a copy to look at; the comparison does not need it
    const char* update = std::getenv("KAVET_UPDATE_REFERENCE");
    if (update != nullptr && std::strcmp(update, "1") == 0) {
        if (!driver::writePng(image, reference))
            return ::testing::AssertionFailure() << "cannot write " << reference;
        return ::testing::AssertionSuccess();
    }
    std::optional<driver::Image> expected = driver::readPng(reference);
    if (!expected)
        return ::testing::AssertionFailure() << "no reference " << reference << " (see " << seen
                                             << "; KAVET_UPDATE_REFERENCE=1 writes it)";
    if (expected->width != image.width || expected->height != image.height)
        return ::testing::AssertionFailure()
               << "size " << image.width << "x" << image.height << ", reference " << expected->width
               << "x" << expected->height;
    int differing = 0;
    int firstX = -1, firstY = -1;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.rgb(x, y) == expected->rgb(x, y)) continue;
            if (differing++ == 0) {
                firstX = x;
                firstY = y;
            }
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << differing << " pixels differ from " << reference << ", the first at (" << firstX
           << ", " << firstY << "); this run's picture: " << seen;
}

} // namespace kavet::test
