// nText: a numeric field of the editor. Editable fields (Gain, Trim, Pan values) show the
// parameter's display text and open the toolkit's text-entry window on a click; readouts
// (peak and RMS) print an amplitude in dB, or "-", and clear the editor's maxima on a click.
// The text is drawn with the bitmap digit font over a snapshot of the background.
// [UI thread]
#pragma once

#include "pixels/digit_font.h"
#include "stringvalparameter.h"
#include "toolkit/textedit.h"

#include <cstdint>

namespace kavet::editor {

class CDIB;

class nText : public toolkit::CTextEdit, public toolkit::CControlListener {
public:
    // `fontStrip` (7 x 11 cells for editable fields, 6 x 9 for readouts) and `background`
    // (the editor's full background, read once here) are not owned; the strip must outlive
    // the field. `listener` is the editor, `source` converts values and text.
    nText(const toolkit::CRectangle& size, std::int32_t tag, toolkit::CControlListener* listener,
          CDIB* fontStrip, CDIB* background, StringValParameter* source, bool editable);
    ~nText() override;

    // Editable: the source's display of the current value; readout: x as dB ("%6.2f") or "-".
    void setValue(float x) override;
    void draw(toolkit::CDrawContext* context) override;
    void mouse(toolkit::CDrawContext* context, toolkit::CPosition& where,
               std::int32_t buttons = -1) override;

    // The end of a text entry whose text changed (CTextEdit reports it here): Return applies
    // the typed text, a loss of focus puts the current value's text back.
    void valueChanged(toolkit::CDrawContext* context, toolkit::CControl* control) override;

    // Virtual slot after CTextEdit's: centred (true) or right-aligned text.
    virtual void setCentred(bool centred);

    bool isCentred() const { return centred; }
    bool isEditable() const { return editable; }
    const char* getTextPointer() const { return text; }

private:
    void copySnapshot(CDIB* background);

    StringValParameter* source;                // not owned
    toolkit::CControlListener* editorListener; // not owned
    bool centred = true;
    bool editable;
    DigitFont font;
    CDIB* work;     // owned, the control's size
    CDIB* snapshot; // owned, the background under the control
};

} // namespace kavet::editor
