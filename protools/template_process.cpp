#include "template_process.h"

#include "itemplate_custom_ui.h"
#include "module_state.h"

CTemplateNoUIProcess::CTemplateNoUIProcess() : module_(kavet::pt::Module().module) {}

CTemplateNoUIProcess::~CTemplateNoUIProcess() {
    DeleteCustomUI();
}

void CTemplateNoUIProcess::DeleteCustomUI() {
    delete customUI_;
    customUI_ = nullptr;
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
