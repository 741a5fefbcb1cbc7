// The processing component: the effect (Plug) driven through the VST 3 processor
// interfaces. Threads as the interface assigns them: set-up, activation, state and the
// connection on the UI thread; process() on the audio thread.
#pragma once

#include "processor_access.h"
#include "ref_count.h"

#include "core/plug.h"
#include "vst3/component.h"
#include "vst3/messages.h"
#include "vst3/processor.h"

#include <atomic>

namespace kavet::vst3plugin {

class Processor final : public vst3::IComponent,
                        public vst3::IAudioProcessor,
                        public vst3::IConnectionPoint,
                        public IProcessorAccess {
public:
    // Null when the effect cannot be allocated. One reference for the caller.
    static Processor* create();

    vst3::tresult KAVET_VST3_CALL queryInterface(const char* iid, void** obj) override;
    vst3::uint32 KAVET_VST3_CALL addRef() override { return refs_.add(); }
    vst3::uint32 KAVET_VST3_CALL release() override;

    // IPluginBase
    vst3::tresult KAVET_VST3_CALL initialize(vst3::FUnknown* context) override;
    vst3::tresult KAVET_VST3_CALL terminate() override;

    // IComponent
    vst3::tresult KAVET_VST3_CALL getControllerClassId(char* classId) override;
    vst3::tresult KAVET_VST3_CALL setIoMode(vst3::int32 mode) override;
    vst3::int32 KAVET_VST3_CALL getBusCount(vst3::int32 type, vst3::int32 dir) override;
    vst3::tresult KAVET_VST3_CALL getBusInfo(vst3::int32 type, vst3::int32 dir, vst3::int32 index,
                                             vst3::BusInfo& bus) override;
    vst3::tresult KAVET_VST3_CALL getRoutingInfo(vst3::RoutingInfo& inInfo,
                                                 vst3::RoutingInfo& outInfo) override;
    vst3::tresult KAVET_VST3_CALL activateBus(vst3::int32 type, vst3::int32 dir, vst3::int32 index,
                                              vst3::TBool state) override;
    vst3::tresult KAVET_VST3_CALL setActive(vst3::TBool state) override;
    vst3::tresult KAVET_VST3_CALL setState(vst3::IBStream* state) override;
    vst3::tresult KAVET_VST3_CALL getState(vst3::IBStream* state) override;

    // IAudioProcessor
    vst3::tresult KAVET_VST3_CALL setBusArrangements(vst3::SpeakerArrangement* inputs,
                                                     vst3::int32 numIns,
                                                     vst3::SpeakerArrangement* outputs,
                                                     vst3::int32 numOuts) override;
    vst3::tresult KAVET_VST3_CALL getBusArrangement(vst3::int32 dir, vst3::int32 index,
                                                    vst3::SpeakerArrangement& arr) override;
    vst3::tresult KAVET_VST3_CALL canProcessSampleSize(vst3::int32 symbolicSampleSize) override;
    vst3::uint32 KAVET_VST3_CALL getLatencySamples() override { return 0; }
    vst3::tresult KAVET_VST3_CALL setupProcessing(vst3::ProcessSetup& setup) override;
    vst3::tresult KAVET_VST3_CALL setProcessing(vst3::TBool state) override;
    vst3::tresult KAVET_VST3_CALL process(vst3::ProcessData& data) override;
    vst3::uint32 KAVET_VST3_CALL getTailSamples() override { return vst3::kNoTail; }

    // IConnectionPoint
    vst3::tresult KAVET_VST3_CALL connect(vst3::IConnectionPoint* other) override;
    vst3::tresult KAVET_VST3_CALL disconnect(vst3::IConnectionPoint* other) override;
    vst3::tresult KAVET_VST3_CALL notify(vst3::IMessage* message) override;

    // IProcessorAccess
    Plug* KAVET_VST3_CALL effect() override { return plug_; }
    bool KAVET_VST3_CALL active() override { return active_.load(std::memory_order_acquire); }

private:
    explicit Processor(Plug* plug);
    ~Processor();
    // [audio thread] The block's parameter changes, each applied at its sample offset.
    template <class Sample> void run(vst3::ProcessData& data, Sample** in, Sample** out);
    void sendAccess(); // [UI thread] tells the connected controller where this processor is

    RefCount refs_;
    Plug* plug_;
    vst3::IHostApplication* host_ = nullptr; // from initialize, with a reference
    vst3::IConnectionPoint* peer_ = nullptr; // while connected, with a reference
    double rate_ = 44100.0;                  // Hz, one the effect takes
    std::atomic<bool> active_{false};
    bool resumeDue_ = false; // [audio thread] the first block after activation resumes
};

} // namespace kavet::vst3plugin
