#include "audioeffectx.h"

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effString2Parameter:
        return text && string2parameter(index, text) ? 1 : 0;
    case effGetProgramNameIndexed:
        return text && getProgramNameIndexed(static_cast<VstInt32>(value), index, text) ? 1 : 0;
    case effGetPlugCategory:
        return getPlugCategory();
    case effSetBypass:
        return setBypass(value != 0) ? 1 : 0;
    case effGetEffectName:
        return text && getEffectName(text) ? 1 : 0;
    case effGetVendorString:
        return text && getVendorString(text) ? 1 : 0;
    case effGetProductString:
        return text && getProductString(text) ? 1 : 0;
    case effGetVendorVersion:
        return getVendorVersion();
    case effCanDo:
        return text ? canDo(text) : 0;
    case effGetTailSize:
        return getGetTailSize();
    case effGetVstVersion:
        return getVstVersion();
    default:
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

void AudioEffectX::resume() {
    char query[] = "receiveVstMidiEvent";
    if (audioMaster && canDo(query) == 1) {
        audioMaster(&cEffect, audioMasterWantMidi, 0, 1, nullptr, 0.0f);
    }
}

VstInt32 AudioEffectX::canDo(char*) {
    return 0;
}
bool AudioEffectX::getEffectName(char*) {
    return false;
}
bool AudioEffectX::getVendorString(char*) {
    return false;
}
bool AudioEffectX::getProductString(char*) {
    return false;
}
bool AudioEffectX::getProgramNameIndexed(VstInt32, VstInt32, char*) {
    return false;
}
bool AudioEffectX::setBypass(bool) {
    return false;
}
bool AudioEffectX::string2parameter(VstInt32, char*) {
    return false;
}
