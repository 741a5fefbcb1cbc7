// CTemplateNoUIView: the placeholder view that the description "!NoUIView[('NoID')]"
// instantiates. It draws by asking the attached editor wrapper to draw the same rectangle.
#pragma once

#include "framework/custom_view.h"

class ITemplateCustomUI;

class CTemplateNoUIView : public CCustomView {
public:
    void AttachCustomUI(ITemplateCustomUI* ui) { ui_ = ui; }
    ITemplateCustomUI* GetCustomUI() const { return ui_; }
    void Draw(const ptfw::ViewRect& area) override;

private:
    ITemplateCustomUI* ui_ = nullptr; // not owned
};

// The view factory registered under "NoUIView": null when allocation fails.
CCustomView* NewNoUIView();
