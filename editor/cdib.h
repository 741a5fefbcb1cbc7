// CDIB: a 32-bit pixel buffer that the toolkit can draw. Either a copy of a bitmap resource
// (the pixels are a private copy; the drawn image stays the resource's) or a blank buffer
// whose pixels are what the toolkit draws. Pixels are 0x00RRGGBB words (bytes blue, green,
// red, reserved), rows top-down, stride = width x 4. A resource that cannot be loaded leaves
// a null pixel pointer, which every consumer skips. [UI thread]
#pragma once

#include "pixels/pixel_view.h"
#include "toolkit/bitmap.h"

#include <cstdint>
#include <memory>

namespace kavet::editor {

class CDIB : public toolkit::CBitmap {
public:
    // A copy of bitmap resource `resourceId` of the module (toolkit::getModuleInstance()).
    explicit CDIB(std::int32_t resourceId);
    // A blank buffer of width x height pixels, all zero.
    CDIB(std::int32_t width, std::int32_t height);
    ~CDIB() override;

    CDIB(const CDIB&) = delete;
    CDIB& operator=(const CDIB&) = delete;

    std::uint32_t* getPixels() const { return pixels; }
    std::int32_t getStride() const { return stride; } // bytes
    bool ownsSection() const { return ownsSectionFlag; }
    // The pixels as the pixel engine takes them; empty when the pixels are missing.
    PixelView view() const;

private:
    bool ownsSectionFlag = false;
    std::uint32_t* pixels = nullptr;
    std::int32_t stride = 0;
    std::unique_ptr<std::uint32_t[]> copy; // the private copy of a loaded resource
};

} // namespace kavet::editor
