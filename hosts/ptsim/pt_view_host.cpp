#include "pt_view_host.h"

#include "hosts/common/host_error.h"

namespace kavet::ptsim {

namespace {

constexpr const char* kHostWindowClass = "PtsimPlugInWindow";

// The class of the host's plug-in windows, registered once per process.
bool registerHostClass() {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        wc.lpszClassName = kHostWindowClass;
        return RegisterClassA(&wc) != 0 || GetLastError() == 1410; // already registered
    }();
    return registered;
}

} // namespace

PtViewHost::PtViewHost(PtInstance& instance, int clientWidth, int clientHeight)
    : instance_(instance) {
    if (!registerHostClass()) throw host::HostError("cannot register the host window class");
    // A borderless window: its client area is the whole window.
    window_ = CreateWindowExA(0, kHostWindowClass, "Plug-in", WS_POPUP, 0, 0, clientWidth,
                              clientHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window_ == nullptr) throw host::HostError("cannot create the host's plug-in window");
    port_.window = window_;
}

PtViewHost::~PtViewHost() {
    dispose();
    DestroyWindow(window_);
}

std::int32_t PtViewHost::viewRect(PtViewRect* out) const {
    return instance_.routines().getViewRect(instance_.handle(), out);
}

std::int32_t PtViewHost::createView(PtViewRect* out) {
    return instance_.routines().createView(instance_.handle(), out);
}

std::int32_t PtViewHost::attachPort() {
    ShowWindow(window_, SW_SHOW);
    return instance_.routines().setViewPort(instance_.handle(), &port_);
}

std::int32_t PtViewHost::detachPort() {
    return instance_.routines().setViewPort(instance_.handle(), nullptr);
}

std::int32_t PtViewHost::draw(const PtViewRect& area) {
    return instance_.routines().drawView(instance_.handle(), &area);
}

std::int32_t PtViewHost::idle() {
    return instance_.routines().idleView(instance_.handle());
}

std::int32_t PtViewHost::dispose() {
    return instance_.routines().disposeView(instance_.handle());
}

std::int32_t PtViewHost::open() {
    PtViewRect rect{};
    if (std::int32_t status = viewRect(&rect)) return status;
    if (std::int32_t status = createView()) return status;
    return attachPort();
}

} // namespace kavet::ptsim
