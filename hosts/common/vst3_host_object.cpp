#include "vst3_host_object.h"

namespace kavet::host {

namespace {
std::atomic<int> g_live{0};
}

int liveHostObjects() {
    return g_live.load();
}

namespace detail {
void countHostObject(int change) {
    g_live += change;
}
} // namespace detail

} // namespace kavet::host
