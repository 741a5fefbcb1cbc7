// Test windows whose procedure records every message it gets, and a fixture that starts
// each test on the virtual clock with all input released.
#pragma once

#include "input.h"

#include <kavet/driver.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace kavet::test {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Messages seen by recorder windows, in order, from every thread.
inline std::vector<Seen>& seen() {
    static std::vector<Seen> s;
    return s;
}

// Answers for particular messages (default: DefWindowProcA).
inline std::map<UINT, LRESULT>& answers() {
    static std::map<UINT, LRESULT> a;
    return a;
}

inline LRESULT CALLBACK recorderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    seen().push_back({hwnd, msg, wParam, lParam});
    auto it = answers().find(msg);
    if (it != answers().end()) return it->second;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

inline HINSTANCE testInstance() {
    return reinterpret_cast<HINSTANCE>(0x5000);
}

// The messages of `hwnd` (or all) among `only` (or all), in order.
inline std::vector<UINT> messagesOf(HWND hwnd, std::vector<UINT> only = {}) {
    std::vector<UINT> out;
    for (const Seen& s : seen()) {
        if (hwnd && s.hwnd != hwnd) continue;
        if (!only.empty() && std::find(only.begin(), only.end(), s.message) == only.end()) continue;
        out.push_back(s.message);
    }
    return out;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        kavet::test::resetInput(1);
        driver::setDoubleClickTime(500);
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = recorderProc;
        wc.hInstance = testInstance();
        wc.lpszClassName = "KavetRecorder";
        RegisterClassA(&wc);
        driver::pump();
        seen().clear();
        answers().clear();
    }
    void TearDown() override {
        for (HWND h : created_)
            if (IsWindow(h)) DestroyWindow(h);
        driver::pump();
        UnregisterClassA("KavetRecorder", testInstance());
        driver::resetInput();
        driver::useRealClock();
    }
    HWND top(int x, int y, int w, int h, DWORD style = WS_VISIBLE) {
        HWND hwnd = CreateWindowExA(0, "KavetRecorder", "top", WS_POPUP | style, x, y, w, h,
                                    nullptr, nullptr, testInstance(), nullptr);
        created_.push_back(hwnd);
        return hwnd;
    }
    HWND child(HWND parent, int x, int y, int w, int h, DWORD style = WS_VISIBLE, int id = 0) {
        HWND hwnd = CreateWindowExA(0, "KavetRecorder", "child", WS_CHILD | style, x, y, w, h,
                                    parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    testInstance(), nullptr);
        created_.push_back(hwnd);
        return hwnd;
    }
    std::vector<HWND> created_;
};

} // namespace kavet::test
