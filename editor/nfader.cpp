#include "nfader.h"

#include "core/config.h"
#include "toolkit/drawcontext.h"

#include <array>
#include <cstring>

namespace kavet::editor {

using toolkit::CDrawContext;
using toolkit::CPosition;
using toolkit::CRectangle;

namespace {

constexpr MeterLayout kLayout = kavet::kStereo ? MeterLayout::Stereo : MeterLayout::Mono;

PixelView viewOf(const CDIB* dib) {
    return dib ? dib->view() : PixelView{};
}

} // namespace

nFader::nFader(const CRectangle& size, std::int32_t tag, toolkit::CControlListener* listener,
               std::int32_t capId, std::int32_t maskId, std::int32_t stripId, CDIB* smallFont,
               CDIB* background, float initialValue)
    : nControl(size, listener, tag, background, initialValue), cap(new CDIB(capId)),
      capMask(new CDIB(maskId)), strip(new CDIB(stripId)),
      painter_(kLayout,
               FaderBitmaps{cap->view(), capMask->view(), strip->view(), viewOf(smallFont)}),
      model_(initialValue) {
    fDefault = FaderModel::kDefaultValue;
    modelChanged();
}

nFader::~nFader() {
    cap->forget();
    capMask->forget();
    strip->forget();
}

double nFader::positionToLevel(double p) {
    return editor::positionToLevel(p);
}

double nFader::levelToPosition(double l) {
    return editor::levelToPosition(l);
}

void nFader::scaleLabel(std::int32_t pixel, char* text, bool normalOnly) {
    const ScaleLabel label = editor::scaleLabel(pixel, model_, normalOnly);
    std::memcpy(text, label.text, sizeof(label.text));
}

void nFader::drawFaderScale(CDIB* buffer) {
    painter_.drawFaderScale(viewOf(buffer), model_);
}

void nFader::drawMeters(CDIB* buffer) {
    painter_.drawMeters(viewOf(buffer));
}

void nFader::drawMarker(CDIB* buffer, std::int32_t x, std::int32_t y, std::uint32_t colour,
                        bool pointsLeft) {
    editor::drawMarker(viewOf(buffer), x, y, colour, pointsLeft);
}

void nFader::drawHoldMarks(CDIB* buffer) {
    painter_.drawHoldMarks(viewOf(buffer));
}

void nFader::setLevels(const double levels[8], bool rmsFresh) {
    std::array<double, 8> values{};
    for (int i = 0; i < 8; ++i)
        values[i] = levels[i];
    painter_.setLevels(values, rmsFresh);
    setDirty(true);
}

void nFader::setHolds(double peakLeft, double peakRight, double rmsLeft, double rmsRight) {
    painter_.setHolds(peakLeft, peakRight, rmsLeft, rmsRight);
}

void nFader::setPostFader(bool on) {
    painter_.setPostFader(on);
}

void nFader::setFineMode(bool on, std::int32_t rangeIndex) {
    // A silent fader has no window to spread: fine mode stays off at gain 0.
    model_.setFineMode(on && model_.storedValue() > 0, rangeIndex);
    modelChanged();
}

void nFader::setPosition(float p) {
    model_.setPosition(p);
    modelChanged();
}

void nFader::drawCap(CDIB* buffer, std::int32_t x, std::int32_t y, std::int32_t capWidth,
                     std::int32_t rows, std::int32_t) {
    editor::drawCap(viewOf(buffer), x, y, capWidth, rows, cap->view(), capMask->view());
}

void nFader::draw(CDrawContext* context) {
    if (work->getPixels() == nullptr) {
        setDirty(false);
        return;
    }
    restoreWork();
    drawFaderScale(work);
    const int y = model_.capRow();
    drawCap(work, kCapX, y, kCapWidth, capRowsDrawn(y, height), cap->getStride());
    drawMeters(work);
    drawHoldMarks(work);
    showWork(context);
}

void nFader::mouse(CDrawContext* context, CPosition& where, std::int32_t buttons) {
    // The meter half and the outside take no clicks.
    if (!faderTakesPress(where.x - size.left, where.y - size.top, width, height)) return;
    if (buttons == -1) buttons = context ? context->getMouseButtons() : 0;
    if (isResetPress(context, buttons)) {
        resetGesture(context, [this] {
            model_.reset();
            modelChanged();
        });
        return;
    }
    if ((buttons & toolkit::buttonLeft) == 0) return;
    // Only a press on the cap moves the fader; the track elsewhere does nothing.
    int previous = where.y - size.top;
    if (!model_.hitsCap(previous)) return;
    beginEdit();
    showCursor(false, false);
    dragLoop(context, [this, &previous](const CPosition& pointer, bool shift) {
        const int d = pointer.y - size.top;
        model_.drag(previous, d, shift);
        modelChanged();
        previous = d;
    });
    showCursor(true, false);
    endEdit();
}

void nFader::setValue(float x) {
    if (model_.fineMode() && (x <= 0 || model_.storedValue() <= 0)) {
        // Gain 0 leaves fine mode and shows 0; a gain after 0 centres a new window on itself.
        const int index = model_.fineRangeIndex();
        model_.setFineMode(false, index);
        model_.setValue(x);
        if (x > 0) model_.setFineMode(true, index);
    } else {
        model_.setValue(x);
    }
    modelChanged();
}

float nFader::getValue() const {
    return model_.getValue();
}

nFader::Shown nFader::shownState() const {
    return Shown{model_.storedValue(), model_.position(),  model_.finePosition(),
                 model_.fineCentre(),  model_.fineRange(), model_.fineMode()};
}

void nFader::modelChanged() {
    // CControl's value is the stored parameter value, nControl's the normal-mode position.
    value = model_.storedValue();
    fValue = model_.position();
    const Shown now = shownState();
    if (!(now == shown)) {
        shown = now;
        setDirty(true);
    }
}

} // namespace kavet::editor
