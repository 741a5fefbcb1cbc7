#include "ntext.h"

#include "cdib.h"
#include "pixels/pixel_region.h"
#include "pixels/readout_text.h"
#include "toolkit/drawcontext.h"
#include "toolkit/frame.h"

#include <cstring>

namespace kavet::editor {

using toolkit::CPosition;
using toolkit::CRectangle;

namespace {

PixelView viewOf(const CDIB* dib) {
    return dib ? dib->view() : PixelView{};
}

DigitFont fieldFont(const CDIB* strip, bool editable) {
    return editable ? editFont(viewOf(strip)) : readoutFont(viewOf(strip));
}

} // namespace

nText::nText(const CRectangle& size, std::int32_t tag, toolkit::CControlListener* listener,
             CDIB* fontStrip, CDIB* background, StringValParameter* source, bool editable)
    : CTextEdit(size, this, tag, nullptr, nullptr, 0), source(source), editorListener(listener),
      editable(editable), font(fieldFont(fontStrip, editable)),
      work(new CDIB(size.width(), size.height())), snapshot(new CDIB(size.width(), size.height())) {
    copySnapshot(background);
    if (source) source->getText(tag, text);
    text[kTextSize - 1] = 0;
    setDirty(true);
}

nText::~nText() {
    work->forget();
    snapshot->forget();
}

void nText::copySnapshot(CDIB* background) {
    const PixelView from = viewOf(background);
    // The part of the background under the control (the editor's rectangles lie inside it).
    copyPixels(snapshot->view(),
               pixelRegion(from, size.left, size.top, size.width(), size.height()));
}

void nText::setValue(float x) {
    CTextEdit::setValue(x);
    if (editable) {
        char shown[kTextSize] = {};
        if (source) source->getText(tag, shown);
        shown[kTextSize - 1] = 0;
        setText(shown);
    } else {
        setText(readoutText(x).text);
    }
}

void nText::setCentred(bool c) {
    if (c != centred) setDirty(true);
    centred = c;
}

void nText::draw(toolkit::CDrawContext* context) {
    if (getPlatformControl()) {
        CTextEdit::draw(context); // the entry window shows the text
        return;
    }
    const PixelView target = work->view();
    if (textStartX(font.textWidth(text), target.width, centred) < 0) {
        setDirty(false); // too wide: the field keeps what it showed
        return;
    }
    copyPixels(target, snapshot->view());
    drawFieldText(target, font, text, centred, editable ? kEditInk : kReadoutInk);
    work->draw(context, size);
    setDirty(false);
}

void nText::mouse(toolkit::CDrawContext* context, CPosition&, std::int32_t buttons) {
    if (buttons == toolkit::kButtonsUnknown) buttons = context ? context->getMouseButtons() : 0;
    toolkit::CFrame* frame = getFrame();
    if (!(buttons & toolkit::buttonLeft) || (frame && frame->getFocusView() == this)) return;
    if (editable) {
        if (frame) frame->setFocusView(this);
        takeFocus(context);
        return;
    }
    setValue(0.0f);
    if (editorListener) editorListener->valueChanged(context, this);
}

void nText::valueChanged(toolkit::CDrawContext* context, toolkit::CControl*) {
    if (!editable) return;
    if (wasReturnPressed()) {
        if (source) source->setFromText(tag, text);
        if (editorListener) editorListener->valueChanged(context, this);
    } else if (source) {
        source->getText(tag, text);
        text[kTextSize - 1] = 0;
    }
    setDirty(true);
}

} // namespace kavet::editor
