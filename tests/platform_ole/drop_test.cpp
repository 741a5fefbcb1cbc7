// Drop-target registration, the delivery of dropped files and text, DragQueryFileA,
// ReleaseStgMedium and the shell link that does not exist outside Windows.
#include "ole/drop_delivery.h"

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>

#include <string>
#include <vector>

namespace {

// Reads what a drop offers the way the toolkit's drop target does, and records the calls.
class RecordingTarget final : public IDropTarget {
public:
    ULONG references = 1;
    std::vector<std::string> calls;
    std::vector<std::string> files;
    std::string text;
    DWORD dropKeys = 0;
    POINTL dropPoint{};
    DWORD answer = DROPEFFECT_COPY;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDropTarget) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        calls.push_back("enter");
        FORMATETC text{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        FORMATETC files{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        accepted = data->QueryGetData(&text) == S_OK || data->QueryGetData(&files) == S_OK;
        *effect = accepted ? answer : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        calls.push_back("over");
        *effect = accepted ? answer : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        calls.push_back("leave");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt,
                                   DWORD* effect) override {
        calls.push_back("drop");
        dropKeys = keys;
        dropPoint = pt;
        FORMATETC format{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (data->GetData(&format, &medium) == S_OK) {
            text = static_cast<const char*>(GlobalLock(medium.hGlobal));
            GlobalUnlock(medium.hGlobal);
            ReleaseStgMedium(&medium);
        }
        format.cfFormat = CF_HDROP;
        if (data->GetData(&format, &medium) == S_OK) {
            auto drop = static_cast<HDROP>(medium.hGlobal);
            UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count; ++i) {
                char name[1024];
                UINT n = DragQueryFileA(drop, i, name, sizeof name);
                EXPECT_EQ(n, DragQueryFileA(drop, i, nullptr, 0));
                files.emplace_back(name, n);
            }
            ReleaseStgMedium(&medium);
            EXPECT_EQ(medium.hGlobal, nullptr);
        }
        *effect = answer;
        return S_OK;
    }

private:
    bool accepted = false;
};

class Drops : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(OleInitialize(nullptr), S_OK);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DropTestWindow";
        RegisterClassA(&wc);
        parent = CreateWindowExA(0, "DropTestWindow", "", 0, 0, 0, 100, 100, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        child = CreateWindowExA(0, "DropTestWindow", "", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20,
                                parent, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(child, nullptr);
    }
    void TearDown() override {
        DestroyWindow(parent);
        OleUninitialize();
    }
    HWND parent = nullptr, child = nullptr;
    RecordingTarget target;
};

TEST_F(Drops, RegistrationHoldsAReferenceUntilRevoked) {
    EXPECT_EQ(RegisterDragDrop(parent, &target), S_OK);
    EXPECT_EQ(target.references, 2u);
    EXPECT_EQ(RegisterDragDrop(parent, &target), DRAGDROP_E_ALREADYREGISTERED);
    EXPECT_EQ(RegisterDragDrop(nullptr, &target), DRAGDROP_E_INVALIDHWND);
    EXPECT_EQ(RegisterDragDrop(child, nullptr), E_INVALIDARG);
    EXPECT_EQ(RevokeDragDrop(parent), S_OK);
    EXPECT_EQ(target.references, 1u);
    EXPECT_EQ(RevokeDragDrop(parent), DRAGDROP_E_NOTREGISTERED);
}

TEST_F(Drops, RegistrationNeedsOleOnTheThread) {
    OleUninitialize();
    EXPECT_EQ(RegisterDragDrop(parent, &target), E_OUTOFMEMORY);
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
    EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
    OleUninitialize();
}

TEST_F(Drops, FilesDroppedOnAChildReachTheParentsTarget) {
    ASSERT_EQ(RegisterDragDrop(parent, &target), S_OK);
    DWORD effect = 0;
    const std::vector<std::string> paths = {"/tmp/a.wav", "/home/user/My Song.lnk"};
    ASSERT_TRUE(kavet::platform::deliverFileDrop(child, POINT{15, 16}, MK_LBUTTON | MK_CONTROL,
                                                 paths, effect));
    EXPECT_EQ(target.calls, (std::vector<std::string>{"enter", "over", "drop"}));
    EXPECT_EQ(target.files, paths);
    EXPECT_EQ(target.dropKeys, static_cast<DWORD>(MK_CONTROL)); // the button is up at the drop
    EXPECT_EQ(target.dropPoint.x, 15);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    RevokeDragDrop(parent);
    EXPECT_EQ(target.references, 1u); // the data objects and the registration are all released
}

TEST_F(Drops, TextDropAndRefusedDrop) {
    ASSERT_EQ(RegisterDragDrop(child, &target), S_OK);
    DWORD effect = 0;
    ASSERT_TRUE(kavet::platform::deliverTextDrop(child, POINT{1, 2}, 0, "-6.0 dB", effect));
    EXPECT_EQ(target.text, "-6.0 dB");
    target.calls.clear();
    target.answer = DROPEFFECT_NONE;
    ASSERT_TRUE(kavet::platform::deliverTextDrop(child, POINT{1, 2}, 0, "x", effect));
    EXPECT_EQ(target.calls, (std::vector<std::string>{"enter", "over", "leave"}));
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    RevokeDragDrop(child);
    EXPECT_FALSE(kavet::platform::deliverTextDrop(child, POINT{1, 2}, 0, "x", effect));
}

TEST(DragQueryFile, ReadsNarrowAndWideListsAndTruncates) {
    const char narrow[] = "one\0two\0\0";
    HGLOBAL h = GlobalAlloc(GHND, sizeof(DROPFILES) + sizeof narrow);
    auto* df = static_cast<DROPFILES*>(GlobalLock(h));
    df->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), narrow, sizeof narrow);
    GlobalUnlock(h);
    auto drop = static_cast<HDROP>(h);
    EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 2u);
    char buffer[3];
    EXPECT_EQ(DragQueryFileA(drop, 1, buffer, sizeof buffer), 2u);
    EXPECT_STREQ(buffer, "tw");
    EXPECT_EQ(DragQueryFileA(drop, 2, buffer, sizeof buffer), 0u);
    DragFinish(drop);

    const char16_t wide[] = u"ab\0\0";
    h = GlobalAlloc(GHND, sizeof(DROPFILES) + sizeof wide);
    df = static_cast<DROPFILES*>(GlobalLock(h));
    df->pFiles = sizeof(DROPFILES);
    df->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), wide, sizeof wide);
    GlobalUnlock(h);
    char name[8];
    EXPECT_EQ(DragQueryFileA(static_cast<HDROP>(h), 0, name, sizeof name), 2u);
    EXPECT_STREQ(name, "ab");
    GlobalFree(h);
    EXPECT_EQ(DragQueryFileA(static_cast<HDROP>(h), 0xFFFFFFFF, nullptr, 0), 0u); // freed
}

TEST(ShellLink, CannotBeCreatedSoShortcutsStayUnresolved) {
    IShellLinkA* link = reinterpret_cast<IShellLinkA*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void**>(&link)),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(link, nullptr);
    wchar_t wide[16];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a.lnk", -1, wide, 16), 6);
    EXPECT_EQ(std::wstring(wide), L"a.lnk");
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a.lnk", -1, wide, 3), 0);
}

} // namespace
