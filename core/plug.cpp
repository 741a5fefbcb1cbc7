#include "plug.h"

#include "editor_link.h"
#include "params.h"
#include "vst/text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace kavet {

namespace {

struct PanLaw {
    double multiplier;
    double exponent;
};

// Indexed by preference word 4; a word without a row acts as law 0.
constexpr PanLaw kPanLaws[3] = {{2.0, 1.0}, {1.0, 0.5}, {1.0, 1.0}};

[[maybe_unused]] const PanLaw& panLaw(std::int32_t word) {
    return kPanLaws[word >= 0 && word <= 2 ? word : 0];
}

} // namespace

Plug::Plug(audioMasterCallback audioMaster) : AudioEffectX(audioMaster, kNumPrograms, kNumParams) {
    prefs.initFromStore();
    PlugPrefs chunkPrefs;
    chunkPrefs.initFromStore();
    std::memcpy(chunk.prefs, chunkPrefs.values().words, sizeof chunk.prefs);

    for (int p = 0; p < kNumPrograms; ++p) {
        copyText(programs[p].name, "None", sizeof programs[p].name);
        for (int i = 0; i < kNumParams; ++i)
            programs[p].values[i].store(kParamInfo[i].defaultValue, std::memory_order_relaxed);
    }
    curProgram = 0;

    setNumInputs(kNumChannels);
    setNumOutputs(kNumChannels);
    canProcessReplacing(true);
    canDoubleReplacing(true);
    if (kStereo) setFlag(effFlagsCanMono, true);

    target[0].store(1.0, std::memory_order_relaxed);
    target[1].store(1.0, std::memory_order_relaxed);

    programsAreChunks(true);
    setUniqueID(kUniqueId);

    updateDisplayValues();
    (void)takeParameterChanges();
    updateTargets();
    elapsedMs = 0.0;
    lastRefreshMs = 0.0;

    // The editor attaches itself; a failed allocation fails this creation only.
    editorMissing = createEditor(this) == nullptr;
}

// The editor goes while the effect is still whole: closing it may read parameters.
Plug::~Plug() {
    AEffEditor* own = editor;
    setEditor(nullptr);
    delete own;
}

// ---------------------------------------------------------------------------------------
// Parameters

void Plug::setParameter(VstInt32 index, float value) {
    if (!state.set(index, value)) return; // a NaN never becomes a gain
    programs[curProgram].values[index].store(state.get(index), std::memory_order_relaxed);
    updateDisplayValues();
}

float Plug::getParameter(VstInt32 index) {
    return state.get(index);
}

void Plug::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    // The host records what the effect stored (clamped), for valid indices only.
    if (isValidParam(index)) hostLink->changedByUser(index, getParameter(index));
}

bool Plug::beginEdit(VstInt32 index) {
    hostLink->beginGesture(index);
    return true;
}

bool Plug::endEdit(VstInt32 index) {
    hostLink->endGesture(index);
    return true;
}

float Plug::getParameterDefault(int index) {
    return isValidParam(index) ? kParamInfo[index].defaultValue : 0.0f;
}

// Names and labels are 32-byte fields at the host boundary.
void Plug::getParameterName(VstInt32 index, char* text) {
    if (isValidParam(index)) copyText(text, kParamInfo[index].name, 32);
}

void Plug::getParameterLabel(VstInt32 index, char* label) {
    if (isValidParam(index)) copyText(label, kParamInfo[index].label, 32);
}

void Plug::getParameterDisplay(VstInt32 index, char* text) {
    if (!isValidParam(index)) return;
    char buffer[kDisplayTextSize];
    formatDisplay(index, displayOf(index), buffer);
    copyText(text, buffer, sizeof buffer);
}

void Plug::setControlValue(VstInt32 index, float value) {
    if (index == kGain) {
        setParameter(kGain, static_cast<float>(gainToValue(value)));
    } else {
        setParameter(index, value);
    }
}

float Plug::getControlValue(VstInt32 index) {
    if (!isValidParam(index)) return 0.0f;
    return index == kTrim ? getParameter(kTrim) : displayOf(index);
}

void Plug::setValueFromText(VstInt32 index, const char* text) {
    if (!isValidParam(index) || text == nullptr) return;
    const double range = trimRangeDb(prefs.get(kPrefTrimRange));
    setParameter(index, static_cast<float>(valueFromText(index, text, range)));
}

void Plug::updateDisplayValues() {
    trimRangeInForce.store(trimRangeDb(prefs.get(kPrefTrimRange)), std::memory_order_relaxed);
    state.markAudioChange();
}

bool Plug::takeParameterChanges() {
    if (!state.takeAudioChange()) return false;
    const double range = trimRangeInForce.load(std::memory_order_relaxed);
    for (int i = 0; i < kNumParams; ++i)
        audioDisplay[i] = displayFromValue(i, state.get(i), range);
    return true;
}

void Plug::updateTargets() {
    constexpr auto r = std::memory_order_relaxed;
    double sampleRate = rate.load(r);
    samplePeriod.store(1.0 / sampleRate, r);

    const float* d = audioDisplay;
    double polarity = switchIsOn(d[kPhase]) ? -1.0 : 1.0;
    double muteFactor = switchIsOn(d[kMute]) ? 0.0 : 1.0;
    double master = static_cast<double>(d[kGain]) * d[kTrim] * polarity * muteFactor;

    double left = master;
    double right = target[1].load(r); // the mono builds leave the right target alone
    if constexpr (kStereo) {
        double p = d[kPan];
        const PanLaw& law = panLaw(prefs.get(kPrefPanLaw));
        right = master * std::min(law.multiplier * std::pow(p, law.exponent), 1.0);
        left = master * std::min(law.multiplier * std::pow(1.0 - p, law.exponent), 1.0);
    }
    if (switchIsOn(d[kBypass])) {
        left = 1.0;
        right = 1.0;
    }
    target[0].store(left, r);
    target[1].store(right, r);

    MeterCoefficients c = meterTable.row(prefs.get(kPrefBallistics));
    attack.store(c.attack, r);
    release.store(c.release, r);
    riseFloor.store(c.riseFloor, r);
    fallFloor.store(c.fallFloor, r);
}

// ---------------------------------------------------------------------------------------
// Processing

void Plug::setSampleRate(float newRate) {
    if (!(newRate >= kMinSampleRate && newRate <= kMaxSampleRate)) return; // NaN too
    AudioEffectX::setSampleRate(newRate);
    rate.store(newRate, std::memory_order_relaxed);
    meterTable.fill(newRate);
    (void)takeParameterChanges(); // audio is stopped: this thread owns the targets now
    updateTargets();
}

void Plug::resume() {
    (void)takeParameterChanges(); // audio is stopped: this thread owns the targets now
    updateTargets();
    // Jump to the targets; "+ 0.0" turns a negative zero target into +0, which the first
    // glide step would do anyway.
    gain[0] = target[0].load(std::memory_order_relaxed) + 0.0;
    gain[1] = target[1].load(std::memory_order_relaxed) + 0.0;
    meters.clear();
    AudioEffectX::resume();
}

void Plug::reloadTargets(KernelState& st) const {
    constexpr auto r = std::memory_order_relaxed;
    st.target[0] = target[0].load(r);
    st.target[1] = target[1].load(r);
    st.msPerSample = 1.0 * samplePeriod.load(r) * 1000.0;
    st.coefficients.attack = attack.load(r);
    st.coefficients.release = release.load(r);
    st.coefficients.riseFloor = riseFloor.load(r);
    st.coefficients.fallFloor = fallFloor.load(r);
}

void Plug::loadKernelState(KernelState& st) {
    st.gain[0] = gain[0];
    st.gain[1] = gain[1];
    st.elapsedMs = elapsedMs;
    st.lastRefreshMs = lastRefreshMs;
    reloadTargets(st);
    meters.load(st.meters);
}

template <Write mode, class Sample>
void Plug::run(Sample** inputs, Sample** outputs, VstInt32 frames, bool stereo) {
    // A host mistake (no frames, a missing buffer) skips the block: outputs, gains, clock
    // and meters stay as they were.
    if (frames <= 0 || inputs == nullptr || outputs == nullptr) return;
    for (int c = 0; c < (stereo ? 2 : 1); ++c) {
        if (inputs[c] == nullptr || outputs[c] == nullptr) return;
    }
    // Parameters set since the last block take effect from its first sample.
    if (takeParameterChanges()) updateTargets();
    KernelState st;
    loadKernelState(st);
    const MeterAccumulators start = st.meters;
    auto refresh = [this](KernelState& s) {
        (void)takeParameterChanges();
        updateTargets();
        reloadTargets(s);
    };
    if (stereo) {
        stereoKernel<mode>(inputs, outputs, frames, st, refresh);
    } else {
        monoKernel<mode>(inputs, outputs, frames, st, refresh);
    }
    gain[0] = st.gain[0];
    gain[1] = st.gain[1];
    elapsedMs = st.elapsedMs;
    lastRefreshMs = st.lastRefreshMs;
    meters.publish(start, st.meters);
}

void Plug::processReplacing(float** in, float** out, VstInt32 frames) {
    if constexpr (kStereo) {
        run<Write::Replace>(in, out, frames, true);
    } else {
        processReplacingMono(in, out, frames);
    }
}

void Plug::processDoubleReplacing(double** in, double** out, VstInt32 frames) {
    if constexpr (kStereo) {
        run<Write::Replace>(in, out, frames, true);
    } else {
        processDoubleReplacingMono(in, out, frames);
    }
}

void Plug::process(float** in, float** out, VstInt32 frames) {
    if constexpr (kStereo) {
        run<Write::Add>(in, out, frames, true);
    } else {
        processMono(in, out, frames);
    }
}

void Plug::processMono(float** in, float** out, VstInt32 frames) {
    run<Write::Add>(in, out, frames, false);
}

void Plug::processReplacingMono(float** in, float** out, VstInt32 frames) {
    run<Write::Replace>(in, out, frames, false);
}

void Plug::processDoubleReplacingMono(double** in, double** out, VstInt32 frames) {
    run<Write::Replace>(in, out, frames, false);
}

bool Plug::getMeterSnapshot(MeterSnapshot& snapshot) {
    return meters.snapshot(snapshot);
}

// ---------------------------------------------------------------------------------------
// Programs and state

void Plug::setProgram(VstInt32 program) {
    if (!isValidProgram(program)) return;
    // setParameter reads the program number on any thread: it is written only when it changes.
    if (curProgram != program) curProgram = program;
    for (int i = 0; i < kNumParams; ++i)
        (void)state.set(i, programs[program].values[i].load(std::memory_order_relaxed));
    updateDisplayValues();
}

void Plug::setProgramName(char* name) {
    copyText(programs[curProgram].name, name, sizeof programs[curProgram].name);
}

void Plug::getProgramName(char* name) {
    copyText(name, programs[curProgram].name, sizeof programs[curProgram].name);
}

bool Plug::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
    if (!isValidProgram(index)) return false;
    copyText(text, programs[index].name, sizeof programs[index].name);
    return true;
}

bool Plug::getVendorString(char* text) {
    copyText(text, kVendor, kVstMaxVendorStrLen);
    return true;
}

bool Plug::getProductString(char* text) {
    copyText(text, kProduct, kVstMaxProductStrLen);
    return true;
}

VstInt32 Plug::getChunk(void** data, bool) {
    if (editor) editorGetState(editor, chunk.editor);
    PrefValues live = prefs.values();
    std::memcpy(chunk.prefs, live.words, sizeof chunk.prefs);
    for (int i = 0; i < kNumParams; ++i)
        chunk.params[i] = getParameter(i);
    *data = &chunk;
    return kChunkBytes;
}

VstInt32 Plug::setChunk(void* data, VstInt32 byteSize, bool) {
    if (byteSize != kChunkBytes || data == nullptr) return 0;
    std::memcpy(&chunk, data, kChunkBytes);
    if (chunkNeedsByteSwap(chunk)) byteSwapChunk(chunk);
    for (int i = 0; i < kPrefWords; ++i)
        prefs.set(i, sanitizePrefWord(i, chunk.prefs[i]));
    if (editor) editorSetState(editor, chunk.editor);
    for (int i = 0; i < kNumParams; ++i)
        setParameter(i, chunk.params[i]); // a NaN keeps the value it had
    return kChunkBytes;
}

// ---------------------------------------------------------------------------------------
// Creation

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
    if (audioMaster == nullptr) return nullptr;
    Plug* effect = new (std::nothrow) Plug(audioMaster);
    if (effect != nullptr && effect->lacksEditor()) {
        delete effect;
        return nullptr;
    }
    return effect;
}

} // namespace kavet
