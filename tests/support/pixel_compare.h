// Comparisons of captured images (driver::Image, 0xRRGGBB pixels): with each other and with
// the reference pictures kept with the tests.
#pragma once

#include <kavet/driver.h>

#include <gtest/gtest.h>

#include <string>

namespace kavet::test {

// Pixels that differ between two images (all of them and one more when the sizes differ).
int differingPixels(const driver::Image& a, const driver::Image& b);

// Pixel for pixel, naming the first differences; `side` names the other image.
::testing::AssertionResult samePixels(const driver::Image& headless, const driver::Image& other,
                                      const char* side);

// Compares `image` pixel for pixel with <referenceDir>/<name>.png (KAVET_UPDATE_REFERENCE=1
// rewrites it); the image is also written to `outputDir` for people to look at.
::testing::AssertionResult matchesReferenceIn(const driver::Image& image, const std::string& name,
                                              const std::string& referenceDir,
                                              const std::string& outputDir);

#if defined(KAVET_REFERENCE_DIR) && defined(KAVET_TEST_OUTPUT_DIR)
// The same with the test program's reference and output folders.
inline ::testing::AssertionResult matchesReference(const driver::Image& image,
                                                   const std::string& name) {
    return matchesReferenceIn(image, name, KAVET_REFERENCE_DIR, KAVET_TEST_OUTPUT_DIR);
}
#endif

} // namespace kavet::test
