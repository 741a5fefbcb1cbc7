#include "controller.h"

#include "stream_bytes.h"
#include "text16.h"
#include "view.h"

#include "core/chunk.h"
#include "core/plug.h"

#include <cmath>
#include <cstring>
#include <new>

namespace kavet::vst3plugin {

using namespace vst3;

namespace {

bool validId(ParamID id) {
    return id < static_cast<ParamID>(kNumParams);
}

} // namespace

Controller* Controller::create() {
    return new (std::nothrow) Controller();
}

Controller::Controller() : trimWord_(kDefaultPrefs.words[kPrefTrimRange]) {
    for (int i = 0; i < kNumParams; ++i)
        values_[i] = kParamInfo[i].defaultValue;
}

Controller::~Controller() {
    terminate();
}

tresult Controller::queryInterface(const char* iid, void** obj) {
    return answerQuery<Controller, IEditController, IPluginBase, IConnectionPoint>(this, iid, obj);
}

uint32 Controller::release() {
    const uint32 left = refs_.drop();
    if (left == 0) delete this;
    return left;
}

tresult Controller::initialize(FUnknown*) {
    return kResultOk;
}

tresult Controller::terminate() {
    if (peer_ != nullptr) disconnect(peer_);
    if (handler_ != nullptr) handler_->release();
    handler_ = nullptr;
    return kResultOk;
}

tresult Controller::setComponentState(IBStream* state) {
    StateChunk chunk;
    if (readState(state, &chunk, kChunkBytes) != kChunkBytes) return kResultFalse;
    if (chunkNeedsByteSwap(chunk)) byteSwapChunk(chunk);
    for (int i = 0; i < kNumParams; ++i) {
        float value;
        if (clampNormalised(chunk.params[i], value)) values_[i] = value; // a NaN keeps its value
    }
    trimWord_ = sanitizePrefWord(kPrefTrimRange, chunk.prefs[kPrefTrimRange]);
    return kResultOk;
}

// The controller keeps nothing of its own: the component's state holds it all.
tresult Controller::setState(IBStream*) {
    return kResultOk;
}

tresult Controller::getState(IBStream*) {
    return kResultOk;
}

tresult Controller::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
    if (paramIndex < 0 || paramIndex >= kNumParams) return kInvalidArgument;
    const ParamInfo& p = kParamInfo[paramIndex];
    std::memset(&info, 0, sizeof info);
    info.id = static_cast<ParamID>(paramIndex);
    toText16(p.name, info.title, 128);
    toText16(p.name, info.shortTitle, 128);
    toText16(p.kind == ParamKind::Switch ? "" : p.label, info.units, 128);
    info.stepCount = p.stepCount;
    info.defaultNormalizedValue = p.defaultValue;
    info.unitId = 0;
    info.flags = ParameterInfo::kCanAutomate;
    if (paramIndex == kBypass) info.flags |= ParameterInfo::kIsBypass;
    return kResultOk;
}

tresult Controller::getParamStringByValue(ParamID id, ParamValue valueNormalized, char16* string) {
    float value;
    if (!validId(id) || string == nullptr ||
        !clampNormalised(static_cast<float>(valueNormalized), value))
        return kInvalidArgument;
    const int index = static_cast<int>(id);
    char text[kDisplayTextSize];
    formatDisplay(index, displayFromValue(index, value, trimRange()), text);
    toText16(text, string, 128);
    return kResultOk;
}

tresult Controller::getParamValueByString(ParamID id, char16* string, ParamValue& valueNormalized) {
    if (!validId(id) || string == nullptr) return kInvalidArgument;
    const int index = static_cast<int>(id);
    char text[128];
    fromText16(string, text, sizeof text);
    const double value = valueFromHostText(index, text, trimRange());
    float stored;
    if (!clampNormalised(static_cast<float>(value), stored)) return kResultFalse;
    valueNormalized = stored;
    return kResultOk;
}

ParamValue Controller::normalizedParamToPlain(ParamID id, ParamValue value) {
    float stored;
    if (!validId(id) || !clampNormalised(static_cast<float>(value), stored)) return 0.0;
    return plainFromValue(static_cast<int>(id), stored, trimRange());
}

ParamValue Controller::plainParamToNormalized(ParamID id, ParamValue plain) {
    if (!validId(id) || std::isnan(plain)) return 0.0;
    float stored;
    const double value = valueFromPlain(static_cast<int>(id), plain, trimRange());
    return clampNormalised(static_cast<float>(value), stored) ? stored : 0.0;
}

ParamValue Controller::getParamNormalized(ParamID id) {
    return validId(id) ? values_[id] : 0.0;
}

tresult Controller::setParamNormalized(ParamID id, ParamValue value) {
    float stored;
    if (!validId(id) || !clampNormalised(static_cast<float>(value), stored))
        return kInvalidArgument;
    values_[id] = stored;
    // While the processor is active its blocks bring the host's values; otherwise the
    // effect takes them here, so that the editor shows them.
    if (access_ != nullptr && !access_->active())
        access_->effect()->setParameter(static_cast<VstInt32>(id), stored);
    return kResultOk;
}

tresult Controller::setComponentHandler(IComponentHandler* handler) {
    if (handler == handler_) return kResultOk;
    if (handler != nullptr) handler->addRef();
    if (handler_ != nullptr) handler_->release();
    handler_ = handler;
    return kResultOk;
}

IPlugView* Controller::createView(FIDString name) {
    if (name == nullptr || std::strcmp(name, kEditorViewName) != 0) return nullptr;
    if (view_ != nullptr || effect() == nullptr) return nullptr;
    view_ = View::create(*this);
    return view_;
}

void Controller::viewGone(const View* view) {
    if (view == view_) view_ = nullptr;
}

double Controller::trimRange() const {
    Plug* plug = effect();
    return trimRangeDb(plug != nullptr ? plug->getPrefs()->get(kPrefTrimRange) : trimWord_);
}

tresult Controller::connect(IConnectionPoint* other) {
    if (other == nullptr) return kInvalidArgument;
    if (peer_ != nullptr) return kResultFalse;
    peer_ = other;
    peer_->addRef();
    // Connected directly, the other end answers the private interface; through a host's
    // proxy, its message brings it (notify).
    if (auto* access = queryAs<IProcessorAccess>(other)) {
        takeAccess(access);
        access->release();
    }
    return kResultOk;
}

tresult Controller::disconnect(IConnectionPoint* other) {
    if (other == nullptr || other != peer_) return kResultFalse;
    takeAccess(nullptr);
    peer_->release();
    peer_ = nullptr;
    return kResultOk;
}

tresult Controller::notify(IMessage* message) {
    if (message == nullptr || message->getMessageID() == nullptr ||
        std::strcmp(message->getMessageID(), kAccessMessage) != 0)
        return kResultFalse;
    IAttributeList* attributes = message->getAttributes();
    const void* data = nullptr;
    uint32 size = 0;
    if (attributes == nullptr || attributes->getBinary(kAccessAttribute, data, size) != kResultOk ||
        size != sizeof(IProcessorAccess*) || data == nullptr)
        return kResultFalse;
    IProcessorAccess* access = nullptr;
    std::memcpy(&access, data, sizeof access);
    if (access_ == nullptr) takeAccess(access);
    return kResultOk;
}

void Controller::takeAccess(IProcessorAccess* access) {
    if (access == access_) return;
    // The view shows the processor's effect: it closes before that processor goes.
    if (view_ != nullptr) view_->removed();
    if (access != nullptr) access->addRef();
    if (access_ != nullptr) access_->release();
    access_ = access;
}

void Controller::EditLink::changedByUser(int index, float value) {
    if (!isValidParam(index)) return;
    owner_.values_[index] = value;
    if (owner_.handler_ != nullptr)
        owner_.handler_->performEdit(static_cast<ParamID>(index), value);
}

void Controller::EditLink::beginGesture(int index) {
    if (isValidParam(index) && owner_.handler_ != nullptr)
        owner_.handler_->beginEdit(static_cast<ParamID>(index));
}

void Controller::EditLink::endGesture(int index) {
    if (isValidParam(index) && owner_.handler_ != nullptr)
        owner_.handler_->endEdit(static_cast<ParamID>(index));
}

} // namespace kavet::vst3plugin
