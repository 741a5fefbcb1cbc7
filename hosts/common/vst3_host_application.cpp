#include "vst3_host_application.h"

#include "vst3_message.h"

#include <algorithm>
#include <iterator>

namespace kavet::host {

using namespace vst3;

tresult HostApplication::getName(char16* name) {
    if (name == nullptr) return kInvalidArgument;
    std::copy(std::begin(kName), std::end(kName), name); // with its terminator, < 128 units
    return kResultOk;
}

tresult HostApplication::createInstance(char* cid, char* iid, void** obj) {
    if (obj == nullptr) return kInvalidArgument;
    *obj = nullptr;
    FUnknown* made = nullptr;
    if (IMessage::iid.is(cid))
        made = static_cast<IMessage*>(new Message);
    else if (IAttributeList::iid.is(cid))
        made = static_cast<IAttributeList*>(new AttributeList);
    if (made == nullptr) return kResultFalse;
    const tresult result = made->queryInterface(iid, obj);
    made->release(); // the caller's reference, if any, is the one queryInterface added
    return result == kResultOk ? kResultOk : kResultFalse;
}

} // namespace kavet::host
