// One LV2 plug-in instance: the effect (Plug) driven through the LV2 ports, and its state.
// LV2's threading classes: instantiation (create, activate, deactivate, restore, the
// destructor), audio (connect, run) and save, which may run beside run().
#pragma once

#include "ports.h"
#include "ui_link.h"

#include "core/plug.h"

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <atomic>
#include <cstdint>

namespace kavet::lv2 {

class Instance {
public:
    // [instantiation] Null for a sample rate the effect does not take or a failed
    // allocation. Without urid:map the instance processes but has no state (save and
    // restore answer LV2_STATE_ERR_NO_FEATURE).
    static Instance* create(double sampleRate, const LV2_Feature* const* features);
    ~Instance();

    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    void connect(std::uint32_t port, void* data); // [audio]
    void activate();                              // [instantiation]
    void deactivate();                            // [instantiation]
    void run(std::uint32_t frames);               // [audio]

    // The state holds what the VST chunk holds beyond the ports: the editor's two words
    // (Pre, Fine) and the seven preference words. It is one property, the chunk's bytes
    // (core/chunk.h) under a type of the plug-in's own: the layout, the byte order and the
    // defined answers of Plug::setChunk come with it unchanged, a state is the bytes a VST
    // preset of the same settings holds, and the type says that the size alone identifies
    // the layout, which no general atom type would. The parameter words are the current
    // values when saved and are not taken back: the host restores the ports itself.
    // [save]: reads atomics only, beside run().
    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle);
    // [instantiation] A value of another type or size is refused (LV2_STATE_ERR_BAD_TYPE)
    // and changes nothing; no value keeps the state as it is. Preference words are taken
    // through sanitizePrefWord, as Plug::setChunk takes them.
    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

    // The effect's editor for the UI module (lv2/editor_access.h), in editor_host.cpp.
    // [UI thread]
    std::uintptr_t openEditor(std::uintptr_t parent, const EditorPortLink& link, int& width,
                              int& height);
    bool idleEditor(); // true once the user asked to close the editor's own window
    void closeEditor();
    // A control port's value reported to the UI: while the instance is active its run gives
    // the effect the ports' values, and the editor shows them at its next idle; while not,
    // the value goes to the effect here, so that the editor shows it as well.
    void portEvent(std::uint32_t port, float value);

private:
    Instance(Plug* plug, float rate, LV2_URID key, LV2_URID type);
    // [UI thread] The open editor's words (Pre, Fine) to the state's copy.
    void keepEditorWords();
    // [audio] The control inputs that changed since the last run, to the effect.
    void applyControls();
    // [audio] The meters read after the block, to the meter outputs, while no editor reads.
    void readMeters();
    // The readings of a snapshot in dB: the output pair, or the input pair with Pre on.
    // [audio], or [UI thread] from the editor's readings while it shows.
    void showReadings(const MeterSnapshot& snapshot, bool rmsFresh);

    Plug* plug_;
    const float rate_; // Hz, one the effect takes
    const LV2_URID stateKey_, stateType_;

    // [audio] The host's buffers; null until connected.
    const float* audioIn_[kNumChannels] = {};
    float* audioOut_[kNumChannels] = {};
    const float* params_[kNumParams] = {};
    const float* enabled_ = nullptr;
    float defaults_[kNumParams]; // an unconnected parameter port reads its default
    float* peak_[kNumChannels] = {};
    float* rms_[kNumChannels] = {};

    // [audio] The plain value each parameter was last given (the Bypass with the enable
    // switch folded in), and the trim range it was converted with.
    float applied_[kNumParams] = {};
    double appliedTrimRangeDb_ = 0.0;
    std::int32_t appliedTrimWord_ = -1; // no word: the first run converts
    bool applyAll_ = true;              // the next run sends every parameter
    // Set by the editor's link [UI thread], taken by run: the next run sends every parameter.
    std::atomic<bool> resendAll_{false};
    std::atomic<bool> active_{false}; // between activate and deactivate
    UiLink uiLink_;
    bool editorOpen_ = false; // [UI thread]
    bool resumeDue_ = true;   // the next run resumes the effect after its parameters
    // The meter ports' values (dB): written by the reader of the effect's meters, the audio
    // thread or, while the editor shows, the editor's idle; copied to the ports by run.
    std::atomic<float> peakDb_[kNumChannels], rmsDb_[kNumChannels];
    // The effect's meters have one reader: the open editor (set at open, cleared after
    // close), or else this instance's run, every 20 ms at most: hosts show the ports at
    // display rates, and the peaks between two readings stay in the snapshot.
    std::atomic<bool> editorReads_{false};
    std::uint32_t meterPeriod_ = 1; // frames
    std::uint32_t metersDueIn_ = 0; // [audio] frames until a reading; 0: at this block

    // The editor's words (Pre, Fine): as last restored, or as the open editor shows them at
    // its last idle. Written by restore [instantiation] and the editor's idle [UI thread],
    // read by run [audio] (Pre picks the meters) and by save.
    std::atomic<float> editorWords_[kEditorWords];
};

} // namespace kavet::lv2
