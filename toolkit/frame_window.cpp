// The window side of CFrame: the window class (registered with the first frame that has a
// window, gone with the last), the thread's mouse hook that brings wheel turns to the frame
// window under the pointer, the window procedure, and the frame's own child window.
#include "frame.h"

#include "drawcontext.h"
#include "drawglobals.h"
#include "textedit.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <vector>

namespace toolkit {
namespace {

// Process-wide state: lives as long as the module; the class and the hook go with the last
// frame that has a window. [UI thread], not locked.
struct WindowClassState {
    std::int32_t useCount = 0;
    char name[40] = {};
    HHOOK wheelHook = nullptr;
    std::vector<HWND> frameWindows;
};

WindowClassState& classState() {
    static WindowClassState state;
    return state;
}

// One wheel notch (WHEEL_DELTA, 120) is a distance of 1.0.
constexpr float kWheelDistancePerUnit = 0.008333334f;

// Sees the mouse messages of the editor's thread. A wheel turn over a frame window goes to
// that window even while another window of the thread (the host's) has the focus.
LRESULT CALLBACK wheelHookProc(int code, WPARAM wParam, LPARAM lParam) {
    WindowClassState& state = classState();
    if (code >= 0 && wParam == WM_MOUSEWHEEL && lParam) {
        const auto* record = reinterpret_cast<const MOUSEHOOKSTRUCTEX*>(lParam);
        if (CFrame::isFrameWindow(record->hwnd)) {
            CFrame::windowProc(record->hwnd, WM_MOUSEWHEEL, static_cast<WPARAM>(record->mouseData),
                               MAKELPARAM(record->pt.x, record->pt.y));
            return -1; // consumed
        }
    }
    return CallNextHookEx(state.wheelHook, code, wParam, lParam);
}

CFrame* frameOf(HWND hwnd) {
    return reinterpret_cast<CFrame*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

bool registerWindowClass() {
    WindowClassState& state = classState();
    if (state.useCount++ > 0) {
        return true;
    }
    HINSTANCE instance = getModuleInstance();
    // The module handle makes the name unique per module: two plug-ins in one host never
    // share a class whose window procedure lives in the other.
    std::snprintf(state.name, sizeof state.name, "Plugin%" PRIxPTR,
                  reinterpret_cast<std::uintptr_t>(instance));
    WNDCLASSA wc{};
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = CFrame::windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = state.name;
    const bool registered = RegisterClassA(&wc) != 0;
    // Only the editor's own thread: a hook for every thread of the desktop would make
    // Windows load this module into other processes.
    state.wheelHook = SetWindowsHookExA(WH_MOUSE, wheelHookProc, instance, GetCurrentThreadId());
    gSwapMouseButtons = GetSystemMetrics(SM_SWAPBUTTON) > 0;
    return registered;
}

void unregisterWindowClass() {
    WindowClassState& state = classState();
    if (state.useCount <= 0 || --state.useCount > 0) {
        return;
    }
    UnregisterClassA(state.name, getModuleInstance());
    if (state.wheelHook) {
        UnhookWindowsHookEx(state.wheelHook);
        state.wheelHook = nullptr;
    }
}

// Window procedure cases; each returns true when the message is answered.
bool onPaint(CFrame* frame, HWND hwnd) {
    RECT update;
    if (!GetUpdateRect(hwnd, &update, FALSE)) {
        return false;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    {
        // The context gives the DC back its objects before EndPaint releases it.
        CDrawContext context(frame, dc, hwnd);
        frame->drawRect(&context, CRectangle::fromRECT(ps.rcPaint));
    }
    EndPaint(hwnd, &ps);
    return true;
}

void onButtonDown(CFrame* frame, HWND hwnd, LPARAM lParam) {
    SetFocus(hwnd);
    CDrawContext context(frame, nullptr, hwnd);
    CPosition where(LOWORD(lParam), HIWORD(lParam));
    frame->mouse(&context, where, kButtonsUnknown);
}

void onWheelMessage(CFrame* frame, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    CDrawContext context(frame, nullptr, hwnd);
    RECT window;
    GetWindowRect(hwnd, &window);
    // lParam is the pointer in screen coordinates.
    const CPosition where(static_cast<short>(LOWORD(lParam)) - window.left,
                          static_cast<short>(HIWORD(lParam)) - window.top);
    const float distance =
        static_cast<float>(static_cast<short>(HIWORD(wParam))) * kWheelDistancePerUnit;
    frame->onWheel(&context, where, distance);
}

LRESULT onColorEdit(CFrame* frame, WPARAM wParam) {
    auto* edit = dynamic_cast<CTextEdit*>(frame->getFocusView());
    if (!edit) {
        return 0;
    }
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, toColorRef(edit->getFontColor()));
    SetBkColor(dc, toColorRef(edit->getBackColor()));
    if (edit->getEditBrush()) {
        DeleteObject(edit->getEditBrush());
    }
    HBRUSH brush = CreateSolidBrush(toColorRef(edit->getBackColor()));
    edit->setEditBrush(brush);
    return reinterpret_cast<LRESULT>(brush);
}

} // namespace

// Lets the window procedure clear the parent window on WM_DESTROY.
struct FrameWindowAccess {
    static void destroyed(CFrame* frame) {
        frame->setOpenFlag(false);
        frame->pSystemWindow = nullptr;
    }
};

LRESULT CALLBACK CFrame::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CFrame* frame = frameOf(hwnd);
    if (frame) {
        switch (message) {
        case WM_PAINT:
            if (onPaint(frame, hwnd)) {
                return 0;
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            onButtonDown(frame, hwnd, lParam);
            return 0;
        case WM_MOUSEWHEEL:
            onWheelMessage(frame, hwnd, wParam, lParam);
            break; // the parent sees the wheel too
        case WM_CTLCOLOREDIT:
            if (LRESULT brush = onColorEdit(frame, wParam)) {
                return brush;
            }
            break;
        case WM_DESTROY:
            FrameWindowAccess::destroyed(frame);
            break;
        default:
            break;
        }
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// ---- The frame's window --------------------------------------------------------------

void CFrame::createWindow() {
    registerWindowClass();
    pHwnd =
        CreateWindowExA(0, classState().name, "Window", WS_CHILD | WS_VISIBLE, 0, 0, size.width(),
                        size.height(), pSystemWindow, nullptr, getModuleInstance(), nullptr);
    if (!pHwnd) {
        unregisterWindowClass();
        return;
    }
    SetWindowLongPtrA(pHwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    classState().frameWindows.push_back(pHwnd);
    setDropActive(true);
}

void CFrame::destroyWindow() {
    auto& windows = classState().frameWindows;
    windows.erase(std::remove(windows.begin(), windows.end(), pHwnd), windows.end());
    SetWindowLongPtrA(pHwnd, GWLP_USERDATA, 0);
    DestroyWindow(pHwnd);
    pHwnd = nullptr;
    unregisterWindowClass();
}

std::int32_t CFrame::getWindowClassUseCount() {
    return classState().useCount;
}

const char* CFrame::getWindowClassName() {
    return classState().name;
}

HHOOK CFrame::getWheelHook() {
    return classState().wheelHook;
}

bool CFrame::isFrameWindow(HWND hwnd) {
    const auto& windows = classState().frameWindows;
    return hwnd && std::find(windows.begin(), windows.end(), hwnd) != windows.end();
}

} // namespace toolkit
