// The host as its objects' initialize() context: its name, and the messages and attribute
// lists it makes for the plug-in. [UI thread]
#pragma once

#include "vst3_host_object.h"

#include "vst3/messages.h"

namespace kavet::host {

class HostApplication final : public HostObject<HostApplication, vst3::IHostApplication> {
public:
    static constexpr char16_t kName[] = u"Kavet VST 3 host";

    vst3::tresult KAVET_VST3_CALL getName(vst3::char16* name) override;
    // cid IMessage: a new message; cid IAttributeList: a new list. `iid` must name an
    // interface the object has; anything else answers kResultFalse and null.
    vst3::tresult KAVET_VST3_CALL createInstance(char* cid, char* iid, void** obj) override;
};

} // namespace kavet::host
