// The table of live GDI objects, stock objects and object lifetime.
#include "gdi/objects.h"

#include <mutex>
#include <unordered_set>

namespace kavet::platform::gdi {
namespace {

std::mutex tableMutex;

// Every live object, stock objects included. The table owns them: what the program (or
// module) never deleted goes with the table at its static destruction, so a module unloaded
// leaves no GDI object behind. A call after that finds no object and makes none.
struct LiveTable {
    std::unordered_set<const void*> objects;
    ~LiveTable() {
        std::lock_guard lock(tableMutex);
        for (const void* o : objects)
            delete static_cast<const Object*>(o);
        objects.clear();
        gone = true;
    }
    static inline bool gone = false;
};

LiveTable& liveTable() {
    static LiveTable live;
    return live;
}
std::unordered_set<const void*>& table() {
    return liveTable().objects;
}

Pen* makePen(UINT style, COLORREF c) {
    auto* p = new Pen;
    p->logical = {style, {1, 0}, c};
    return p;
}
Brush* makeBrush(UINT style, COLORREF c) {
    auto* b = new Brush;
    b->logical = {style, c, 0};
    return b;
}
Font* makeFont(LONG height, LONG weight, BYTE pitch, const char* face) {
    auto* f = new Font;
    f->logical.lfHeight = height;
    f->logical.lfWeight = weight;
    f->logical.lfPitchAndFamily = pitch;
    for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i)
        f->logical.lfFaceName[i] = face[i];
    return f;
}

struct Stock {
    Object* objects[20] = {};
    Bitmap* mono = nullptr;
    Stock() {
        objects[WHITE_BRUSH] = makeBrush(BS_SOLID, RGB(255, 255, 255));
        objects[LTGRAY_BRUSH] = makeBrush(BS_SOLID, RGB(192, 192, 192));
        objects[GRAY_BRUSH] = makeBrush(BS_SOLID, RGB(128, 128, 128));
        objects[DKGRAY_BRUSH] = makeBrush(BS_SOLID, RGB(64, 64, 64));
        objects[BLACK_BRUSH] = makeBrush(BS_SOLID, RGB(0, 0, 0));
        objects[NULL_BRUSH] = makeBrush(BS_NULL, 0);
        objects[WHITE_PEN] = makePen(PS_SOLID, RGB(255, 255, 255));
        objects[BLACK_PEN] = makePen(PS_SOLID, RGB(0, 0, 0));
        objects[NULL_PEN] = makePen(PS_NULL, 0);
        objects[OEM_FIXED_FONT] = makeFont(12, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Terminal");
        objects[ANSI_FIXED_FONT] = makeFont(12, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Courier");
        objects[ANSI_VAR_FONT] =
            makeFont(12, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif");
        objects[SYSTEM_FONT] = makeFont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "System");
        objects[DEVICE_DEFAULT_FONT] = makeFont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "System");
        objects[SYSTEM_FIXED_FONT] = makeFont(16, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Fixedsys");
        objects[DEFAULT_GUI_FONT] =
            makeFont(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Shell Dlg");
        objects[DC_BRUSH] = makeBrush(BS_SOLID, RGB(255, 255, 255));
        objects[DC_PEN] = makePen(PS_SOLID, RGB(0, 0, 0));
        mono = new Bitmap;
        mono->width = mono->height = 1;
        mono->mono = true;
        mono->bits.assign(1, 0);
        for (Object* o : objects) {
            if (o) {
                o->stock = true;
                registerObject(o);
            }
        }
        mono->stock = true;
        registerObject(mono);
    }
};

Stock& stocks() {
    static Stock s;
    return s;
}

} // namespace

void registerObject(Object* o) {
    std::lock_guard lock(tableMutex);
    if (!LiveTable::gone) table().insert(o);
}

void unregisterObject(Object* o) {
    std::lock_guard lock(tableMutex);
    if (!LiveTable::gone) table().erase(o);
}

Object* lookup(const void* handle) {
    if (!handle || LiveTable::gone) return nullptr;
    stocks();
    std::lock_guard lock(tableMutex);
    if (!table().count(handle)) return nullptr;
    return static_cast<Object*>(const_cast<void*>(handle));
}

Dc* dcOf(HDC hdc) {
    Object* o = lookup(hdc);
    return o && (o->type == OBJ_DC || o->type == OBJ_MEMDC) ? static_cast<Dc*>(o) : nullptr;
}

Object* stock(int index) {
    if (index < 0 || index >= 20 || LiveTable::gone) return nullptr;
    return stocks().objects[index];
}

Bitmap* stockMonoBitmap() {
    return LiveTable::gone ? nullptr : stocks().mono;
}

void destroyObject(Object* o) {
    unregisterObject(o);
    delete o;
}

void releaseSelection(Object* o) {
    if (!o) return;
    --o->selections;
    if (o->selections == 0 && o->deletePending && !o->stock) destroyObject(o);
}

Pixels Bitmap::pixels() {
    Pixels p;
    p.width = width;
    p.height = height;
    p.mono = mono;
    if (bits.empty()) return p;
    if (bottomUp) {
        p.row0 = bits.data() + static_cast<std::ptrdiff_t>(height - 1) * width;
        p.stride = -width;
    } else {
        p.row0 = bits.data();
        p.stride = width;
    }
    return p;
}

Pixels Dc::pixels() const {
    if (bitmap) return bitmap->pixels();
    Pixels p;
    if (surface && surface->pixels) {
        p.row0 = surface->pixels;
        p.stride = surface->width;
        p.width = surface->width;
        p.height = surface->height;
    }
    return p;
}

RECT Dc::clip() const {
    Pixels px = pixels();
    RECT r = intersect(visible, RECT{0, 0, px.width, px.height});
    if (hasClip) {
        RECT c = clipRegion;
        c.left += origin.x;
        c.right += origin.x;
        c.top += origin.y;
        c.bottom += origin.y;
        r = intersect(r, c);
    }
    return r;
}

bool brushPixel(const Dc& dc, HBRUSH brush, std::uint32_t& pixel) {
    auto value = reinterpret_cast<std::uintptr_t>(brush);
    COLORREF colour;
    if (value > 0 && value <= 31) {
        colour = GetSysColor(static_cast<int>(value - 1)); // COLOR_* + 1
    } else {
        Brush* b = as<Brush>(brush, OBJ_BRUSH);
        if (!b || b->logical.lbStyle == BS_NULL) return false;
        colour = b->logical.lbColor;
    }
    pixel = toPixel(colour);
    if (dc.pixels().mono) pixel = toMono(pixel);
    return true;
}

void fillPixels(const Pixels& px, const RECT& r, std::uint32_t pixel) {
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint32_t* row = px.row(y);
        for (int x = r.left; x < r.right; ++x)
            row[x] = pixel;
    }
}

} // namespace kavet::platform::gdi
