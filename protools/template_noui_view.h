// CTemplateNoUIView: the placeholder view that the description "!NoUIView[('NoID')]"
// instantiates. It draws by asking the attached editor wrapper to draw the same rectangle.
// [UI thread]
#pragma once

#include "protools/framework/custom_view.h"

class ITemplateCustomUI;

class CTemplateNoUIView : public CCustomView {
public:
    void AttachCustomUI(ITemplateCustomUI* ui) { ui_ = ui; }
    ITemplateCustomUI* GetCustomUI() const { return ui_; }
    void Draw(const ptfw::ViewRect& area) override;

private:
    ITemplateCustomUI* ui_ = nullptr; // not owned
};

// CNoResourceView: the root of the plug-in's view tree when there is no view resource; it
// has no behaviour of its own.
class CNoResourceView : public CCustomView {};

inline constexpr const char* kNoUIViewDescription = "!NoUIView[('NoID')]";

// The view factory registered under "NoUIView": null when allocation fails.
CCustomView* NewNoUIView();
