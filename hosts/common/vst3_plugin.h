// One effect of a VST 3 module, driven as a host drives it: its processor (component and
// audio processor) and its controller created from the factory, initialised with the host
// application, connected to each other, set up, activated and processed, with its state
// kept and restored through memory streams and its view created for the host's window.
#pragma once

#include "vst3_component_handler.h"
#include "vst3_host_application.h"
#include "vst3_module.h"
#include "vst3_parameter_changes.h"

#include "vst3/all.h"

#include <memory>
#include <span>
#include <vector>

namespace kavet::host {

struct ProcessResult {
    bool ok = false;               // the call was made and the plug-in answered kResultOk
    vst3::uint64 silenceFlags = 0; // the output bus's, as the plug-in left them
};

// How the host connects processor and controller: each to the other itself, or each to a
// proxy of the host's that passes the other's messages on (as hosts that keep the two apart
// do: then only messages cross).
enum class Connection { Direct, Proxies };

class Vst3Plugin {
public:
    // Creates the processor of class `cid` and its controller (the component itself when it
    // is one, else the class getControllerClassId names), initialises both with this host's
    // application, connects them both ways, gives the controller the component's state and
    // this host's handler. Throws HostError when a step fails.
    Vst3Plugin(std::shared_ptr<const Vst3Module> module, const vst3::Uid& cid,
               Connection connection = Connection::Direct);
    // Stops and deactivates, disconnects, terminates and releases both. Views made by
    // createView must be released before.
    ~Vst3Plugin();
    Vst3Plugin(const Vst3Plugin&) = delete;
    Vst3Plugin& operator=(const Vst3Plugin&) = delete;

    vst3::IComponent* component() const { return component_.get(); }
    vst3::IAudioProcessor* processor() const { return processor_.get(); }
    vst3::IEditController* controller() const { return controller_.get(); }
    RecordingHandler& handler() const { return *handler_; }
    // The channels of the main audio buses (0 when there is none).
    vst3::int32 inputChannels() const { return inputChannels_; }
    vst3::int32 outputChannels() const { return outputChannels_; }

    // While inactive: setupProcessing (real time). False when the plug-in refuses.
    [[nodiscard]] bool setup(double sampleRate, vst3::int32 maxBlock,
                             vst3::int32 sampleSize = vst3::kSample32);
    // setActive(true) then setProcessing(true); and back. False when the plug-in refuses.
    [[nodiscard]] bool activate();
    void deactivate();
    bool active() const { return active_; }

    // One block of `frames` samples (0 allowed) on the main buses, in the sample size set up,
    // with `changes` as the block's input parameter changes. Refused (ok false, nothing
    // called) while inactive, for another sample size, more frames than set up, or changes
    // that do not fit ParameterChanges. [audio thread]
    ProcessResult process(const float* const* inputs, float* const* outputs, vst3::int32 frames,
                          std::span<const ParamChange> changes = {});
    ProcessResult process(const double* const* inputs, double* const* outputs, vst3::int32 frames,
                          std::span<const ParamChange> changes = {});

    // The component's state (getState into a memory stream); empty when it refuses.
    std::vector<unsigned char> state() const;
    // setState from a stream of `bytes`; when taken, the controller gets the same bytes
    // (setComponentState). Answers the component's result.
    vst3::tresult setState(const std::vector<unsigned char>& bytes);

    // The controller's editor view, or an empty reference.
    Ref<vst3::IPlugView> createView() const;

private:
    template <class Sample>
    ProcessResult processBlock(const Sample* const* inputs, Sample* const* outputs,
                               vst3::int32 frames, std::span<const ParamChange> changes,
                               vst3::int32 sampleSize);
    vst3::int32 mainBusChannels(vst3::int32 direction) const;

    std::shared_ptr<const Vst3Module> module_;
    Ref<HostApplication> application_;
    Ref<RecordingHandler> handler_;
    Ref<vst3::IComponent> component_;
    Ref<vst3::IAudioProcessor> processor_;
    Ref<vst3::IEditController> controller_;
    bool separateController_ = false;
    Ref<vst3::IConnectionPoint> componentPoint_, controllerPoint_;
    Ref<vst3::IConnectionPoint> componentProxy_, controllerProxy_; // Connection::Proxies
    Ref<ParameterChanges> inputChanges_, outputChanges_;
    vst3::int32 inputChannels_ = 0, outputChannels_ = 0;
    vst3::int32 sampleSize_ = vst3::kSample32;
    vst3::int32 maxBlock_ = 0;
    bool setUp_ = false, active_ = false;
    std::vector<void*> inputPointers_, outputPointers_; // sized once: no allocation per block
};

} // namespace kavet::host
