// The per-thread message queue: posting, sending (across threads too), retrieval with
// filters, hooks on input retrieval, synthesized WM_PAINT, translation and dispatch.
#include "user/clock.h"
#include "user/display.h"
#include "user/keyboard.h"
#include "user/state.h"

namespace kavet::user {
namespace {

struct Filter {
    HWND hwnd;
    UINT min, max;
};

bool inRange(UINT m, const Filter& f) {
    return (f.min == 0 && f.max == 0) || (m >= f.min && m <= f.max);
}

bool matchesLocked(const MSG& m, const Filter& f) {
    if (!inRange(m.message, f)) return false;
    if (!f.hwnd) return true;
    if (f.hwnd == reinterpret_cast<HWND>(-1)) return m.hwnd == nullptr;
    return m.hwnd && isDescendantLocked(f.hwnd, m.hwnd);
}

bool isMouseMessage(UINT m) {
    return m >= WM_MOUSEFIRST && m <= WM_MOUSELAST;
}
bool isKeyMessage(UINT m) {
    return m >= WM_KEYFIRST && m <= WM_KEYLAST;
}

// Parent first, then children bottom to top.
HWND paintCandidateLocked(const std::vector<HWND>& list, DWORD thread, const Filter& f) {
    for (HWND h : list) {
        auto w = findLocked(h);
        if (!w || !(w->style & WS_VISIBLE)) continue;
        if (w->thread == thread && !isEmpty(w->update) &&
            (!f.hwnd || isDescendantLocked(f.hwnd, h)))
            return h;
        if (HWND c = paintCandidateLocked(w->children, thread, f)) return c;
    }
    return nullptr;
}

void setLastLocked(ThreadQueue& q, const MSG& m) {
    q.lastTime = static_cast<LONG>(m.time);
    q.lastPos = static_cast<DWORD>(MAKELONG(m.pt.x, m.pt.y));
}

MSG stampLocked(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return MSG{hwnd, message, wParam, lParam, static_cast<DWORD>(nowMs()), state().cursor};
}

// Input message taken from the queue: runs the hooks; false when a hook consumed it.
bool passHooks(const QueuedMessage& qm, bool removing) {
    int code = removing ? HC_ACTION : HC_NOREMOVE;
    if (isMouseMessage(qm.msg.message)) {
        MOUSEHOOKSTRUCTEX mh{};
        mh.pt = qm.msg.pt;
        mh.hwnd = qm.hookWindow ? qm.hookWindow : qm.msg.hwnd;
        mh.wHitTestCode = HTCLIENT;
        mh.dwExtraInfo = 0;
        mh.mouseData = qm.mouseData;
        return !runHooks(WH_MOUSE, code, qm.msg.message, reinterpret_cast<LPARAM>(&mh));
    }
    if (isKeyMessage(qm.msg.message) && qm.msg.message != WM_CHAR)
        return !runHooks(WH_KEYBOARD, code, qm.msg.wParam, qm.msg.lParam);
    return true;
}

bool peekOne(MSG* out, const Filter& f, UINT flags) {
    State& s = state();
    const DWORD me = GetCurrentThreadId();
    const bool removing = (flags & PM_REMOVE) != 0;
    while (true) {
        answerSent();
        std::unique_lock lk(s.lock);
        auto q = queueLocked(me);
        for (auto it = q->posted.begin(); it != q->posted.end(); ++it) {
            if (!matchesLocked(it->msg, f)) continue;
            *out = it->msg;
            if (removing) q->posted.erase(it);
            setLastLocked(*q, *out);
            return true;
        }
        bool retry = false;
        for (auto it = q->input.begin(); it != q->input.end(); ++it) {
            if (!matchesLocked(it->msg, f)) continue;
            QueuedMessage qm = *it;
            if (removing) q->input.erase(it);
            q->keys = qm.keys;
            setLastLocked(*q, qm.msg);
            lk.unlock();
            if (passHooks(qm, removing)) {
                *out = qm.msg;
                return true;
            }
            lk.lock();
            if (!removing)
                std::erase_if(q->input,
                              [&](const QueuedMessage& m) { return m.serial == qm.serial; });
            retry = true;
            break;
        }
        if (retry) continue;
        if (q->quit && inRange(WM_QUIT, f)) {
            *out = stampLocked(nullptr, WM_QUIT, static_cast<WPARAM>(q->quitCode), 0);
            if (removing) q->quit = false;
            return true;
        }
        if (inRange(WM_PAINT, f)) {
            if (HWND h = paintCandidateLocked(s.topLevel, me, f)) {
                *out = stampLocked(h, WM_PAINT, 0, 0);
                setLastLocked(*q, *out);
                return true;
            }
        }
        return false;
    }
}

} // namespace

bool answerSent() {
    State& s = state();
    const DWORD me = GetCurrentThreadId();
    bool any = false;
    while (true) {
        std::shared_ptr<SentMessage> sm;
        WNDPROC proc = nullptr;
        {
            std::lock_guard g(s.lock);
            auto q = queueLocked(me);
            if (q->sent.empty()) return any;
            sm = q->sent.front();
            q->sent.pop_front();
            if (auto w = findLocked(sm->hwnd)) proc = w->proc;
        }
        LRESULT r = proc ? callProc(proc, sm->hwnd, sm->message, sm->wParam, sm->lParam) : 0;
        std::lock_guard g(s.lock);
        sm->result = r;
        sm->done = true;
        notifyLocked();
        any = true;
    }
}

LRESULT send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    State& s = state();
    const DWORD me = GetCurrentThreadId();
    auto sm = std::make_shared<SentMessage>(SentMessage{hwnd, msg, wParam, lParam});
    {
        std::lock_guard g(s.lock);
        auto w = findLocked(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        if (w->thread != me) {
            auto it = s.queues.find(w->thread);
            if (it == s.queues.end() || !it->second->alive) return 0;
            it->second->sent.push_back(sm);
            notifyLocked();
        } else {
            WNDPROC proc = w->proc;
            s.lock.unlock();
            LRESULT r = callProc(proc, hwnd, msg, wParam, lParam);
            s.lock.lock();
            return r;
        }
    }
    // Wait for the owner thread, answering whatever is sent to this thread meanwhile.
    std::unique_lock lk(s.lock);
    while (!sm->done) {
        auto q = queueLocked(me);
        if (!q->sent.empty()) {
            lk.unlock();
            answerSent();
            lk.lock();
            continue;
        }
        s.changed.wait(lk);
    }
    return sm->result;
}

void postInputLocked(QueuedMessage m) {
    State& s = state();
    auto w = findLocked(m.msg.hwnd);
    if (!w) return;
    auto q = queueLocked(w->thread);
    m.input = true;
    m.serial = s.nextSerial++;
    m.keys = s.asyncKeys;
    // Consecutive moves over one window collapse into the latest, as on Windows.
    if (m.msg.message == WM_MOUSEMOVE && !q->input.empty() &&
        q->input.back().msg.message == WM_MOUSEMOVE && q->input.back().msg.hwnd == m.msg.hwnd)
        q->input.back() = m;
    else
        q->input.push_back(m);
    notifyLocked();
}

void postTask(HWND hwnd, std::function<void()> task) {
    State& s = state();
    WPARAM id;
    {
        std::lock_guard g(s.lock);
        id = s.nextTask++;
        s.tasks[id] = std::move(task);
    }
    PostMessageA(hwnd, kTaskMessage, id, 0);
}

bool runTask(WPARAM id) {
    std::function<void()> task;
    {
        State& s = state();
        std::lock_guard g(s.lock);
        auto it = s.tasks.find(id);
        if (it == s.tasks.end()) return false;
        task = std::move(it->second);
        s.tasks.erase(it);
    }
    task();
    return true;
}

} // namespace kavet::user

using namespace kavet::user;

LRESULT WINAPI SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return send(hwnd, msg, wParam, lParam);
}

LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return callProc(proc, hwnd, msg, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    State& s = state();
    std::lock_guard g(s.lock);
    DWORD thread = GetCurrentThreadId();
    if (hwnd) {
        auto w = findLocked(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        thread = w->thread;
    }
    QueuedMessage qm;
    qm.msg = MSG{hwnd, msg, wParam, lParam, static_cast<DWORD>(nowMs()), s.cursor};
    qm.serial = s.nextSerial++;
    queueLocked(thread)->posted.push_back(qm);
    notifyLocked();
    return TRUE;
}

BOOL WINAPI PostThreadMessageA(DWORD thread, UINT msg, WPARAM wParam, LPARAM lParam) {
    State& s = state();
    std::lock_guard g(s.lock);
    auto it = s.queues.find(thread);
    if (it == s.queues.end() || !it->second->alive) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    QueuedMessage qm;
    qm.msg = MSG{nullptr, msg, wParam, lParam, static_cast<DWORD>(nowMs()), s.cursor};
    qm.serial = s.nextSerial++;
    it->second->posted.push_back(qm);
    notifyLocked();
    return TRUE;
}

void WINAPI PostQuitMessage(int code) {
    State& s = state();
    std::lock_guard g(s.lock);
    auto q = queueLocked(GetCurrentThreadId());
    q->quit = true;
    q->quitCode = code;
    notifyLocked();
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT min, UINT max, UINT flags) {
    if (!msg) return FALSE;
    display::service();
    processDueEvents();
    return peekOne(msg, {hwnd, min, max}, flags) ? TRUE : FALSE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT min, UINT max) {
    if (!msg) return -1;
    State& s = state();
    while (true) {
        std::uint64_t generation;
        {
            std::lock_guard g(s.lock);
            generation = s.generation;
        }
        display::service();
        processDueEvents();
        if (peekOne(msg, {hwnd, min, max}, PM_REMOVE)) return msg->message != WM_QUIT;
        std::uint64_t next;
        bool pending = clock::nextEvent(next);
        if (pending && clock::isVirtual()) {
            // Nothing to do until the next scripted event: let virtual time jump there.
            clock::advanceTo(next);
            continue;
        }
        std::unique_lock lk(s.lock);
        if (s.generation != generation) continue;
        if (pending)
            s.changed.wait_for(lk, std::chrono::milliseconds(
                                       next > nowMs() ? static_cast<long>(next - nowMs()) : 0));
        else
            s.changed.wait(lk, [&] { return s.generation != generation; });
    }
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (!msg) return FALSE;
    UINT m = msg->message;
    if (m != WM_KEYDOWN && m != WM_SYSKEYDOWN) return (m == WM_KEYUP || m == WM_SYSKEYUP);
    bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
    bool caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
    char c = charForKey(static_cast<int>(msg->wParam), shift, control, caps);
    if (c)
        PostMessageA(msg->hwnd, m == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR,
                     static_cast<WPARAM>(static_cast<unsigned char>(c)), msg->lParam);
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (!msg) return 0;
    if (msg->message == kTaskMessage) return runTask(msg->wParam) ? 1 : 0;
    if (!msg->hwnd) return 0;
    auto w = find(msg->hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return callProc(w->proc, msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LONG WINAPI GetMessageTime() {
    std::lock_guard g(state().lock);
    return queueLocked(GetCurrentThreadId())->lastTime;
}

DWORD WINAPI GetMessagePos() {
    std::lock_guard g(state().lock);
    return queueLocked(GetCurrentThreadId())->lastPos;
}
