// Files and text dropped on a window: the data object that carries them (CF_HDROP with a
// DROPFILES list, CF_TEXT), DragQueryFileA that reads the list, and the delivery of a drop
// to the registered target.
#include "ole/drop_delivery.h"
#include "ole/registry.h"

#include <shellapi.h>

#include <atomic>
#include <cstring>

namespace {

class DataObject final : public IDataObject {
public:
    DataObject(CLIPFORMAT format, std::string bytes) : format_(format), bytes_(std::move(bytes)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDataObject) {
            *ppv = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!medium) return E_INVALIDARG;
        HRESULT hr = QueryGetData(format);
        if (hr != S_OK) return hr;
        // A new block per call: the receiver owns it and frees it with ReleaseStgMedium.
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes_.size());
        if (!block) return E_OUTOFMEMORY;
        std::memcpy(GlobalLock(block), bytes_.data(), bytes_.size());
        GlobalUnlock(block);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        if (!format) return E_INVALIDARG;
        if (format->cfFormat != format_) return DV_E_FORMATETC;
        if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
        if (format->lindex != -1) return DV_E_LINDEX;
        if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    ~DataObject() = default;
    CLIPFORMAT format_;
    std::string bytes_;
    std::atomic<ULONG> references_{1};
};

// DROPFILES followed by the names, each zero-terminated, and one more zero.
std::string dropFilesBytes(const std::vector<std::string>& paths, POINT client) {
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.pt = client;
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    for (const std::string& p : paths) {
        bytes += p;
        bytes += '\0';
    }
    bytes += '\0';
    return bytes;
}

bool deliver(HWND hwnd, POINT screen, DWORD keyState, DataObject* data, DWORD& effect) {
    // The window under the pointer, or the nearest ancestor with a registered target.
    IDropTarget* target = nullptr;
    for (HWND w = hwnd; w && !target; w = GetParent(w))
        target = kavet::platform::ole::acquireTarget(w);
    effect = DROPEFFECT_NONE;
    if (!target) {
        data->Release();
        return false;
    }
    const DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    POINTL pt{screen.x, screen.y};
    DWORD e = allowed;
    if (SUCCEEDED(target->DragEnter(data, keyState, pt, &e))) {
        e = allowed;
        target->DragOver(keyState, pt, &e);
        if ((e & allowed) == DROPEFFECT_NONE) {
            target->DragLeave();
        } else {
            // The buttons are up by the time of the drop.
            e = allowed;
            target->Drop(data, keyState & ~static_cast<DWORD>(MK_LBUTTON | MK_RBUTTON | MK_MBUTTON),
                         pt, &e);
            effect = e;
        }
    }
    target->Release();
    data->Release();
    return true;
}

// The names in a CF_HDROP block (narrow or wide), bounded by the block's size.
std::vector<std::string> namesOf(HDROP hDrop) {
    std::vector<std::string> names;
    auto block = static_cast<HGLOBAL>(static_cast<void*>(hDrop));
    SIZE_T size = GlobalSize(block);
    const auto* bytes = static_cast<const unsigned char*>(GlobalLock(block));
    if (!bytes) return names;
    DROPFILES header{};
    if (size >= sizeof header) {
        std::memcpy(&header, bytes, sizeof header);
        std::size_t unit = header.fWide ? 2 : 1;
        std::string current;
        for (std::size_t at = header.pFiles; at + unit <= size; at += unit) {
            unsigned c =
                header.fWide ? static_cast<unsigned>(bytes[at] | (bytes[at + 1] << 8)) : bytes[at];
            if (c == 0) {
                if (current.empty()) break;
                names.push_back(std::move(current));
                current.clear();
                continue;
            }
            current += c < 256 ? static_cast<char>(c) : '?';
        }
    }
    GlobalUnlock(block);
    return names;
}

} // namespace

namespace kavet::platform {

bool deliverFileDrop(HWND hwnd, POINT screen, DWORD keyState, const std::vector<std::string>& paths,
                     DWORD& effect) {
    POINT client = screen;
    ScreenToClient(hwnd, &client);
    return deliver(hwnd, screen, keyState, new DataObject(CF_HDROP, dropFilesBytes(paths, client)),
                   effect);
}

bool deliverTextDrop(HWND hwnd, POINT screen, DWORD keyState, const std::string& text,
                     DWORD& effect) {
    return deliver(hwnd, screen, keyState, new DataObject(CF_TEXT, text + '\0'), effect);
}

} // namespace kavet::platform

UINT WINAPI DragQueryFileA(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch) {
    std::vector<std::string> names = namesOf(hDrop);
    if (iFile == 0xFFFFFFFF) return static_cast<UINT>(names.size());
    if (iFile >= names.size()) return 0;
    const std::string& name = names[iFile];
    if (!lpszFile) return static_cast<UINT>(name.size());
    if (cch == 0) return 0;
    std::size_t n = name.size() < cch - 1 ? name.size() : cch - 1;
    std::memcpy(lpszFile, name.data(), n);
    lpszFile[n] = 0;
    return static_cast<UINT>(n);
}

BOOL WINAPI DragQueryPoint(HDROP hDrop, POINT* ppt) {
    auto block = static_cast<HGLOBAL>(static_cast<void*>(hDrop));
    const auto* header = static_cast<const DROPFILES*>(GlobalLock(block));
    if (!header || !ppt || GlobalSize(block) < sizeof(DROPFILES)) {
        if (header) GlobalUnlock(block);
        return FALSE;
    }
    *ppt = header->pt;
    BOOL client = !header->fNC;
    GlobalUnlock(block);
    return client;
}

void WINAPI DragFinish(HDROP hDrop) {
    GlobalFree(static_cast<HGLOBAL>(static_cast<void*>(hDrop)));
}
