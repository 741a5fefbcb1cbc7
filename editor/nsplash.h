// nSplash: the logo, which highlights under the pointer and opens the options page over the
// whole editor. The page edits the seven live preference words at once (the effect and the
// editor use them immediately); Close puts back the words the page opened with, Apply keeps
// the edits, Revert and Save load and store the user's defaults. [UI thread]
#pragma once

#include "core/prefs.h"
#include "pixels/digit_font.h"
#include "toolkit/control.h"

#include <cstdint>

namespace kavet::editor {

class CDIB;

class nSplash : public toolkit::CControl {
public:
    // Bitmaps by resource id (owned): the logo (normal and highlighted halves), the page,
    // the option selector (two frames of 15 rows) and the pressed buttons. `prefs` is the
    // effect's live record; `fontStrip` (7 x 11 cells) is not owned and must outlive this.
    nSplash(const toolkit::CRectangle& size, std::int32_t tag, toolkit::CControlListener* listener,
            std::int32_t logoId, std::int32_t pageId, std::int32_t selectorId,
            std::int32_t pressedId, PlugPrefs* prefs, CDIB* fontStrip);
    ~nSplash() override;

    // Open: every click belongs to the page. Closed: a left click (or unknown buttons) in
    // the mouseable area.
    bool hitTest(const toolkit::CPosition& where, std::int32_t buttons = -1) override;
    void draw(toolkit::CDrawContext* context) override;
    void mouse(toolkit::CDrawContext* context, toolkit::CPosition& where,
               std::int32_t buttons = -1) override;

    bool isOpen() const { return value != 0.0f; }
    // The button drawn pressed, -1 for none.
    int getPressedButton() const { return pressed; }

private:
    void openPage();
    void closePage();
    void trackGroup(toolkit::CDrawContext* context, int group);
    void trackButton(toolkit::CDrawContext* context, int button);
    void drawPage();
    bool leftButtonDown(toolkit::CDrawContext* context) const;

    PlugPrefs* prefs;                    // not owned
    std::int32_t saved[kPrefWords] = {}; // the live words when the page opened
    toolkit::CRectangle pageRect;
    toolkit::CRectangle closedRect;
    DigitFont font;
    int pressed = -1;
    CDIB* page;         // owned
    CDIB* logo;         // owned
    CDIB* work;         // owned, the page's size
    CDIB* selector;     // owned
    CDIB* pressedImage; // owned
};

} // namespace kavet::editor
