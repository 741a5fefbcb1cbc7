#include "process_registry.h"

#include "protools/framework/global_lock.h"

#include <map>

namespace kavet::pt {

namespace {

// The callback runs on the [UI thread] (editor gestures), never on the audio thread, so a
// lock costs nothing where it matters and keeps a concurrent insertion from tearing a read.
struct Guard {
    Guard() { Lock().lock(); }
    ~Guard() { Lock().unlock(); }
    static ptfw::RecursiveSpinLock& Lock() {
        static ptfw::RecursiveSpinLock lock;
        return lock;
    }
};

std::map<AEffect*, CTemplateNoUIProcessRTAS*>& Registry() {
    static std::map<AEffect*, CTemplateNoUIProcessRTAS*> registry;
    return registry;
}

} // namespace

void RegisterProcess(AEffect* effect, CTemplateNoUIProcessRTAS* process) {
    Guard guard;
    Registry()[effect] = process;
}

void UnregisterProcess(AEffect* effect, const CTemplateNoUIProcessRTAS* process) {
    Guard guard;
    auto found = Registry().find(effect);
    if (found != Registry().end() && found->second == process) Registry().erase(found);
}

CTemplateNoUIProcessRTAS* FindProcess(AEffect* effect) {
    Guard guard;
    auto found = Registry().find(effect);
    return found == Registry().end() ? nullptr : found->second;
}

std::size_t RegisteredProcessCount() {
    Guard guard;
    return Registry().size();
}

} // namespace kavet::pt
