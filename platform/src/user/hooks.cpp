// WH_MOUSE and WH_KEYBOARD hooks: a chain per kind, newest first; thread hooks and
// (thread id 0) hooks for every thread.
#include "user/state.h"

namespace kavet::user {
namespace {

bool applies(const Hook& h, int kind, DWORD thread) {
    return !h.removed && h.kind == kind && (h.thread == 0 || h.thread == thread);
}

// The first applicable hook after `after` (or the first of all for null).
std::shared_ptr<Hook> nextHook(HHOOK after, int kind, DWORD thread) {
    std::lock_guard g(state().lock);
    auto& hooks = state().hooks;
    auto it = hooks.begin();
    if (after) {
        while (it != hooks.end() && (*it)->handle != after)
            ++it;
        if (it == hooks.end()) return nullptr;
        ++it;
    }
    for (; it != hooks.end(); ++it)
        if (applies(**it, kind, thread)) return *it;
    return nullptr;
}

int kindOf(HHOOK hhk) {
    std::lock_guard g(state().lock);
    for (auto& h : state().hooks)
        if (h->handle == hhk) return h->kind;
    return -1;
}

} // namespace

bool runHooks(int kind, int code, WPARAM wParam, LPARAM lParam) {
    auto first = nextHook(nullptr, kind, GetCurrentThreadId());
    return first && first->proc(code, wParam, lParam) != 0;
}

} // namespace kavet::user

using namespace kavet::user;

HHOOK WINAPI SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE, DWORD thread) {
    if (idHook != WH_MOUSE && idHook != WH_KEYBOARD) {
        SetLastError(ERROR_INVALID_HOOK_FILTER);
        return nullptr;
    }
    if (!proc) {
        SetLastError(ERROR_INVALID_FILTER_PROC);
        return nullptr;
    }
    State& s = state();
    std::lock_guard g(s.lock);
    auto h =
        std::make_shared<Hook>(Hook{reinterpret_cast<HHOOK>(s.nextHook), idHook, proc, thread});
    s.nextHook += 4;
    s.hooks.insert(s.hooks.begin(), h);
    return h->handle;
}

BOOL WINAPI UnhookWindowsHookEx(HHOOK hhk) {
    State& s = state();
    std::lock_guard g(s.lock);
    for (auto it = s.hooks.begin(); it != s.hooks.end(); ++it) {
        if ((*it)->handle != hhk) continue;
        (*it)->removed = true;
        s.hooks.erase(it);
        return TRUE;
    }
    SetLastError(ERROR_INVALID_HOOK_HANDLE);
    return FALSE;
}

LRESULT WINAPI CallNextHookEx(HHOOK hhk, int code, WPARAM wParam, LPARAM lParam) {
    int kind = kindOf(hhk);
    if (kind < 0) return 0;
    auto next = nextHook(hhk, kind, GetCurrentThreadId());
    return next ? next->proc(code, wParam, lParam) : 0;
}
