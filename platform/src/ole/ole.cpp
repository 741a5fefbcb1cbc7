// OLE initialisation, drop-target registration, storage media, object creation.
#include "ole/registry.h"

#include <ole2.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace kavet::platform::ole {
namespace {

std::mutex targetsMutex;
std::map<HWND, IDropTarget*>& targets() {
    static std::map<HWND, IDropTarget*> registered;
    return registered;
}

thread_local int initialisations = 0;

} // namespace

IDropTarget* acquireTarget(HWND hwnd) {
    std::lock_guard lock(targetsMutex);
    auto it = targets().find(hwnd);
    if (it == targets().end()) return nullptr;
    it->second->AddRef();
    return it->second;
}

} // namespace kavet::platform::ole

using namespace kavet::platform::ole;

HRESULT WINAPI OleInitialize(LPVOID) {
    return initialisations++ == 0 ? S_OK : S_FALSE;
}

void WINAPI OleUninitialize() {
    if (initialisations > 0) --initialisations;
}

HRESULT WINAPI CoInitialize(LPVOID reserved) {
    return OleInitialize(reserved);
}
void WINAPI CoUninitialize() {
    OleUninitialize();
}

HRESULT WINAPI RegisterDragDrop(HWND hwnd, LPDROPTARGET pDropTarget) {
    // As on Windows, a thread that has not initialised OLE gets E_OUTOFMEMORY.
    if (initialisations == 0) return E_OUTOFMEMORY;
    if (!pDropTarget) return E_INVALIDARG;
    if (!hwnd || !IsWindow(hwnd)) return DRAGDROP_E_INVALIDHWND;
    std::lock_guard lock(targetsMutex);
    auto [it, inserted] = targets().emplace(hwnd, pDropTarget);
    if (!inserted) return DRAGDROP_E_ALREADYREGISTERED;
    pDropTarget->AddRef(); // the registration holds a reference until RevokeDragDrop
    return S_OK;
}

HRESULT WINAPI RevokeDragDrop(HWND hwnd) {
    IDropTarget* target = nullptr;
    {
        std::lock_guard lock(targetsMutex);
        auto it = targets().find(hwnd);
        if (it == targets().end()) return hwnd ? DRAGDROP_E_NOTREGISTERED : DRAGDROP_E_INVALIDHWND;
        target = it->second;
        targets().erase(it);
    }
    target->Release(); // outside the lock: the target may delete itself
    return S_OK;
}

void WINAPI ReleaseStgMedium(LPSTGMEDIUM medium) {
    if (!medium) return;
    if (medium->pUnkForRelease) {
        medium->pUnkForRelease->Release();
    } else if (medium->tymed == TYMED_HGLOBAL && medium->hGlobal) {
        GlobalFree(medium->hGlobal);
    }
    medium->tymed = TYMED_NULL;
    medium->hGlobal = nullptr;
    medium->pUnkForRelease = nullptr;
}

HRESULT WINAPI CoCreateInstance(REFCLSID, LPUNKNOWN pUnkOuter, DWORD, REFIID, LPVOID* ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (pUnkOuter) return CLASS_E_NOAGGREGATION;
    // No COM classes exist outside Windows (the shell link among them): shortcuts stay
    // unresolved and their callers use the file name as it is.
    return REGDB_E_CLASSNOTREG;
}

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar) {
    if (!lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
        (CodePage != CP_ACP && CodePage != CP_UTF8)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t length =
        cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : static_cast<std::size_t>(cbMultiByte);
    // The ANSI code page is taken as Latin-1 (each byte is one character); UTF-8 is decoded,
    // malformed bytes becoming U+FFFD.
    std::wstring wide;
    const auto* s = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
    for (std::size_t i = 0; i < length;) {
        unsigned c = s[i++];
        if (CodePage == CP_UTF8 && c >= 0x80) {
            int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
            unsigned value = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : c & 0x1F;
            bool ok = extra > 0 && i + static_cast<std::size_t>(extra) <= length;
            for (int k = 0; ok && k < extra; ++k) {
                if ((s[i + static_cast<std::size_t>(k)] & 0xC0) != 0x80)
                    ok = false;
                else
                    value = (value << 6) | (s[i + static_cast<std::size_t>(k)] & 0x3F);
            }
            if (ok) i += static_cast<std::size_t>(extra);
            c = ok ? value : 0xFFFD;
        }
        wide += static_cast<wchar_t>(c);
    }
    if (cchWideChar == 0) return static_cast<int>(wide.size());
    if (!lpWideCharStr || wide.size() > static_cast<std::size_t>(cchWideChar)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(lpWideCharStr, wide.data(), wide.size() * sizeof(wchar_t));
    return static_cast<int>(wide.size());
}
