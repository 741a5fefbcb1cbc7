// The messages a component and its controller send each other through the host's objects:
// an attribute list (named integers, floats, strings and binary blocks) and a message (an
// id and its attributes). Made by the host application's createInstance. [UI thread]
#pragma once

#include "vst3_host_object.h"

#include "vst3/messages.h"

#include <map>
#include <string>
#include <variant>
#include <vector>

namespace kavet::host {

class AttributeList final : public HostObject<AttributeList, vst3::IAttributeList> {
public:
    using Value = std::variant<vst3::int64, double, std::u16string, std::vector<unsigned char>>;

    // Null ids and null data are refused (kInvalidArgument); a getter answers kResultFalse
    // for a name that holds no value of its type. getString copies at most sizeInBytes bytes,
    // always terminated; getBinary's data stays valid until the value is set again.
    vst3::tresult KAVET_VST3_CALL setInt(vst3::AttrID id, vst3::int64 value) override;
    vst3::tresult KAVET_VST3_CALL getInt(vst3::AttrID id, vst3::int64& value) override;
    vst3::tresult KAVET_VST3_CALL setFloat(vst3::AttrID id, double value) override;
    vst3::tresult KAVET_VST3_CALL getFloat(vst3::AttrID id, double& value) override;
    vst3::tresult KAVET_VST3_CALL setString(vst3::AttrID id, const vst3::char16* string) override;
    vst3::tresult KAVET_VST3_CALL getString(vst3::AttrID id, vst3::char16* string,
                                            vst3::uint32 sizeInBytes) override;
    vst3::tresult KAVET_VST3_CALL setBinary(vst3::AttrID id, const void* data,
                                            vst3::uint32 sizeInBytes) override;
    vst3::tresult KAVET_VST3_CALL getBinary(vst3::AttrID id, const void*& data,
                                            vst3::uint32& sizeInBytes) override;

private:
    template <class T> const T* find(vst3::AttrID id) const;

    std::map<std::string, Value, std::less<>> values_;
};

class Message final : public HostObject<Message, vst3::IMessage> {
public:
    Message();
    ~Message();

    vst3::FIDString KAVET_VST3_CALL getMessageID() override;
    void KAVET_VST3_CALL setMessageID(vst3::FIDString id) override; // null clears it
    // The list stays the message's; the caller gets no reference of its own.
    vst3::IAttributeList* KAVET_VST3_CALL getAttributes() override;

private:
    std::string id_;
    bool hasId_ = false;
    AttributeList* attributes_;
};

} // namespace kavet::host
