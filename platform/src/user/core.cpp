// Threads, last error, version, and the lookups shared by the window manager.
#include "user/state.h"

#include <pthread.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace kavet::user {
namespace {

std::atomic<DWORD> g_nextThreadId{1};
thread_local DWORD t_lastError = 0;

// Marks a thread's queue dead when the thread ends, so that senders to its windows stop
// waiting. A key of the threads library rather than a thread_local object: a destructor per
// thread would keep a module that holds this layer loaded after the host unloads it, until
// the thread ends. The key goes with the module (its destructor is the module's code).
void threadEnded(void* value) {
    const auto id = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(value));
    State& s = state();
    std::lock_guard g(s.lock);
    auto it = s.queues.find(id);
    if (it != s.queues.end()) {
        it->second->alive = false;
        for (auto& sent : it->second->sent)
            sent->done = true;
        it->second->sent.clear();
        s.queues.erase(it);
    }
    s.changed.notify_all();
}

class ThreadExitKey {
public:
    ThreadExitKey() { made_ = pthread_key_create(&key_, threadEnded) == 0; }
    ~ThreadExitKey() {
        if (made_) pthread_key_delete(key_);
    }
    // The calling thread's queue `id` is marked dead when the thread ends.
    void watch(DWORD id) {
        if (made_) pthread_setspecific(key_, reinterpret_cast<void*>(std::uintptr_t{id}));
    }

private:
    pthread_key_t key_{};
    bool made_ = false;
};

ThreadExitKey& threadExitKey() {
    static ThreadExitKey key;
    return key;
}

} // namespace

State& state() {
    // Goes with the module (or the program) at its static destruction: a module unloaded
    // leaves no window, class or queue of its own behind. By then none of its code runs
    // any more, so nothing asks for the state after it is gone.
    static State s;
    return s;
}

std::shared_ptr<Window> findLocked(HWND hwnd) {
    State& s = state();
    auto it = s.windows.find(reinterpret_cast<std::uintptr_t>(hwnd));
    if (it == s.windows.end() || it->second->destroyed) return nullptr;
    return it->second;
}

std::shared_ptr<Window> find(HWND hwnd) {
    std::lock_guard g(state().lock);
    return findLocked(hwnd);
}

std::shared_ptr<ThreadQueue> queueLocked(DWORD thread) {
    State& s = state();
    auto& q = s.queues[thread];
    if (!q) {
        q = std::make_shared<ThreadQueue>();
        q->thread = thread;
        if (thread == GetCurrentThreadId()) threadExitKey().watch(thread);
    }
    return q;
}

POINT clientOriginLocked(const Window& w) {
    POINT p{w.rect.left, w.rect.top};
    HWND parent = w.parent;
    while (parent) {
        auto pw = findLocked(parent);
        if (!pw) break;
        p.x += pw->rect.left;
        p.y += pw->rect.top;
        parent = pw->parent;
    }
    return p;
}

bool visibleLocked(const Window& w) {
    const Window* cur = &w;
    while (true) {
        if (!(cur->style & WS_VISIBLE)) return false;
        if (!cur->parent) return true;
        auto pw = findLocked(cur->parent);
        if (!pw) return false;
        cur = pw.get();
    }
}

namespace {
bool contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// The deepest visible, enabled child of `w` under `local` (w's client coordinates).
HWND childFromPointLocked(const Window& w, POINT local) {
    for (auto it = w.children.rbegin(); it != w.children.rend(); ++it) {
        auto c = findLocked(*it);
        if (!c || !(c->style & WS_VISIBLE) || !contains(c->rect, local)) continue;
        POINT inner{local.x - c->rect.left, local.y - c->rect.top};
        return childFromPointLocked(*c, inner);
    }
    return w.handle;
}
} // namespace

HWND windowFromPointLocked(POINT screen) {
    State& s = state();
    for (auto it = s.topLevel.rbegin(); it != s.topLevel.rend(); ++it) {
        auto w = findLocked(*it);
        if (!w || !(w->style & WS_VISIBLE) || !contains(w->rect, screen)) continue;
        return childFromPointLocked(*w, {screen.x - w->rect.left, screen.y - w->rect.top});
    }
    return nullptr;
}

void notifyLocked() {
    state().generation++;
    state().changed.notify_all();
}

LRESULT callProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!proc) return 0;
    return proc(hwnd, msg, wParam, lParam);
}

} // namespace kavet::user

using namespace kavet::user;

DWORD WINAPI GetCurrentThreadId() {
    thread_local DWORD id = g_nextThreadId.fetch_add(1);
    return id;
}

DWORD WINAPI GetLastError() {
    return t_lastError;
}
void WINAPI SetLastError(DWORD dwErrCode) {
    t_lastError = dwErrCode;
}

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info) {
    if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    info->dwMajorVersion = 5;
    info->dwMinorVersion = 1;
    info->dwBuildNumber = 2600;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::memset(info->szCSDVersion, 0, sizeof(info->szCSDVersion));
    return TRUE;
}

HWND WINAPI WindowFromPoint(POINT Point) {
    std::lock_guard g(state().lock);
    return windowFromPointLocked(Point);
}

namespace kavet::user {

bool isDescendantLocked(HWND ancestor, HWND hwnd) {
    while (hwnd) {
        if (hwnd == ancestor) return true;
        auto w = findLocked(hwnd);
        if (!w) return false;
        hwnd = w->parent;
    }
    return false;
}

void purgeMessagesLocked(HWND hwnd) {
    for (auto& [id, q] : state().queues) {
        auto drop = [hwnd](const QueuedMessage& m) { return m.msg.hwnd == hwnd; };
        std::erase_if(q->posted, drop);
        std::erase_if(q->input, drop);
    }
}

} // namespace kavet::user

int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...) {
    if (!buffer || !format) return 0;
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, 1024, format, args);
    va_end(args);
    return n < 0 ? 0 : std::min(n, 1023);
}
