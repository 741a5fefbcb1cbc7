// The Windows side of the editor comparison: kavet-wintest.exe --editor run by run-wine.sh
// under xvfb-run (a virtual X display of its own, 24 bits deep), and the BMP it writes.
#pragma once

#include "editor_steps.h"

#include <kavet/driver.h>

#include <optional>
#include <string>
#include <vector>

namespace kavet::test {

struct WineRun {
    int status = -1;    // the exit status of xvfb-run (that of the program), -1: did not run
    std::string output; // what it printed, standard error included
};

// Runs the steps in the cross-built mono module's editor under Wine; the picture goes to `bmp`.
WineRun runEditorUnderWine(const std::vector<EditorStep>& steps, const std::string& bmp);

// A 24-bit bottom-up BMP as an image (alpha 255); nothing for any other file.
std::optional<driver::Image> readBmp24(const std::string& path);

} // namespace kavet::test
