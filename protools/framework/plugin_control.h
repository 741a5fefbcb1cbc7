// CPluginControl: one host control of a process. The host automates, displays and stores
// controls by their integer control value; each control class maps its own value kind
// (continuous or discrete) onto that integer scale.
#pragma once

#include "fic_types.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

class CPluginControl {
public:
    CPluginControl(ptfw::OSType id, const char* name, bool automatable);
    virtual ~CPluginControl() = default;
    CPluginControl(const CPluginControl&) = delete;
    CPluginControl& operator=(const CPluginControl&) = delete;

    ptfw::OSType GetID() const { return id_; }
    const char* GetName() const { return name_.c_str(); }
    bool IsAutomatable() const { return automatable_; }

    // The current and the default control value, always within the control's own range.
    // [any thread]: the host's automation sets it on the audio thread, the editor's gestures
    // on the UI thread.
    std::int32_t GetValue() const { return value_.load(std::memory_order_relaxed); }
    void SetValue(std::int32_t value) {
        value_.store(ClampControlValue(value), std::memory_order_relaxed);
    }
    std::int32_t GetDefaultValue() const { return default_; }

    virtual bool IsContinuous() const = 0;
    virtual std::int32_t GetNumSteps() const = 0;
    // The nearest control value this control can hold.
    virtual std::int32_t ClampControlValue(std::int32_t value) const { return value; }
    // Display text of a control value, terminated within `size` bytes.
    virtual void GetValueString(std::int32_t value, char* text, std::size_t size) const = 0;
    // Control value for a typed text; false (value untouched) when the text is not understood.
    virtual bool GetValueFromString(const char* text, std::int32_t* value) const = 0;

protected:
    void InitValue(std::int32_t value) {
        default_ = ClampControlValue(value);
        value_.store(default_, std::memory_order_relaxed);
    }

private:
    ptfw::OSType id_;
    std::string name_;
    bool automatable_;
    std::atomic<std::int32_t> value_{0};
    std::int32_t default_ = 0;
};
