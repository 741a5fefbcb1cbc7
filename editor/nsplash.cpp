#include "nsplash.h"

#include "cdib.h"
#include "core/config.h"
#include "core/prefs.h"
#include "pixels/pixel_region.h"
#include "pixels/readout_text.h"
#include "toolkit/drawcontext.h"
#include "toolkit/frame.h"

namespace kavet::editor {

using toolkit::CPosition;
using toolkit::CRectangle;

namespace {

constexpr int kSelectorWidth = 13;
constexpr int kSelectorHeight = 15; // rows of one selector frame
constexpr std::uint32_t kPanLawInk = 0xC5C5C5;
// Where the mono page prints the pan law, from the group's top-left corner.
constexpr int kPanLawTextX = 21;
constexpr int kPanLawTextY = 1;

PixelView viewOf(const CDIB* dib) {
    return dib ? dib->view() : PixelView{};
}

} // namespace

nSplash::nSplash(const CRectangle& size, std::int32_t tag, toolkit::CControlListener* listener,
                 std::int32_t logoId, std::int32_t pageId, std::int32_t selectorId,
                 std::int32_t pressedId, PlugPrefs* prefs, CDIB* fontStrip)
    : CControl(size, listener, tag), prefs(prefs), closedRect(size),
      font(viewOf(fontStrip), 7, 11, 0), page(new CDIB(pageId)), logo(new CDIB(logoId)),
      work(new CDIB(page->getWidth(), page->getHeight())), selector(new CDIB(selectorId)),
      pressedImage(new CDIB(pressedId)) {
    pageRect = CRectangle(0, 0, page->getWidth(), page->getHeight());
}

nSplash::~nSplash() {
    page->forget();
    logo->forget();
    work->forget();
    selector->forget();
    pressedImage->forget();
}

bool nSplash::hitTest(const CPosition& where, std::int32_t buttons) {
    if (isOpen()) return true;
    const bool left = buttons == toolkit::kButtonsUnknown || (buttons & toolkit::buttonLeft);
    return left && mouseableArea.isInsideClosed(where);
}

void nSplash::draw(toolkit::CDrawContext* context) {
    if (isOpen() && !viewOf(page).empty()) {
        drawPage();
        work->draw(context, size);
    } else {
        CPosition pointer;
        getMouseLocation(context, pointer);
        const std::int32_t half = logo->getWidth() / 2;
        logo->draw(context, size, CPosition(hitTest(pointer) ? half : 0, 0));
    }
    setDirty(false);
}

void nSplash::drawPage() {
    const PixelView target = viewOf(work);
    copyPixels(target, viewOf(page));
    for (int i = 0; i < kOptionGroups; ++i) {
        const OptionGroup& group = kOptionGroupTable[static_cast<std::size_t>(i)];
        const int word = prefs ? prefs->get(i) : 0;
        if (!kStereo && i == kPanLawGroup) {
            static constexpr const char* kLaw[3] = {"0", "-3", "-6"};
            const PageRect r = group.rect();
            font.drawText(target, r.left + kPanLawTextX, r.top + kPanLawTextY,
                          kLaw[((word % 3) + 3) % 3], kPanLawInk);
            continue;
        }
        const SelectorPlacement at = selectorPlacement(group, word);
        copyPixels(pixelRegion(target, at.x, at.y, kSelectorWidth, kSelectorHeight),
                   pixelRegion(viewOf(selector), 0, at.sourceRow, kSelectorWidth, kSelectorHeight));
    }
    if (pressed >= 0) {
        // The pressed image is one row shorter than the Close button's copy: the copy
        // stops at the image's last row.
        const PressedCopy copy = pressedCopy(pressed);
        const int w = copy.target.right - copy.target.left;
        const int h = copy.target.bottom - copy.target.top;
        copyPixels(pixelRegion(target, copy.target.left, copy.target.top, w, h),
                   pixelRegion(viewOf(pressedImage), copy.sourceX, copy.sourceY, w, h));
    }
}

bool nSplash::leftButtonDown(toolkit::CDrawContext* context) const {
    return context && (context->getMouseButtons() & toolkit::buttonLeft);
}

void nSplash::mouse(toolkit::CDrawContext* context, CPosition& where, std::int32_t buttons) {
    if (buttons == toolkit::kButtonsUnknown) buttons = context ? context->getMouseButtons() : 0;
    if (!(buttons & toolkit::buttonLeft)) return;
    if (!isOpen()) {
        openPage();
        return;
    }
    const int x = where.x - size.left;
    const int y = where.y - size.top;
    const int group = optionGroupAt(x, y, !kStereo);
    if (group >= 0) {
        trackGroup(context, group);
        return;
    }
    const int button = pageButtonAt(x, y);
    if (button >= 0) trackButton(context, button);
}

void nSplash::openPage() {
    if (prefs) {
        for (int i = 0; i < kPrefWords; ++i)
            saved[i] = prefs->get(i);
    }
    toolkit::CFrame* frame = getFrame();
    if (!frame || !frame->setModalView(this)) return;
    value = 1.0f;
    closedRect = size;
    setViewSize(pageRect);
    redraw();
}

void nSplash::closePage() {
    value = 0.0f;
    setViewSize(closedRect);
    if (toolkit::CFrame* frame = getFrame()) {
        frame->setModalView(nullptr);
        frame->redraw();
    }
}

void nSplash::trackGroup(toolkit::CDrawContext* context, int group) {
    const OptionGroup& g = kOptionGroupTable[static_cast<std::size_t>(group)];
    while (leftButtonDown(context)) {
        CPosition pointer;
        getMouseLocation(context, pointer);
        if (prefs) prefs->set(group, optionFromY(pointer.y - size.top, g));
        redraw();
        doIdleStuff();
    }
}

void nSplash::trackButton(toolkit::CDrawContext* context, int button) {
    pressed = button;
    redraw();
    while (leftButtonDown(context))
        doIdleStuff();
    // The button acts wherever the pointer was released.
    switch (button) {
    case kRevertButton:
        if (prefs) (void)prefs->loadPrefs(); // a failed load changes nothing
        break;
    case kSaveButton:
        if (prefs) prefs->savePrefs();
        break;
    case kCloseButton:
        if (prefs) {
            for (int i = 0; i < kPrefWords; ++i)
                prefs->set(i, saved[i]);
        }
        closePage();
        break;
    case kApplyButton:
        closePage();
        break;
    default:
        break;
    }
    pressed = -1;
    redraw();
}

} // namespace kavet::editor
