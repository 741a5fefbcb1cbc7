#include "cqrlframe.h"

namespace kavet::editor {

using toolkit::CControl;
using toolkit::CPosition;
using toolkit::CRectangle;

CQRLFrame::CQRLFrame(const CRectangle& size, void* systemWindow, AEffGUIEditor* editor)
    : CFrame(size, systemWindow, editor) {}

bool CQRLFrame::onDropFiles(void** items, std::int32_t count, std::int32_t type, CPosition& where) {
    if (CView* modal = getModalView()) return modal->onDropFiles(items, count, type, where);
    if (getFocusView() != nullptr) return false;
    for (CCView* link = pFirstView; link != nullptr; link = link->pNext) {
        CView* child = link->pView;
        if (!child->getMouseEnabled()) continue;
        CRectangle area;
        child->getMouseableArea(area);
        if (area.isInsideClosed(where) && child->onDropFiles(items, count, type, where))
            return true;
    }
    return false;
}

CQRLFrame::CCView* CQRLFrame::getFirstChild() const {
    return pFirstView;
}

CControl* CQRLFrame::findControl(std::int32_t tag) const {
    for (CCView* link = getFirstChild(); link != nullptr; link = link->pNext) {
        auto* control = dynamic_cast<CControl*>(link->pView);
        if (control != nullptr && control->getTag() == tag) return control;
    }
    return nullptr;
}

} // namespace kavet::editor
