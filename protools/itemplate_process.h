// ITemplateProcess: how adaptor code outside the process class (the host callback, the
// editor wrapper) reaches a process. Slot order is fixed. [UI thread]
#pragma once

#include <windows.h>

#include <cstdint>

namespace kavet {
class Plug;
}
class ITemplateCustomUI;

class ITemplateProcess {
public:
    virtual ~ITemplateProcess() = default;
    // 1: set host control `index` (1-based) from the plug-in: the host records automation,
    // then the algorithm update follows.
    virtual std::int32_t SetHostControlValue(long index, std::int32_t value) = 0;
    // 2, 3: the control's current and default control values.
    [[nodiscard]] virtual std::int32_t GetHostControlValue(long index, std::int32_t* value) = 0;
    [[nodiscard]] virtual std::int32_t GetHostControlDefaultValue(long index,
                                                                  std::int32_t* value) = 0;
    // 4: the editor wrapper (owned by the process from then on).
    virtual void AttachCustomUI(ITemplateCustomUI* ui) = 0;
    // 5, 6: gesture on host control `index` begins / ends.
    virtual std::int32_t TouchHostControl(long index) = 0;
    virtual std::int32_t ReleaseHostControl(long index) = 0;
    // 7: the framework value of selector 0 (the sample rate).
    virtual std::int32_t QueryFramework(long selector) = 0;
    // 8: the module's handle, captured at construction.
    virtual HMODULE ModuleInstance() = 0;
    // 9, 10: enter the plug-in's resource context (answers the previous one) and leave it.
    virtual std::int32_t EnterPlugInResources() = 0;
    virtual void LeavePlugInResources(std::int32_t previous) = 0;
    // 11: the owned effect; null when it could not be created.
    virtual kavet::Plug* GetEffect() = 0;
};
