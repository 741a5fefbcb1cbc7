#include "audioeffect.h"

#include "aeffeditor.h"
#include "text.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Trampolines from the record's function pointers to the effect's methods.
AudioEffect* effectOf(AEffect* e) {
    return e ? static_cast<AudioEffect*>(e->object) : nullptr;
}

VstIntPtr VSTCALLBACK dispatchEffect(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                     void* ptr, float opt) {
    AudioEffect* fx = effectOf(e);
    return fx ? fx->dispatcher(opcode, index, value, ptr, opt) : 0;
}

void VSTCALLBACK processEffect(AEffect* e, float** in, float** out, VstInt32 frames) {
    if (AudioEffect* fx = effectOf(e)) fx->process(in, out, frames);
}

void VSTCALLBACK processReplacingEffect(AEffect* e, float** in, float** out, VstInt32 frames) {
    if (AudioEffect* fx = effectOf(e)) fx->processReplacing(in, out, frames);
}

void VSTCALLBACK processDoubleEffect(AEffect* e, double** in, double** out, VstInt32 frames) {
    if (AudioEffect* fx = effectOf(e)) fx->processDoubleReplacing(in, out, frames);
}

void VSTCALLBACK setParameterEffect(AEffect* e, VstInt32 index, float value) {
    if (AudioEffect* fx = effectOf(e)) fx->setParameter(index, value);
}

float VSTCALLBACK getParameterEffect(AEffect* e, VstInt32 index) {
    AudioEffect* fx = effectOf(e);
    return fx ? fx->getParameter(index) : 0.0f;
}

} // namespace

AudioEffect::AudioEffect(audioMasterCallback master, VstInt32 programs, VstInt32 params)
    : audioMaster(master), numPrograms(programs), numParams(params) {
    std::memset(&cEffect, 0, sizeof cEffect);
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEffect;
    cEffect.process = processEffect;
    cEffect.setParameter = setParameterEffect;
    cEffect.getParameter = getParameterEffect;
    cEffect.numPrograms = programs;
    cEffect.numParams = params;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingEffect;
    cEffect.processDoubleReplacing = processDoubleEffect;
}

// The effect owns its editor.
AudioEffect::~AudioEffect() {
    delete editor;
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        delete this;
        return 1;
    case effSetProgram:
        if (isValidProgram(value)) setProgram(static_cast<VstInt32>(value));
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        if (text) setProgramName(text);
        return 0;
    case effGetProgramName:
        if (text) getProgramName(text);
        return 0;
    case effGetParamLabel:
        if (text) getParameterLabel(index, text);
        return 0;
    case effGetParamDisplay:
        if (text) getParameterDisplay(index, text);
        return 0;
    case effGetParamName:
        if (text) getParameterName(index, text);
        return 0;
    case effSetSampleRate:
        // A rate that is not a positive number would stop the refresh clock for good.
        if (std::isfinite(opt) && opt > 0.0f) setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(static_cast<VstInt32>(value));
        return 0;
    case effMainsChanged:
        if (value) {
            resume();
        } else {
            suspend();
        }
        return 0;
    case effEditGetRect:
        return editor && ptr && editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen:
        return editor && editor->open(ptr) ? 1 : 0;
    case effEditClose:
        if (!editor) return 0;
        editor->close();
        return 1;
    case effEditIdle:
        if (!editor) return 0;
        editor->idle();
        return 1;
    case effIdentify:
        return kEffectIdentify;
    case effGetChunk:
        return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk:
        if (!ptr || value < 0 || value > INT32_MAX) return 0;
        return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    case effCanBeAutomated:
        return canParameterBeAutomated(index) ? 1 : 0;
    default:
        return 0;
    }
}

void AudioEffect::process(float**, float**, VstInt32) {}
void AudioEffect::processDoubleReplacing(double**, double**, VstInt32) {}
void AudioEffect::setParameter(VstInt32, float) {}
float AudioEffect::getParameter(VstInt32) {
    return 0.0f;
}
bool AudioEffect::canParameterBeAutomated(VstInt32) {
    return true;
}
void AudioEffect::getParameterLabel(VstInt32, char* label) {
    *label = '\0';
}
void AudioEffect::getParameterDisplay(VstInt32, char* text) {
    *text = '\0';
}
void AudioEffect::getParameterName(VstInt32, char* text) {
    *text = '\0';
}
void AudioEffect::setProgramName(char*) {}
void AudioEffect::getProgramName(char* name) {
    *name = '\0';
}
VstInt32 AudioEffect::getChunk(void**, bool) {
    return 0;
}
VstInt32 AudioEffect::setChunk(void*, VstInt32, bool) {
    return 0;
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    // The host records what the effect stored (clamped), for valid indices only.
    if (audioMaster && index >= 0 && index < numParams) {
        audioMaster(&cEffect, audioMasterAutomate, index, 0, nullptr, getParameter(index));
    }
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
    editor = newEditor;
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

VstInt32 AudioEffect::getMasterVersion() {
    if (!audioMaster) return 1;
    VstInt32 version =
        static_cast<VstInt32>(audioMaster(&cEffect, audioMasterVersion, 0, 0, nullptr, 0.0f));
    return version ? version : 1;
}

bool AudioEffect::beginEdit(VstInt32 index) {
    return audioMaster && audioMaster(&cEffect, audioMasterBeginEdit, index, 0, nullptr, 0.0f);
}

bool AudioEffect::endEdit(VstInt32 index) {
    return audioMaster && audioMaster(&cEffect, audioMasterEndEdit, index, 0, nullptr, 0.0f);
}

bool AudioEffect::masterIdle() {
    return audioMaster && audioMaster(&cEffect, audioMasterIdle, 0, 0, nullptr, 0.0f);
}

void AudioEffect::setFlag(VstInt32 flag, bool state) {
    if (state) {
        cEffect.flags |= flag;
    } else {
        cEffect.flags &= ~flag;
    }
}
