// CTextEdit: a text display that opens a native "EDIT" window over itself for typing. The
// edit ends by Return or by the loss of the keyboard focus, both keeping the typed text; a
// changed text is reported to the listener once. [UI thread]; one edit open at a time.
#pragma once

#include "paramdisplay.h"

#include <windows.h>

#include <cstdint>

namespace toolkit {

// Text to the text shown; `out` holds at least 256 bytes.
using CTextEditStringToStringProc = void (*)(char* in, char* out);
using CTextEditStringToStringProcWithData = void (*)(char* in, char* out, void* userData);

class CTextEdit : public CParamDisplay {
public:
    // A null text gives an empty string; longer texts keep their first kMaxTextLength bytes.
    CTextEdit(const CRectangle& size, CControlListener* listener, std::int32_t tag,
              const char* text = nullptr, CBitmap* background = nullptr, std::int32_t style = 0);
    ~CTextEdit() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPosition& where, std::int32_t buttons = -1) override;
    // Ends an open edit: reads the typed text back, reports a change, repaints.
    void loseFocus(CDrawContext* context = nullptr) override;
    // Opens the edit window over the control (the caller made it the frame's focus view).
    void takeFocus(CDrawContext* context = nullptr) override;

    // Virtual slots in this order, after CParamDisplay's.
    virtual void setText(const char* txt);
    virtual void getText(char* txt) const;
    virtual void setTextEditConvertWithData(CTextEditStringToStringProcWithData convert,
                                            void* data);
    virtual void setTextEditConvert(CTextEditStringToStringProc convert);

    // The edit window, null while not editing.
    HWND getPlatformControl() const { return platformControl; }
    // Whether the last edit ended by Return (rather than by the loss of the focus).
    bool wasReturnPressed() const { return returnPressed; }
    // The brush the frame window made for the edit window's background (WM_CTLCOLOREDIT);
    // owned by the control from then on and deleted when the edit ends.
    HBRUSH getEditBrush() const { return editBrush; }
    void setEditBrush(HBRUSH brush) { editBrush = brush; }

    static constexpr int kTextSize = 256;                // buffer bytes, terminator included
    static constexpr int kMaxTextLength = kTextSize - 1; // characters the edit window takes

protected:
    // Window procedure of the edit window while the control owns it.
    static LRESULT CALLBACK editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The control's rectangle in the frame window's coordinates.
    CRectangle editRectangle(CDrawContext* context) const;
    void createEditFont(const CRectangle& rect);
    void reportChange(CDrawContext* context);
    // Deletes the edit font and the background brush, when present.
    void releaseEditObjects();

    HBRUSH editBrush = nullptr;
    HWND platformControl = nullptr;
    bool returnPressed = false;
    HFONT platformFont = nullptr;
    char text[kTextSize] = {};
    CTextEditStringToStringProc editConvert = nullptr;
    CTextEditStringToStringProcWithData editConvert2 = nullptr;
};

} // namespace toolkit
