// CDropTarget: the OLE drop target of a frame window. Text (CF_TEXT) and files (CF_HDROP)
// dropped on the window reach the frame's onDropFiles with the pointer in frame-window
// coordinates; dropped shortcuts (".lnk") are resolved to their targets where the system can.
// [UI thread]
#pragma once

#include <windows.h>

#include <ole2.h>
#include <shlobj.h>

#include <cstdint>

namespace toolkit {

class CFrame;

// Drag types handed to onDropFiles.
enum : std::int32_t { kDropFiles = 0, kDropText = 1 };

class CDropTarget final : public IDropTarget {
public:
    // The count starts at 0: RegisterDragDrop's reference owns the object, and
    // RevokeDragDrop's release deletes it.
    explicit CDropTarget(CFrame* frame);
    ~CDropTarget();

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keyState, POINTL pt, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;

    // Bytes of the buffer that takes each dropped file name, terminator included.
    static constexpr UINT kNameBufferSize = 1024;

private:
    void dropText(STGMEDIUM& medium);
    void dropFiles(STGMEDIUM& medium);

    ULONG refCount = 0;
    CFrame* frame; // not owned
    bool accept = false;
    std::int32_t dragType = kDropFiles;
};

// Replaces `name` (a buffer of CDropTarget::kNameBufferSize bytes) by the target of the shell
// link it names; false, with `name` unchanged, when the link cannot be resolved.
[[nodiscard]] bool resolveShortcut(char* name);

} // namespace toolkit
