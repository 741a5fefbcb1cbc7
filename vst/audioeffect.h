// AudioEffect: the VST 2.4 effect base. It owns the AEffect record that the host sees,
// routes the record's function pointers and the dispatcher's opcodes to virtual methods,
// and keeps the values every effect shares (sample rate, block size, program index).
#pragma once

#include "aeffect.h"

class AEffEditor;

class AudioEffect {
public:
    AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
    virtual ~AudioEffect();

    AEffect* getAeffect() { return &cEffect; }
    audioMasterCallback getAudioMaster() const { return audioMaster; }

    // The host's opcodes. [UI thread]: open, close, mains (suspend, resume), sample rate,
    // block size, programs, chunks and the editor's opcodes (effEditIdle included). The
    // parameter texts (effGetParamLabel, effGetParamDisplay, effGetParamName) read only
    // values safe on [any thread].
    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt);
    virtual void open() {}    // [UI thread]
    virtual void close() {}   // [UI thread]
    virtual void suspend() {} // [UI thread], audio stopped
    virtual void resume() {}  // [UI thread], audio stopped
    // [UI thread], audio stopped.
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(VstInt32 size) { blockSize = size; } // [UI thread], audio stopped
    float getSampleRate() const { return sampleRate; }
    VstInt32 getBlockSize() const { return blockSize; }

    // [audio thread]
    virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames);
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    virtual void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames);

    // Parameters. The host sets and reads them from [any thread] (automation on the
    // audio thread, the host's own controls on the UI thread).
    virtual void setParameter(VstInt32 index, float value); // [any thread]
    virtual float getParameter(VstInt32 index);             // [any thread]
    // [UI thread]: the editor reports a user change to the host.
    virtual void setParameterAutomated(VstInt32 index, float value);
    virtual bool canParameterBeAutomated(VstInt32 index);         // [any thread]
    virtual void getParameterLabel(VstInt32 index, char* label);  // [any thread]
    virtual void getParameterDisplay(VstInt32 index, char* text); // [any thread]
    virtual void getParameterName(VstInt32 index, char* text);    // [any thread]

    // Programs and chunks. [UI thread]
    virtual VstInt32 getProgram() { return curProgram; }
    virtual void setProgram(VstInt32 program) { curProgram = program; }
    virtual void setProgramName(char* name);
    virtual void getProgramName(char* name);
    virtual VstInt32 getChunk(void** data, bool isPreset);
    virtual VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset);

    // Set-up, during construction. [UI thread]
    virtual void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
    virtual void setNumInputs(VstInt32 inputs) { cEffect.numInputs = inputs; }
    virtual void setNumOutputs(VstInt32 outputs) { cEffect.numOutputs = outputs; }
    virtual void canProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
    virtual void canDoubleReplacing(bool state) { setFlag(effFlagsCanDoubleReplacing, state); }
    virtual void programsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
    virtual void setInitialDelay(VstInt32 delay) { cEffect.initialDelay = delay; }

    // The editor, owned by the effect once attached; sets or clears the has-editor flag.
    // [UI thread]
    virtual AEffEditor* getEditor() { return editor; }
    virtual void setEditor(AEffEditor* newEditor);

    // Host callback. [UI thread]
    virtual VstInt32 getMasterVersion();
    virtual bool beginEdit(VstInt32 index);
    virtual bool endEdit(VstInt32 index);
    // Lets the host run its idle work (audioMasterIdle); false without a host. [UI thread]
    bool masterIdle();

protected:
    void setFlag(VstInt32 flag, bool state);
    bool isValidProgram(VstIntPtr program) const { return program >= 0 && program < numPrograms; }

    audioMasterCallback audioMaster;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.0f;
    VstInt32 blockSize = 1024;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 curProgram = 0;
    AEffect cEffect;
};
