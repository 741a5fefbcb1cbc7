// Plug: the gain effect. One channel strip (gain, trim, phase, mute, bypass and, in the
// stereo build, pan) with smoothed gains and four meter channels, speaking VST 2.4.
#pragma once

#include "auwrappable.h"
#include "chunk.h"
#include "config.h"
#include "host_link.h"
#include "kernel.h"
#include "meter.h"
#include "param_state.h"
#include "prefs.h"
#include "vst/audioeffectx.h"
#include "vst_host_link.h"

#include <atomic>

namespace kavet {

inline constexpr VstInt32 kUniqueId =
    kStereo ? CCONST('K', 'v', 't', 'S') : CCONST('K', 'v', 't', 'M');
inline constexpr const char* kVendor = "Velmorant Ltd";
inline constexpr const char* kProduct = kStereo ? "Kavet Stereo" : "Kavet Mono";
inline constexpr VstInt32 kVendorVersion = 1100;

// The sample rates the effect takes, in Hz. A rate outside them (0, negative, NaN, 10 MHz) is
// ignored and the last good rate stays: the refresh clock and the meter coefficients would
// run on nonsense, and near 0 Hz the clock's milliseconds grow so large that its 4-ms steps
// are lost for good (the clock is never reset).
inline constexpr float kMinSampleRate = 1000.0f;
inline constexpr float kMaxSampleRate = 768000.0f;

struct Program {
    char name[kVstMaxProgNameLen];
    std::atomic<float> values[kNumParams]; // written by setParameter [any thread]
};

class Plug : public AudioEffectX, public AuWrappableInterface {
public:
    explicit Plug(audioMasterCallback audioMaster);
    ~Plug() override;

    void resume() override;                  // [UI thread], audio stopped
    void setSampleRate(float rate) override; // [UI thread], audio stopped

    // [audio thread]
    void processReplacing(float** inputs, float** outputs, VstInt32 frames) override;
    void processDoubleReplacing(double** inputs, double** outputs, VstInt32 frames) override;
    void process(float** inputs, float** outputs, VstInt32 frames) override;

    void setParameter(VstInt32 index, float value) override; // [any thread]
    float getParameter(VstInt32 index) override;             // [any thread]
    // [UI thread] The editor's changes: stored, then told to the host link.
    void setParameterAutomated(VstInt32 index, float value) override;
    bool beginEdit(VstInt32 index) override;    // [UI thread], through the host link
    bool endEdit(VstInt32 index) override;      // [UI thread], through the host link
    void setProgram(VstInt32 program) override; // [UI thread]
    void setProgramName(char* name) override;   // [UI thread]
    void getProgramName(char* name) override;   // [UI thread]
    void getParameterLabel(VstInt32 index, char* label) override;  // [any thread]
    void getParameterDisplay(VstInt32 index, char* text) override; // [any thread]
    void getParameterName(VstInt32 index, char* text) override;    // [any thread]
    // [UI thread]: the editor's words go with the chunk.
    VstInt32 getChunk(void** data, bool isPreset) override;
    [[nodiscard]] VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;
    // [UI thread] down to getVendorVersion.
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    VstPlugCategory getPlugCategory() override { return kPlugCategEffect; }
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return kVendorVersion; }

    float getParameterDefault(int index) override; // [any thread]

    // The effect's own operations.
    // [audio thread]
    virtual void processMono(float** inputs, float** outputs, VstInt32 frames);
    virtual void processReplacingMono(float** inputs, float** outputs, VstInt32 frames);
    virtual void processDoubleReplacingMono(double** inputs, double** outputs, VstInt32 frames);
    // Plain values: index 0 a linear gain (0 to 8), the others normalised values.
    // [any thread], as setParameter and getParameter.
    virtual void setControlValue(VstInt32 index, float value);
    virtual float getControlValue(VstInt32 index);
    // Typed text from the editor's value fields. [UI thread]
    virtual void setValueFromText(VstInt32 index, const char* text);
    // Levels since the last call; false when no sample was processed since. [UI thread]:
    // the reading side of the meter hand-off (SharedMeters), the audio thread publishing.
    [[nodiscard]] virtual bool getMeterSnapshot(MeterSnapshot& snapshot);
    virtual PlugPrefs* getPrefs() { return &prefs; } // [UI thread]
    // [any thread], as setParameter: takes the trim range in force from the live
    // preferences and has the audio thread derive its display values and targets anew.
    virtual void updateDisplayValues();
    // [audio thread] (or audio stopped): gain targets, sample period and meter coefficients
    // from the display values, the preferences and the sample rate.
    virtual void updateTargets();

    // The parameters' shared state: the editor takes its changes from here. [any thread]
    ParamState& parameters() { return state; }
    // The display value of a parameter as the signal path takes it: the law of its value
    // with the trim range in force. [any thread]; `index` must be valid.
    float displayOf(int index) const {
        return displayFromValue(index, state.get(index),
                                trimRangeInForce.load(std::memory_order_relaxed));
    }
    // The format that carries the effect; null restores the VST host's link. [UI thread],
    // before the editor opens.
    void setHostLink(HostLink* link) { hostLink = link ? link : &vstLink; }

    // [UI thread] True when the editor could not be allocated at construction (the creation
    // function then destroys the effect and answers null).
    bool lacksEditor() const { return editorMissing; }

private:
    template <Write mode, class Sample>
    void run(Sample** inputs, Sample** outputs, VstInt32 frames, bool stereo);
    void loadKernelState(KernelState& st);
    void reloadTargets(KernelState& st) const;
    // [audio thread] (or audio stopped) Derives the display values when a parameter was
    // set since the last call; true then.
    bool takeParameterChanges();

    ParamState state;
    std::atomic<double> trimRangeInForce{36.0}; // dB; read by the last recomputation
    Program programs[kNumPrograms];
    VstHostLink vstLink{*this};
    HostLink* hostLink = &vstLink;
    PlugPrefs prefs;    // live record
    StateChunk chunk{}; // last chunk handed out or taken in

    // Written by the target computation: the audio thread, or the UI thread while audio is
    // stopped (sample rate, resume).
    std::atomic<double> target[2];
    std::atomic<double> samplePeriod{0.0};
    std::atomic<double> attack{1.0};
    std::atomic<double> release{0.1};
    std::atomic<double> riseFloor{0.0};
    std::atomic<double> fallFloor{0.0};
    std::atomic<float> rate{44100.0f};
    MeterCoefficientTable meterTable{44100.0}; // at `rate`; remade by setSampleRate

    // [audio thread] (resume writes them while audio is stopped).
    float audioDisplay[kNumParams] = {}; // the display values, derived from the state on a change
    double gain[2] = {1.0, 1.0};
    double elapsedMs = 0.0;
    double lastRefreshMs = 0.0;
    SharedMeters meters;
    bool editorMissing = false;
};

// The creation function of the VST entry: null for a null callback or a failed allocation.
// [UI thread]
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);

} // namespace kavet
