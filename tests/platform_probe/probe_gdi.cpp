// Calls every GDI, module, resource, global-memory and OLE function of the layer the way
// Windows code does, so that the same translation unit builds against the real headers
// (MinGW-w64 i686) and against the layer's.
#include <windows.h>

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

namespace {

using TransparentBltProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
using AlphaBlendProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                     BLENDFUNCTION);

class ProbeTarget : public IDropTarget {
public:
    virtual ~ProbeTarget() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++count; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --count;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL,
                                        DWORD* effect) override {
        FORMATETC format = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        bool ok = data->QueryGetData(&format) == S_OK;
        format.cfFormat = CF_HDROP;
        ok = ok || data->QueryGetData(&format) == S_OK;
        *effect = !ok ? DROPEFFECT_NONE : (keys & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD*) override {
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium;
        if (data->GetData(&format, &medium) == S_OK) {
            HDROP drop = (HDROP)medium.hGlobal;
            UINT n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
            char name[1024];
            for (UINT i = 0; i < n; ++i) {
                DragQueryFileA(drop, i, name, sizeof name);
                IShellLinkA* link = nullptr;
                if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_IShellLinkA, (LPVOID*)&link))) {
                    IPersistFile* file = nullptr;
                    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
                        WCHAR wide[MAX_PATH];
                        MultiByteToWideChar(CP_ACP, 0, name, -1, wide, MAX_PATH);
                        if (SUCCEEDED(file->Load(wide, STGM_READ)) &&
                            SUCCEEDED(
                                link->Resolve(nullptr, SLR_ANY_MATCH | SLR_NO_UI | (500 << 16)))) {
                            WIN32_FIND_DATAA fd;
                            link->GetPath(name, sizeof name, &fd, SLGP_SHORTPATH);
                        }
                        file->Release();
                    }
                    link->Release();
                }
            }
            POINT where;
            DragQueryPoint(drop, &where);
            if (medium.pUnkForRelease)
                medium.pUnkForRelease->Release();
            else
                GlobalFree(medium.hGlobal);
        }
        format.cfFormat = CF_TEXT;
        if (data->GetData(&format, &medium) == S_OK) {
            const char* text = (const char*)GlobalLock(medium.hGlobal);
            SIZE_T size = GlobalSize(medium.hGlobal);
            (void)text;
            (void)size;
            GlobalUnlock(medium.hGlobal);
            ReleaseStgMedium(&medium);
        }
        return S_OK;
    }

private:
    ULONG count = 0;
};

int probeDrawing(HDC screen) {
    int failures = 0;
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP offscreen = CreateCompatibleBitmap(screen, 265, 534);
    HBITMAP oldBitmap = (HBITMAP)SelectObject(mem, offscreen);

    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    BITMAP bm;
    DIBSECTION ds;
    if (!GetObjectA(section, sizeof bm, &bm) || !GetObject(section, sizeof ds, &ds)) ++failures;
    unsigned pixels[16 * 16];
    if (GetDIBits(screen, section, 0, 16, pixels, &info, DIB_RGB_COLORS) != 16) ++failures;
    SetDIBits(screen, section, 0, 16, pixels, &info, DIB_RGB_COLORS);

    HDC src = CreateCompatibleDC(mem);
    HGDIOBJ oldSrc = SelectObject(src, section);
    BitBlt(mem, 0, 0, 16, 16, src, 0, 0, SRCCOPY);
    BitBlt(mem, 0, 0, 16, 16, src, 0, 0, SRCINVERT);
    BitBlt(mem, 0, 0, 16, 16, src, 0, 0, SRCAND);
    BitBlt(mem, 0, 0, 16, 16, src, 0, 0, SRCPAINT);
    BitBlt(mem, 0, 0, 16, 16, src, 0, 0, NOTSRCCOPY);
    PatBlt(mem, 0, 0, 4, 4, PATCOPY);
    PatBlt(mem, 0, 0, 4, 4, DSTINVERT);
    PatBlt(mem, 0, 0, 4, 4, BLACKNESS | WHITENESS);
    TransparentBlt(mem, 0, 0, 16, 16, src, 0, 0, 16, 16, RGB(255, 255, 255));
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(mem, 0, 0, 16, 16, src, 0, 0, 16, 16, blend);

    // The monochrome-mask transparent blit.
    HDC maskDc = CreateCompatibleDC(mem);
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
    HGDIOBJ oldMask = SelectObject(maskDc, mask);
    COLORREF oldBack = SetBkColor(mem, RGB(255, 255, 255));
    COLORREF oldText = SetTextColor(mem, RGB(0, 0, 0));
    SetBkColor(src, RGB(255, 255, 255));
    BitBlt(maskDc, 0, 0, 16, 16, src, 0, 0, SRCCOPY);
    BitBlt(mem, 0, 0, 16, 16, src, 0, 0, SRCINVERT);
    BitBlt(mem, 0, 0, 16, 16, maskDc, 0, 0, SRCAND);
    BitBlt(mem, 0, 0, 16, 16, src, 0, 0, SRCINVERT);
    SetBkColor(mem, oldBack);
    SetTextColor(mem, oldText);
    SelectObject(maskDc, oldMask);
    DeleteObject(mask);
    DeleteDC(maskDc);

    LOGPEN lp = {PS_DOT, {1, 0}, RGB(255, 255, 255)};
    HPEN pen = CreatePenIndirect(&lp);
    HPEN solid = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    LOGBRUSH lb = {BS_SOLID, RGB(0, 0, 0), 0};
    HBRUSH brush = CreateBrushIndirect(&lb);
    HBRUSH plain = CreateSolidBrush(RGB(1, 2, 3));
    HPEN oldPen = (HPEN)SelectObject(mem, pen);
    HBRUSH oldBrush = (HBRUSH)SelectObject(mem, brush);
    if (GetCurrentObject(mem, OBJ_PEN) != pen || GetCurrentObject(mem, OBJ_BRUSH) != brush)
        ++failures;
    POINT previous;
    MoveToEx(mem, 0, 0, &previous);
    LineTo(mem, 10, 10);
    GetCurrentPositionEx(mem, &previous);
    POINT outline[5] = {{0, 0}, {9, 0}, {9, 9}, {0, 9}, {0, 0}};
    Polyline(mem, outline, 5);
    PolylineTo(mem, outline, 5);
    BeginPath(mem);
    MoveToEx(mem, 1, 1, nullptr);
    LineTo(mem, 5, 1);
    CloseFigure(mem);
    EndPath(mem);
    StrokePath(mem);
    BeginPath(mem);
    AbortPath(mem);
    Rectangle(mem, 0, 0, 10, 10);
    RECT r = {1, 1, 10, 10};
    SelectObject(mem, GetStockObject(NULL_PEN));
    FillRect(mem, &r, brush);
    FillRect(mem, &r, (HBRUSH)(COLOR_BTNFACE + 1));
    FrameRect(mem, &r, plain);
    SetPixel(mem, 1, 1, RGB(1, 1, 1));
    if (GetPixel(mem, 1, 1) == CLR_INVALID) ++failures;

    HRGN region = CreateRectRgn(0, 0, 100, 100);
    HRGN other = CreateRectRgnIndirect(&r);
    CombineRgn(region, region, other, RGN_AND);
    RECT box;
    GetRgnBox(region, &box);
    if (SelectClipRgn(mem, region) == ERROR) ++failures;
    DeleteObject(region);
    DeleteObject(other);
    IntersectClipRect(mem, 0, 0, 50, 50);
    GetClipBox(mem, &box);
    SelectClipRgn(mem, nullptr);

    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfHeight = -12;
    lf.lfWeight = FW_BOLD;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lf.lfClipPrecision = CLIP_STROKE_PRECIS;
    lf.lfOutPrecision = OUT_STRING_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfCharSet = ANSI_CHARSET;
    std::strcpy(lf.lfFaceName, "Arial");
    HFONT font = CreateFontIndirectA(&lf);
    HFONT symbol = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_DECORATIVE, "Symbol");
    HFONT oldFont = (HFONT)SelectObject(mem, font);
    if (GetCurrentObject(mem, OBJ_FONT) != font) ++failures;
    int oldMode = SetBkMode(mem, TRANSPARENT);
    if (GetBkMode(mem) != TRANSPARENT) ++failures;
    SetBkMode(mem, oldMode == OPAQUE ? OPAQUE : TRANSPARENT);
    SetTextColor(mem, RGB(255, 255, 255));
    GetTextColor(mem);
    GetBkColor(mem);
    TEXTMETRICA tm;
    GetTextMetricsA(mem, &tm);
    SIZE extent;
    GetTextExtentPoint32A(mem, "0.0 dB", 6, &extent);
    SetTextAlign(mem, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    GetTextAlign(mem);
    TextOutA(mem, 0, 0, "x", 1);
    RECT text = {0, 0, 100, 20};
    DrawTextA(mem, "Gain", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    DrawTextA(mem, "Gain", 4, &text,
              DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    DrawTextA(mem, "Gain", 4, &text,
              DT_LEFT | DT_BOTTOM | DT_SINGLELINE | DT_CALCRECT | DT_WORDBREAK);
    if (GetObjectType(font) != OBJ_FONT || GetObjectType(mem) != OBJ_MEMDC) ++failures;

    SelectObject(mem, oldFont);
    SelectObject(mem, oldPen);
    SelectObject(mem, oldBrush);
    DeleteObject(font);
    DeleteObject(symbol);
    DeleteObject(pen);
    DeleteObject(solid);
    DeleteObject(brush);
    DeleteObject(plain);
    SelectObject(src, oldSrc);
    DeleteDC(src);
    DeleteObject(section);
    SelectObject(mem, oldBitmap);
    DeleteObject(offscreen);
    DeleteDC(mem);
    return failures;
}

int probeModules() {
    int failures = 0;
    HMODULE self = GetModuleHandleA(nullptr);
    HMODULE fromAddress = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)&probeModules, &fromAddress);
    char path[MAX_PATH + 5];
    if (!GetModuleFileNameA(self, path, MAX_PATH)) ++failures;
    HMODULE msimg32 = LoadLibraryA("msimg32.dll");
    if (msimg32) {
        TransparentBltProc transparent =
            (TransparentBltProc)(void (*)())GetProcAddress(msimg32, "TransparentBlt");
        AlphaBlendProc alpha = (AlphaBlendProc)(void (*)())GetProcAddress(msimg32, "AlphaBlend");
        if (!transparent || !alpha) ++failures;
        FreeLibrary(msimg32);
    }
    HANDLE image = LoadImageA(self, MAKEINTRESOURCEA(110), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    HBITMAP bitmap = LoadBitmapA(self, MAKEINTRESOURCEA(111));
    if (image) DeleteObject(image);
    if (bitmap) DeleteObject(bitmap);

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64);
    void* p = GlobalLock(block);
    if (!p || GlobalSize(block) < 64) ++failures;
    GlobalUnlock(block);
    block = GlobalReAlloc(block, 128, GMEM_MOVEABLE);
    GlobalFlags(block);
    GlobalHandle(p);
    GlobalFree(block);
    return failures;
}

int probeOle(HWND window) {
    int failures = 0;
    if (FAILED(OleInitialize(nullptr))) ++failures;
    ProbeTarget* target = new ProbeTarget;
    if (RegisterDragDrop(window, target) == S_OK)
        RevokeDragDrop(window);
    else
        delete target;
    OleUninitialize();
    return failures;
}

} // namespace

int probe_gdi() {
    HDC screen = GetDC(nullptr);
    int failures = probeDrawing(screen);
    ReleaseDC(nullptr, screen);
    failures += probeModules();
    failures += probeOle(GetDesktopWindow());
    return failures;
}
