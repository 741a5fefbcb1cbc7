// Stand-in for the host library DigiExt.dll: registers resource files (recording the path
// and the byte-order callback), withdraws them, and turns drawing ports into windows.
#include "stand_in.h"

#include <cstring>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int kCapacity = 256;
PtsimRegistration registrations[kCapacity];
int32_t count = 0;

} // namespace

EXPORT int32_t RegisterResourceFile(const char* path, PtByteOrderCallback swapper) {
    if (path == nullptr || count == kCapacity) return 0;
    PtsimRegistration& r = registrations[count];
    r.id = count + 1;
    std::strncpy(r.path, path, sizeof r.path - 1);
    r.path[sizeof r.path - 1] = 0;
    r.swapper = swapper;
    r.active = 1;
    return registrations[count++].id;
}

EXPORT void UnregisterResourceFile(int32_t id) {
    if (id >= 1 && id <= count) registrations[id - 1].active = 0;
}

EXPORT void* PortToWindow(void* port) {
    return port ? static_cast<PtsimPort*>(port)->window : nullptr;
}

EXPORT int32_t PtsimDigiExtRegistrationCount() {
    return count;
}

EXPORT int32_t PtsimDigiExtRegistration(int32_t index, PtsimRegistration* out) {
    if (index < 0 || index >= count || out == nullptr) return 0;
    *out = registrations[index];
    return 1;
}
