// One effect instance of a loaded VST 2.4 module, driven as a host drives it: created
// through the entry with this host's callback, opened, set up while suspended, resumed,
// processed, suspended and closed.
#pragma once

#include "vst_module.h"

#include <atomic>
#include <memory>
#include <string>

namespace kavet::host {

// Hears the parameter changes that the effect reports (audioMasterAutomate): a user's edits
// in its editor. Called on the thread the effect reports from, the user-interface thread
// inside effEditIdle as a rule, and from within the effect's own call: it must not call the
// effect back, only note the change.
class ParameterListener {
public:
    virtual ~ParameterListener() = default;
    virtual void parameterChanged(int index, float normalised) = 0;
};

class VstPlugin {
public:
    // Calls the module's entry and sends effOpen. Throws HostError when the entry answers
    // null or the record is not a VST 2.4 effect record (wrong magic, no dispatcher).
    explicit VstPlugin(std::shared_ptr<const VstModule> module);
    // Suspends the effect when it runs, then closes it (effClose destroys it).
    ~VstPlugin();

    VstPlugin(const VstPlugin&) = delete;
    VstPlugin& operator=(const VstPlugin&) = delete;

    const AEffect& effect() const { return *effect_; }
    const VstModule& module() const { return *module_; }
    int numInputs() const { return effect_->numInputs; }
    int numOutputs() const { return effect_->numOutputs; }
    int numParams() const { return effect_->numParams; }
    bool hasFlag(VstInt32 flag) const { return (effect_->flags & flag) != 0; }
    bool canProcessDouble() const;

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);

    std::string vendorString();
    std::string productString();
    std::string effectName();
    std::string parameterName(int index);
    std::string parameterLabel(int index);
    std::string parameterDisplay(int index);
    VstIntPtr vendorVersion() { return dispatch(effGetVendorVersion); }
    VstIntPtr vstVersion() { return dispatch(effGetVstVersion); }

    // The listener for the effect's parameter changes, or null for none; it must outlive
    // the effect or be replaced first.
    void setParameterListener(ParameterListener* listener) { listener_ = listener; }

    void setParameter(int index, float normalised);
    float getParameter(int index);

    // Set while suspended; the host callback answers them too.
    void setSampleRate(float hz);
    void setBlockSize(int frames);
    float sampleRate() const { return sampleRate_; }
    int blockSize() const { return blockSize_; }

    void resume();  // effMainsChanged 1
    void suspend(); // effMainsChanged 0
    bool running() const { return running_; }

    // Replacing processing of `frames` samples on numInputs()/numOutputs() buffers. A module
    // without processReplacing gets its accumulating process on cleared outputs.
    void process(float** inputs, float** outputs, int frames, int outputCount);
    // Requires canProcessDouble().
    void process(double** inputs, double** outputs, int frames);

private:
    static VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                              VstIntPtr value, void* ptr, float opt);
    std::string text(VstInt32 opcode, VstInt32 index);

    std::shared_ptr<const VstModule> module_;
    AEffect* effect_ = nullptr;
    float sampleRate_ = 44100.0f;
    int blockSize_ = 512;
    bool running_ = false;
    std::atomic<ParameterListener*> listener_{nullptr}; // read on the effect's threads
};

// The version this host reports to audioMasterVersion.
constexpr VstIntPtr kHostVstVersion = 2400;

} // namespace kavet::host
