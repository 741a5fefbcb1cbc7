// CTemplateNoUIProcess: the part of a plug-in instance that does not depend on how it is
// rendered. It answers ITemplateProcess by forwarding to the framework's process and owns
// the editor wrapper once one is attached.
#pragma once

#include "itemplate_process.h"
#include "protools/framework/effect_process_midi.h"

class CTemplateNoUIProcess : public CEffectProcessMIDI, public ITemplateProcess {
public:
    CTemplateNoUIProcess(); // module handle from the module state
    ~CTemplateNoUIProcess() override;

    std::int32_t SetHostControlValue(long index, std::int32_t value) override;
    [[nodiscard]] std::int32_t GetHostControlValue(long index, std::int32_t* value) override;
    [[nodiscard]] std::int32_t GetHostControlDefaultValue(long index, std::int32_t* value) override;
    void AttachCustomUI(ITemplateCustomUI* ui) override;
    std::int32_t TouchHostControl(long index) override;
    std::int32_t ReleaseHostControl(long index) override;
    std::int32_t QueryFramework(long selector) override;
    HMODULE ModuleInstance() override { return module_; }
    std::int32_t EnterPlugInResources() override;
    void LeavePlugInResources(std::int32_t previous) override;

    // The view operations. [UI thread] The editor wrapper is made by the first rectangle
    // or view request, and only for an effect that has an editor: without one the process
    // answers an empty rectangle and no view.
    void GetViewRect(PtViewRect* rect) override;
    CCustomView* CreateCustomPlugInView() override;
    // With a port: opens the editor in the port's window, activates the view and draws it.
    // With null: closes the editor and deactivates the view. Throws CDAEError when the
    // editor's window cannot be made.
    void SetViewPort(void* port) override;
    void DoIdle() override; // idles the editor while the port is attached
    ITemplateCustomUI* GetCustomUI() const { return customUI_; }

protected:
    // The wrapper is deleted before the subclass deletes the effect whose editor it shows;
    // an editor still open is closed first.
    void DeleteCustomUI();

private:
    // Creates the wrapper if there is none and the effect has an editor; false without.
    bool EnsureCustomUI();
    void KeepViewRect();
    void DetachViewFromCustomUI();

    PtViewRect viewRect_{0, 0, 0, 0};       // the wrapper's rectangle, kept from the last request
    ITemplateCustomUI* customUI_ = nullptr; // owned
    HMODULE module_ = nullptr;
};
