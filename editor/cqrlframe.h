// CQRLFrame: the editor's frame. It offers dropped files to the modal view, or else to the
// children under the drop point, and lets the editor walk its child list to find controls
// by tag. [UI thread]
#pragma once

#include "toolkit/control.h"
#include "toolkit/frame.h"

namespace kavet::editor {

class CQRLFrame : public toolkit::CFrame {
public:
    // A link of the child list: `pView`, then `pNext` (null after the last child).
    using toolkit::CViewContainer::CCView;

    CQRLFrame(const toolkit::CRectangle& size, void* systemWindow, AEffGUIEditor* editor);

    // With a modal view, the drop is the modal view's to take. Otherwise, unless a view has
    // the focus (a text entry is open), it goes to the mouse-enabled children whose mouseable
    // area contains `where` (frame coordinates), first added first, until one accepts it.
    bool onDropFiles(void** items, std::int32_t count, std::int32_t type,
                     toolkit::CPosition& where) override;

    // Virtual slots in this order, after those of CFrame.
    // The head of the child list (creation order); null without children.
    virtual CCView* getFirstChild() const;
    // The first child, in creation order, that is a control with `tag`; null if none.
    virtual toolkit::CControl* findControl(std::int32_t tag) const;
};

} // namespace kavet::editor
