#include "template_noui_view.h"

#include "itemplate_custom_ui.h"

#include <new>

void CTemplateNoUIView::Draw(const ptfw::ViewRect& area) {
    if (ui_) ui_->Draw(area.left, area.top, area.right, area.bottom);
}

CCustomView* NewNoUIView() {
    return new (std::nothrow) CTemplateNoUIView;
}
