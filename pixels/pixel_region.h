// A rectangular part of a pixel view, clipped to it: the source or target of a plain copy
// (copyPixels copies the overlap of two views). [UI thread]
#pragma once

#include "pixel_view.h"

#include <algorithm>

namespace kavet::editor {

// The w x h area of `view` whose top-left pixel is (x, y), cut to the view; an empty view
// when (x, y) lies outside it.
inline PixelView pixelRegion(const PixelView& view, int x, int y, int w, int h) {
    if (view.empty() || !view.contains(x, y) || w <= 0 || h <= 0) return {};
    return {view.row(y) + x, std::min(w, view.width - x), std::min(h, view.height - y),
            view.strideBytes};
}

} // namespace kavet::editor
