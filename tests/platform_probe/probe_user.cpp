// Compile check of the USER32/KERNEL32 subset: every function, constant and structure
// that the toolkit and the editor use, written as Windows code writes it. Built natively
// against platform/ and with MinGW-w64 (i686) against the system's windows.h; run natively,
// it also exercises each call once.
#include <windows.h>

namespace {

HHOOK g_hook;
WNDPROC g_previous;

LRESULT CALLBACK probeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        RECT r;
        if (GetUpdateRect(hwnd, &r, FALSE)) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            (void)dc;
            EndPaint(hwnd, &ps);
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        SetFocus(hwnd);
        POINT where{static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
        (void)where;
        return 0;
    }
    case WM_MOUSEWHEEL: {
        RECT r;
        GetWindowRect(hwnd, &r);
        float distance = static_cast<float>(static_cast<short>(HIWORD(wParam))) * 0.008333334f;
        (void)distance;
        break;
    }
    case WM_CTLCOLOREDIT:
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
    case WM_DESTROY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK editProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
    if (msg == WM_KILLFOCUS || (msg == WM_KEYDOWN && wParam == VK_RETURN)) {
        char text[256];
        GetWindowTextA(hwnd, text, 255);
    }
    return CallWindowProcA(g_previous, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK mouseHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && wParam == WM_MOUSEWHEEL) {
        auto* record = reinterpret_cast<MOUSEHOOKSTRUCTEX*>(lParam);
        LPARAM point = (record->pt.y << 16) + record->pt.x;
        probeProc(record->hwnd, WM_MOUSEWHEEL, record->mouseData, point);
        return -1;
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

} // namespace

int probe_user() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    int failures = 0;

    char className[32];
    wsprintfA(className, "Plugin%x", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(instance)));
    WNDCLASSA wc;
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = probeProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = nullptr;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = className;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) ++failures;

    WNDCLASSA local{};
    local.style = CS_HREDRAW | CS_VREDRAW;
    local.lpfnWndProc = DefWindowProcA;
    local.hInstance = instance;
    local.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    local.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    local.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    local.lpszClassName = "TemplateLocal";
    RegisterClassA(&local);

    g_hook = SetWindowsHookExA(WH_MOUSE, mouseHook, instance, 0);
    bool swapped = GetSystemMetrics(SM_SWAPBUTTON) > 0;
    (void)swapped;

    HWND host = CreateWindowExA(0, "TemplateLocal", "TemplateCustomUI", WS_POPUP | WS_VISIBLE, 0, 0,
                                300, 600, nullptr, nullptr, instance, nullptr);
    RECT client;
    GetClientRect(host, &client);
    HWND frame = CreateWindowExA(0, className, "Window", WS_CHILD | WS_VISIBLE, 0, 0, 265, 534,
                                 host, nullptr, instance, nullptr);
    // Pointers go into window data through the GWLP_ slots, the only names of the x64
    // headers; the 32-bit headers also name the same slots GWL_.
#ifndef _WIN64
    static_assert(GWL_USERDATA == GWLP_USERDATA && GWL_WNDPROC == GWLP_WNDPROC);
#endif
    SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&failures));
    if (GetWindowLongPtrA(frame, GWLP_USERDATA) != reinterpret_cast<LONG_PTR>(&failures))
        ++failures;
    ShowWindow(frame, SW_SHOWNORMAL);
    InvalidateRect(frame, nullptr, FALSE);
    UpdateWindow(frame);
    SetWindowPos(frame, nullptr, 0, 0, 265, 534, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (GetParent(frame) != host) ++failures;

    HWND edit =
        CreateWindowExA(0, "EDIT", "-6.0", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_CENTER, 10,
                        10, 60, 16, frame, nullptr, instance, nullptr);
    LOGFONTA lf{};
    lf.lfHeight = -12;
    lf.lfWeight = 400;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    HFONT font = CreateFontIndirectA(&lf);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(0, 0));
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, EM_LIMITTEXT, 255, 0);
    SetFocus(edit);
    g_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc)));
    SetWindowTextA(edit, "1.5");
    char text[256];
    GetWindowTextA(edit, text, 255);
    DestroyWindow(edit);
    DeleteObject(font);

    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageA(&msg);
    PostMessageA(frame, WM_USER, 0, 0);
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    LONG messageTime = GetMessageTime();
    DWORD limit = static_cast<DWORD>(messageTime) + GetDoubleClickTime();
    (void)limit;

    POINT cursor;
    GetCursorPos(&cursor);
    SetCursorPos(cursor.x, cursor.y);
    ShowCursor(FALSE);
    ShowCursor(TRUE);
    SHORT left = GetAsyncKeyState(VK_LBUTTON);
    SHORT shift = GetKeyState(VK_SHIFT);
    bool down = (left & 0x8000) != 0 || (GetAsyncKeyState(VK_MENU) & 0x8000) ||
                (GetAsyncKeyState(VK_CONTROL) & 0x8000) ||
                (GetAsyncKeyState(VK_RBUTTON) & 0x8000) ||
                (GetAsyncKeyState(VK_MBUTTON) & 0x8000) || shift < 0;
    (void)down;
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_SIZEWE));
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    SetCursor(LoadCursorA(nullptr, IDC_SIZENS));
    SetCursor(LoadCursorA(nullptr, IDC_SIZEALL));
    SetCursor(LoadCursorA(nullptr, IDC_SIZENESW));
    SetCursor(LoadCursorA(nullptr, IDC_SIZENWSE));
    SetCursor(previous);

    DWORD start = GetTickCount();
    Sleep(4);
    if (GetTickCount() - start < 4) ++failures;
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT) ++failures;
    SetLastError(0);
    DWORD thread = GetCurrentThreadId();
    (void)thread;

    HDC screen = GetDC(nullptr);
    ReleaseDC(nullptr, screen);
    HDC windowDc = GetWindowDC(frame);
    ReleaseDC(frame, windowDc);

    SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
    DestroyWindow(frame);
    DestroyWindow(host);
    if (!UnregisterClassA(className, instance)) ++failures;
    UnregisterClassA("TemplateLocal", instance);
    UnhookWindowsHookEx(g_hook);
    return failures;
}
