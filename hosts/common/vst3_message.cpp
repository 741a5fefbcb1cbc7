#include "vst3_message.h"

#include <algorithm>
#include <cstring>

namespace kavet::host {

using namespace vst3;

template <class T> const T* AttributeList::find(AttrID id) const {
    if (id == nullptr) return nullptr;
    const auto it = values_.find(std::string_view(id));
    return it != values_.end() ? std::get_if<T>(&it->second) : nullptr;
}

tresult AttributeList::setInt(AttrID id, int64 value) {
    if (id == nullptr) return kInvalidArgument;
    values_[id] = value;
    return kResultOk;
}

tresult AttributeList::getInt(AttrID id, int64& value) {
    const auto* found = find<int64>(id);
    if (found == nullptr) return kResultFalse;
    value = *found;
    return kResultOk;
}

tresult AttributeList::setFloat(AttrID id, double value) {
    if (id == nullptr) return kInvalidArgument;
    values_[id] = value;
    return kResultOk;
}

tresult AttributeList::getFloat(AttrID id, double& value) {
    const auto* found = find<double>(id);
    if (found == nullptr) return kResultFalse;
    value = *found;
    return kResultOk;
}

tresult AttributeList::setString(AttrID id, const char16* string) {
    if (id == nullptr || string == nullptr) return kInvalidArgument;
    values_[id] = std::u16string(string);
    return kResultOk;
}

tresult AttributeList::getString(AttrID id, char16* string, uint32 sizeInBytes) {
    const auto* found = find<std::u16string>(id);
    if (found == nullptr) return kResultFalse;
    const std::size_t units = sizeInBytes / sizeof(char16);
    if (string == nullptr || units == 0) return kInvalidArgument;
    const std::size_t copied = std::min(found->size(), units - 1);
    std::copy_n(found->data(), copied, string);
    string[copied] = 0;
    return kResultOk;
}

tresult AttributeList::setBinary(AttrID id, const void* data, uint32 sizeInBytes) {
    if (id == nullptr || (data == nullptr && sizeInBytes > 0)) return kInvalidArgument;
    const auto* bytes = static_cast<const unsigned char*>(data);
    values_[id] = std::vector<unsigned char>(bytes, bytes + sizeInBytes);
    return kResultOk;
}

tresult AttributeList::getBinary(AttrID id, const void*& data, uint32& sizeInBytes) {
    const auto* found = find<std::vector<unsigned char>>(id);
    if (found == nullptr) return kResultFalse;
    data = found->data();
    sizeInBytes = static_cast<uint32>(found->size());
    return kResultOk;
}

Message::Message() : attributes_(new AttributeList) {}

Message::~Message() {
    attributes_->release();
}

FIDString Message::getMessageID() {
    return hasId_ ? id_.c_str() : nullptr;
}

void Message::setMessageID(FIDString id) {
    hasId_ = id != nullptr;
    id_ = hasId_ ? id : "";
}

IAttributeList* Message::getAttributes() {
    return attributes_;
}

} // namespace kavet::host
