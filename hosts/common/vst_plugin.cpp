#include "vst_plugin.h"

#include "host_error.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace kavet::host {

namespace {

constexpr float kDefaultSampleRate = 44100.0f;
constexpr int kDefaultBlockSize = 512;

// Plug-ins commonly write past the nominal 8 characters of a parameter text; give room.
constexpr std::size_t kTextBuffer = 256;

void copyText(void* ptr, const char* text, std::size_t size) {
    if (ptr == nullptr) return;
    std::snprintf(static_cast<char*>(ptr), size, "%s", text);
}

std::string hex32(VstInt32 value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

} // namespace

VstPlugin::VstPlugin(std::shared_ptr<const VstModule> module) : module_(std::move(module)) {
    effect_ = module_->entry()(&VstPlugin::hostCallback);
    const std::string& path = module_->path();
    if (effect_ == nullptr)
        throw HostError("module '" + path + "' created no effect (its entry answered null)");
    if (effect_->magic != kEffectMagic)
        throw HostError("module '" + path + "' is not a VST 2.4 plug-in: magic " +
                        hex32(effect_->magic) + " instead of 'VstP'");
    if (effect_->dispatcher == nullptr)
        throw HostError("module '" + path + "' is not a VST 2.4 plug-in: no dispatcher");
    // From here on the callback can tell which instance asks.
    effect_->user = this;
    dispatch(effOpen);
}

VstPlugin::~VstPlugin() {
    if (running_) suspend();
    // The effect destroys itself here; its record must not be touched afterwards.
    dispatch(effClose);
}

bool VstPlugin::canProcessDouble() const {
    return hasFlag(effFlagsCanDoubleReplacing) && effect_->processDoubleReplacing != nullptr;
}

VstIntPtr VstPlugin::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string VstPlugin::text(VstInt32 opcode, VstInt32 index) {
    std::array<char, kTextBuffer> buffer{};
    dispatch(opcode, index, 0, buffer.data());
    buffer.back() = '\0';
    return buffer.data();
}

std::string VstPlugin::vendorString() {
    return text(effGetVendorString, 0);
}
std::string VstPlugin::productString() {
    return text(effGetProductString, 0);
}
std::string VstPlugin::effectName() {
    return text(effGetEffectName, 0);
}
std::string VstPlugin::parameterName(int index) {
    return text(effGetParamName, index);
}
std::string VstPlugin::parameterLabel(int index) {
    return text(effGetParamLabel, index);
}
std::string VstPlugin::parameterDisplay(int index) {
    return text(effGetParamDisplay, index);
}

void VstPlugin::setParameter(int index, float normalised) {
    if (effect_->setParameter != nullptr) effect_->setParameter(effect_, index, normalised);
}

float VstPlugin::getParameter(int index) {
    return effect_->getParameter != nullptr ? effect_->getParameter(effect_, index) : 0.0f;
}

void VstPlugin::setSampleRate(float hz) {
    sampleRate_ = hz;
    dispatch(effSetSampleRate, 0, 0, nullptr, hz);
}

void VstPlugin::setBlockSize(int frames) {
    blockSize_ = frames;
    dispatch(effSetBlockSize, 0, frames);
}

void VstPlugin::resume() {
    dispatch(effMainsChanged, 0, 1);
    running_ = true;
}

void VstPlugin::suspend() {
    dispatch(effMainsChanged, 0, 0);
    running_ = false;
}

void VstPlugin::process(float** inputs, float** outputs, int frames, int outputCount) {
    if (hasFlag(effFlagsCanReplacing) && effect_->processReplacing != nullptr) {
        effect_->processReplacing(effect_, inputs, outputs, frames);
        return;
    }
    for (int channel = 0; channel < outputCount; ++channel)
        std::memset(outputs[channel], 0, sizeof(float) * static_cast<std::size_t>(frames));
    if (effect_->process != nullptr) effect_->process(effect_, inputs, outputs, frames);
}

void VstPlugin::process(double** inputs, double** outputs, int frames) {
    effect_->processDoubleReplacing(effect_, inputs, outputs, frames);
}

// Called by the effect. [any thread] Before the record exists (during the entry) and
// from foreign records it answers with the defaults.
VstIntPtr VSTCALLBACK VstPlugin::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                              VstIntPtr, void* ptr, float opt) {
    const auto* self = effect != nullptr ? static_cast<const VstPlugin*>(effect->user) : nullptr;
    switch (opcode) {
    case audioMasterAutomate:
        if (ParameterListener* listener = self != nullptr ? self->listener_.load() : nullptr)
            listener->parameterChanged(index, opt);
        return 0;
    case audioMasterVersion:
        return kHostVstVersion;
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(self != nullptr ? self->sampleRate_ : kDefaultSampleRate);
    case audioMasterGetBlockSize:
        return self != nullptr ? self->blockSize_ : kDefaultBlockSize;
    case audioMasterGetVendorString:
        copyText(ptr, "Velmorant", kVstMaxVendorStrLen);
        return 1;
    case audioMasterGetProductString:
        copyText(ptr, "kavet", kVstMaxProductStrLen);
        return 1;
    case audioMasterGetVendorVersion:
        return 1;
    default:
        return 0; // idle, edit brackets, canDo: nothing to do or do not know
    }
}

} // namespace kavet::host
