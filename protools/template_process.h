// CTemplateNoUIProcess: the part of a plug-in instance that does not depend on how it is
// rendered. It answers ITemplateProcess by forwarding to the framework's process and owns
// the editor wrapper once one is attached.
#pragma once

#include "framework/effect_process_midi.h"
#include "itemplate_process.h"

class CTemplateNoUIProcess : public CEffectProcessMIDI, public ITemplateProcess {
public:
    CTemplateNoUIProcess(); // module handle from the module state
    ~CTemplateNoUIProcess() override;

    std::int32_t SetHostControlValue(long index, std::int32_t value) override;
    std::int32_t GetHostControlValue(long index, std::int32_t* value) override;
    std::int32_t GetHostControlDefaultValue(long index, std::int32_t* value) override;
    void AttachCustomUI(ITemplateCustomUI* ui) override;
    std::int32_t TouchHostControl(long index) override;
    std::int32_t ReleaseHostControl(long index) override;
    std::int32_t QueryFramework(long selector) override;
    HMODULE ModuleInstance() override { return module_; }
    std::int32_t EnterPlugInResources() override;
    void LeavePlugInResources(std::int32_t previous) override;

protected:
    // The wrapper is deleted before the subclass deletes the effect whose editor it shows.
    void DeleteCustomUI();

private:
    ITemplateCustomUI* customUI_ = nullptr; // owned
    HMODULE module_ = nullptr;
};
