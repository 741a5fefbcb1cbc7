// The installed display backend, read on every input query: an atomic pointer, so that the
// headless case costs one load.
#include "user/display.h"

#include <atomic>

namespace kavet::user::display {
namespace {

std::atomic<Backend*> g_backend{nullptr};

} // namespace

void install(Backend* backend) {
    g_backend.store(backend);
}

void uninstall(Backend* backend) {
    Backend* expected = backend;
    g_backend.compare_exchange_strong(expected, nullptr);
}

void pollInput() {
    if (Backend* b = g_backend.load()) b->pollInput();
}

void service() {
    if (Backend* b = g_backend.load()) b->service();
}

void focusMoved(HWND from, HWND to) {
    if (Backend* b = g_backend.load()) b->focusMoved(from, to);
}

void cursorShown(bool shown) {
    if (Backend* b = g_backend.load()) b->cursorShown(shown);
}

void cursorMoved(POINT screen) {
    if (Backend* b = g_backend.load()) b->cursorMoved(screen);
}

} // namespace kavet::user::display
