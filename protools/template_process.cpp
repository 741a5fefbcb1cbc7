#include "template_process.h"

#include "module_state.h"
#include "template_custom_ui.h"
#include "template_noui_view.h"

#include "protools/framework/host_library.h"
#include "protools/framework/view_registry.h"

#include "core/plug.h"

#include <memory>

CTemplateNoUIProcess::CTemplateNoUIProcess() : module_(kavet::pt::Module().module) {}

CTemplateNoUIProcess::~CTemplateNoUIProcess() {
    DeleteCustomUI();
}

void CTemplateNoUIProcess::DeleteCustomUI() {
    if (customUI_ == nullptr) return;
    DetachViewFromCustomUI();
    customUI_->Close(); // false when nothing is open
    delete customUI_;
    customUI_ = nullptr;
}

void CTemplateNoUIProcess::DetachViewFromCustomUI() {
    const CCustomView* root = GetCurrentView();
    if (root == nullptr) return;
    for (std::size_t i = 0; i < root->GetChildCount(); ++i)
        if (auto* view = dynamic_cast<CTemplateNoUIView*>(root->GetChild(i)))
            if (view->GetCustomUI() == customUI_) view->AttachCustomUI(nullptr);
}

// ---------------------------------------------------------------------------------------
// The view operations

bool CTemplateNoUIProcess::EnsureCustomUI() {
    if (customUI_ != nullptr) return true;
    kavet::Plug* effect = GetEffect();
    if (effect == nullptr || effect->getEditor() == nullptr) return false;
    AttachCustomUI(new CTemplateCustomUI(this));
    return true;
}

void CTemplateNoUIProcess::KeepViewRect() {
    long left = 0, top = 0, right = 0, bottom = 0;
    customUI_->GetRect(&left, &top, &right, &bottom);
    viewRect_ = PtViewRect{static_cast<std::int16_t>(top), static_cast<std::int16_t>(left),
                           static_cast<std::int16_t>(bottom), static_cast<std::int16_t>(right)};
}

void CTemplateNoUIProcess::GetViewRect(PtViewRect* rect) {
    if (EnsureCustomUI()) KeepViewRect();
    if (rect != nullptr) *rect = viewRect_;
}

CCustomView* CTemplateNoUIProcess::CreateCustomPlugInView() {
    std::unique_ptr<CNoResourceView> root;
    try {
        if (!EnsureCustomUI()) return nullptr;
        KeepViewRect();
        root = std::make_unique<CNoResourceView>();
        root->SetSize(viewRect_.right, viewRect_.bottom);
        auto placeholder = ptfw::BuildViewFromDescription(
            kNoUIViewDescription, ptfw::ViewRect{0, 0, viewRect_.right, viewRect_.bottom});
        if (auto* view = dynamic_cast<CTemplateNoUIView*>(placeholder.get()))
            view->AttachCustomUI(customUI_);
        if (placeholder) root->AddChild(std::move(placeholder));
        return root.release();
    } catch (...) {
        DeleteCustomUI();
        return nullptr;
    }
}

void CTemplateNoUIProcess::SetViewPort(void* port) {
    CEffectProcess::SetViewPort(port);
    if (port != nullptr) {
        if (customUI_ == nullptr) return;
        customUI_->Close(); // a second port without a detach: one child window only
        bool opened = false;
        try {
            opened = customUI_->Open(ptfw::hostlib::PortToWindow(port));
        } catch (...) {
            CEffectProcess::SetViewPort(nullptr); // nothing shows in the host's window
            throw;
        }
        if (!opened) return;
        ActivateView(true);
        customUI_->Draw(viewRect_.left, viewRect_.top, viewRect_.right, viewRect_.bottom);
    } else {
        if (customUI_ != nullptr) customUI_->Close();
        ActivateView(false);
    }
}

void CTemplateNoUIProcess::DoIdle() {
    if (customUI_ != nullptr && GetViewPort() != nullptr) customUI_->Idle();
}

std::int32_t CTemplateNoUIProcess::SetHostControlValue(long index, std::int32_t value) {
    return SetControlValue(index, value);
}

std::int32_t CTemplateNoUIProcess::GetHostControlValue(long index, std::int32_t* value) {
    return GetControlValue(index, value);
}

std::int32_t CTemplateNoUIProcess::GetHostControlDefaultValue(long index, std::int32_t* value) {
    return GetControlDefaultValue(index, value);
}

void CTemplateNoUIProcess::AttachCustomUI(ITemplateCustomUI* ui) {
    if (ui != customUI_) DeleteCustomUI();
    customUI_ = ui;
}

std::int32_t CTemplateNoUIProcess::TouchHostControl(long index) {
    return TouchControl(index);
}

std::int32_t CTemplateNoUIProcess::ReleaseHostControl(long index) {
    return ReleaseControl(index);
}

std::int32_t CTemplateNoUIProcess::QueryFramework(long selector) {
    return GetFrameworkValue(selector);
}

std::int32_t CTemplateNoUIProcess::EnterPlugInResources() {
    return EnterResourceContext();
}

void CTemplateNoUIProcess::LeavePlugInResources(std::int32_t previous) {
    LeaveResourceContext(previous);
}
