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

    // Host calls, UI thread.
    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt);
    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(VstInt32 size) { blockSize = size; }
    float getSampleRate() const { return sampleRate; }
    VstInt32 getBlockSize() const { return blockSize; }

    // Audio thread.
    virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames);
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    virtual void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames);

    // Parameters.
    virtual void setParameter(VstInt32 index, float value);
    virtual float getParameter(VstInt32 index);
    virtual void setParameterAutomated(VstInt32 index, float value);
    virtual bool canParameterBeAutomated(VstInt32 index);
    virtual void getParameterLabel(VstInt32 index, char* label);
    virtual void getParameterDisplay(VstInt32 index, char* text);
    virtual void getParameterName(VstInt32 index, char* text);

    // Programs and chunks.
    virtual VstInt32 getProgram() { return curProgram; }
    virtual void setProgram(VstInt32 program) { curProgram = program; }
    virtual void setProgramName(char* name);
    virtual void getProgramName(char* name);
    virtual VstInt32 getChunk(void** data, bool isPreset);
    virtual VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset);

    // Set-up, during construction.
    virtual void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
    virtual void setNumInputs(VstInt32 inputs) { cEffect.numInputs = inputs; }
    virtual void setNumOutputs(VstInt32 outputs) { cEffect.numOutputs = outputs; }
    virtual void canProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
    virtual void canDoubleReplacing(bool state) { setFlag(effFlagsCanDoubleReplacing, state); }
    virtual void programsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
    virtual void setInitialDelay(VstInt32 delay) { cEffect.initialDelay = delay; }

    // The editor, owned by the effect once attached; sets or clears the has-editor flag.
    virtual AEffEditor* getEditor() { return editor; }
    virtual void setEditor(AEffEditor* newEditor);

    // Host callback.
    virtual VstInt32 getMasterVersion();
    virtual bool beginEdit(VstInt32 index);
    virtual bool endEdit(VstInt32 index);
    // Lets the host run its idle work (audioMasterIdle), UI thread; false without a host.
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
