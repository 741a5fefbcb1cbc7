#include "droptarget.h"

#include "frame.h"

#include <cstring>
#include <vector>

namespace toolkit {

namespace {

FORMATETC formatOf(CLIPFORMAT format) {
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool offers(IDataObject* data, CLIPFORMAT format) {
    FORMATETC query = formatOf(format);
    return data && data->QueryGetData(&query) == S_OK;
}

void releaseMedium(STGMEDIUM& medium) {
    if (medium.pUnkForRelease) {
        medium.pUnkForRelease->Release();
    } else if (medium.hGlobal) {
        GlobalFree(medium.hGlobal);
    }
}

bool endsWithLnk(const char* name) {
    const std::size_t n = std::strlen(name);
    if (n < 4) {
        return false;
    }
    const char* ext = name + n - 4;
    static constexpr char kLnk[] = ".lnk";
    for (int i = 0; i < 4; ++i) {
        char c = ext[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != kLnk[i]) {
            return false;
        }
    }
    return true;
}

// Milliseconds the link resolution may search for a moved target (high word of the flags).
constexpr DWORD kResolveTimeoutMs = 500;

} // namespace

bool resolveShortcut(char* name) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))) ||
        !link) {
        return false;
    }
    bool resolved = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        file) {
        WCHAR wide[CDropTarget::kNameBufferSize];
        char target[CDropTarget::kNameBufferSize];
        WIN32_FIND_DATAA found;
        if (MultiByteToWideChar(CP_ACP, 0, name, -1, wide,
                                static_cast<int>(CDropTarget::kNameBufferSize)) > 0 &&
            SUCCEEDED(file->Load(wide, STGM_READ)) &&
            SUCCEEDED(link->Resolve(nullptr, SLR_NO_UI | (kResolveTimeoutMs << 16))) &&
            SUCCEEDED(link->GetPath(target, static_cast<int>(CDropTarget::kNameBufferSize), &found,
                                    SLGP_SHORTPATH))) {
            target[CDropTarget::kNameBufferSize - 1] = 0;
            std::memcpy(name, target, std::strlen(target) + 1);
            resolved = true;
        }
        file->Release();
    }
    link->Release();
    return resolved;
}

CDropTarget::CDropTarget(CFrame* frame) : frame(frame) {}

CDropTarget::~CDropTarget() = default;

STDMETHODIMP CDropTarget::QueryInterface(REFIID riid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IDropTarget) || IsEqualIID(riid, IID_IUnknown)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CDropTarget::AddRef() {
    return ++refCount;
}

STDMETHODIMP_(ULONG) CDropTarget::Release() {
    const ULONG left = --refCount;
    if (left == 0) {
        delete this;
    }
    return left;
}

STDMETHODIMP CDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) {
    accept = false;
    if (offers(data, CF_TEXT)) {
        dragType = kDropText;
        accept = true;
    } else if (offers(data, CF_HDROP)) {
        dragType = kDropFiles;
        accept = true;
    }
    return DragOver(keyState, pt, effect);
}

STDMETHODIMP CDropTarget::DragOver(DWORD keyState, POINTL, DWORD* effect) {
    if (effect) {
        if (!accept) {
            *effect = DROPEFFECT_NONE;
        } else {
            *effect = (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
        }
    }
    return S_OK;
}

STDMETHODIMP CDropTarget::DragLeave() {
    return S_OK;
}

STDMETHODIMP CDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) {
    DragOver(keyState, pt, effect);
    if (data) {
        STGMEDIUM medium{};
        FORMATETC text = formatOf(CF_TEXT);
        FORMATETC files = formatOf(CF_HDROP);
        if (data->GetData(&text, &medium) == S_OK) {
            dropText(medium);
        } else {
            medium = STGMEDIUM{};
            if (data->GetData(&files, &medium) == S_OK) {
                dropFiles(medium);
            }
        }
    }
    DragLeave();
    return S_OK;
}

void CDropTarget::dropText(STGMEDIUM& medium) {
    void* bytes = GlobalLock(medium.hGlobal);
    const SIZE_T size = medium.hGlobal ? GlobalSize(medium.hGlobal) : 0;
    if (bytes && size && frame) {
        CPosition where;
        frame->getCurrentLocation(where);
        void* items[1] = {bytes};
        frame->onDropFiles(items, static_cast<std::int32_t>(size), kDropText, where);
    }
    if (bytes) {
        GlobalUnlock(medium.hGlobal);
    }
    releaseMedium(medium);
}

void CDropTarget::dropFiles(STGMEDIUM& medium) {
    auto drop = static_cast<HDROP>(medium.hGlobal);
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<char*> names;
    names.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        char name[kNameBufferSize] = {};
        if (DragQueryFileA(drop, i, name, kNameBufferSize) == 0) {
            continue;
        }
        if (endsWithLnk(name)) {
            (void)resolveShortcut(name); // an unresolved shortcut keeps its own name
        }
        const std::size_t bytes = std::strlen(name) + 1;
        char* copy = new char[bytes];
        std::memcpy(copy, name, bytes);
        names.push_back(copy);
    }
    if (frame) {
        CPosition where;
        frame->getCurrentLocation(where);
        frame->onDropFiles(reinterpret_cast<void**>(names.data()),
                           static_cast<std::int32_t>(names.size()), kDropFiles, where);
    }
    for (char* name : names) {
        delete[] name;
    }
    releaseMedium(medium);
}

} // namespace toolkit
