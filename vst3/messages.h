// Messages between the component and its controller, and the host's application interface
// that creates them.
#pragma once

#include "base.h"

namespace kavet::vst3 {

using AttrID = const char*;

class IAttributeList : public FUnknown {
public:
    static constexpr Uid iid = Uid::of(0x1E5F0AEB, 0xCC7F4533, 0xA2544011, 0x38AD5EE4);

    virtual tresult KAVET_VST3_CALL setInt(AttrID id, int64 value) = 0;
    virtual tresult KAVET_VST3_CALL getInt(AttrID id, int64& value) = 0;
    virtual tresult KAVET_VST3_CALL setFloat(AttrID id, double value) = 0;
    virtual tresult KAVET_VST3_CALL getFloat(AttrID id, double& value) = 0;
    virtual tresult KAVET_VST3_CALL setString(AttrID id, const char16* string) = 0;
    virtual tresult KAVET_VST3_CALL getString(AttrID id, char16* string, uint32 sizeInBytes) = 0;
    virtual tresult KAVET_VST3_CALL setBinary(AttrID id, const void* data, uint32 sizeInBytes) = 0;
    virtual tresult KAVET_VST3_CALL getBinary(AttrID id, const void*& data,
                                              uint32& sizeInBytes) = 0;

protected:
    ~IAttributeList() = default;
};

class IMessage : public FUnknown {
public:
    static constexpr Uid iid = Uid::of(0x936F033B, 0xC6C047DB, 0xBB0882F8, 0x13C1E613);

    virtual FIDString KAVET_VST3_CALL getMessageID() = 0;
    virtual void KAVET_VST3_CALL setMessageID(FIDString id) = 0;
    virtual IAttributeList* KAVET_VST3_CALL getAttributes() = 0;

protected:
    ~IMessage() = default;
};

// The link between a component and its controller; the host connects each to the other (or
// to a proxy of the other). [UI thread]
class IConnectionPoint : public FUnknown {
public:
    static constexpr Uid iid = Uid::of(0x70A4156F, 0x6E6E4026, 0x989148BF, 0xAA60D8D1);

    virtual tresult KAVET_VST3_CALL connect(IConnectionPoint* other) = 0;
    virtual tresult KAVET_VST3_CALL disconnect(IConnectionPoint* other) = 0;
    virtual tresult KAVET_VST3_CALL notify(IMessage* message) = 0;

protected:
    ~IConnectionPoint() = default;
};

// The host, as initialize's context: its name, and the objects it creates for the plug-in
// (a message: cid and iid both IMessage's).
class IHostApplication : public FUnknown {
public:
    static constexpr Uid iid = Uid::of(0x58E595CC, 0xDB2D4969, 0x8B6AAF8C, 0x36A664E5);

    virtual tresult KAVET_VST3_CALL getName(char16* name) = 0; // 128 UTF-16 units
    virtual tresult KAVET_VST3_CALL createInstance(char* cid, char* iid, void** obj) = 0;

protected:
    ~IHostApplication() = default;
};

} // namespace kavet::vst3
