// AudioEffectX: the VST 2.x extension of AudioEffect (capabilities, category, vendor and
// product texts, indexed program names, tail size, version).
#pragma once

#include "audioeffect.h"

class AudioEffectX : public AudioEffect {
public:
    AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
        : AudioEffect(audioMaster, numPrograms, numParams) {}

    // [UI thread], as the base's; the 2.x opcodes below answer constant texts and values.
    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                         float opt) override;

    // Asks for MIDI events when the effect says it receives them. [UI thread]
    void resume() override;

    // [UI thread], through the dispatcher.

    virtual VstInt32 canDo(char* text);
    virtual VstPlugCategory getPlugCategory() { return kPlugCategUnknown; }
    virtual bool getEffectName(char* name);
    virtual bool getVendorString(char* text);
    virtual bool getProductString(char* text);
    virtual VstInt32 getVendorVersion() { return 0; }
    virtual VstInt32 getVstVersion() { return kVstVersion; }
    virtual bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text);
    virtual bool setBypass(bool onOff);
    virtual VstInt32 getGetTailSize() { return 0; }
    virtual bool string2parameter(VstInt32 index, char* text);
};
