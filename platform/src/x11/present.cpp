// Presenting: the proxy's window tree composed as the screen shows it, compared with what
// the server was sent last, and only the changed rectangles sent again (the first frame
// whole), through MIT-SHM when the server offers it. Areas the server lost (Expose) are sent
// from the last frame.
#include "x11/backend.h"

#include "user/compose.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace kavet::x11 {
namespace {

// Changed pixels are found in bands of this many rows; each band sends one rectangle from
// its first to its last changed column, and equal neighbours merge.
constexpr int kBandRows = 16;

std::vector<RECT> changedRects(const std::vector<std::uint32_t>& now,
                               const std::vector<std::uint32_t>& before, int width, int height) {
    std::vector<RECT> rects;
    for (int top = 0; top < height; top += kBandRows) {
        const int bottom = std::min(height, top + kBandRows);
        int left = width, right = 0;
        for (int y = top; y < bottom; ++y) {
            const std::uint32_t* a = now.data() + static_cast<std::size_t>(y) * width;
            const std::uint32_t* b = before.data() + static_cast<std::size_t>(y) * width;
            int x = 0;
            while (x < width && a[x] == b[x])
                ++x;
            if (x == width) continue;
            int last = width - 1;
            while (a[last] == b[last])
                --last;
            left = std::min(left, x);
            right = std::max(right, last + 1);
        }
        if (left >= right) continue;
        if (!rects.empty() && rects.back().bottom == top && rects.back().left == left &&
            rects.back().right == right)
            rects.back().bottom = bottom;
        else
            rects.push_back({left, top, right, bottom});
    }
    return rects;
}

// One colour channel of 0..255 in the bits of `mask`, rounded to the nearest level.
unsigned long channel(std::uint32_t value, unsigned long mask) {
    if (!mask) return 0;
    const int shift = std::countr_zero(mask);
    const unsigned long levels = mask >> shift;
    return ((value * levels + 127) / 255) << shift;
}

bool littleEndianHost() {
    return std::endian::native == std::endian::little;
}

} // namespace

bool Backend::makeImageLocked(Embedded& e, int width, int height) {
    freeImageLocked(e);
    e.width = width;
    e.height = height;
    e.shown.clear();
    e.frame.assign(static_cast<std::size_t>(width) * height, 0);
    if (e.visual->c_class != TrueColor && e.visual->c_class != DirectColor) return false;
    const unsigned w = static_cast<unsigned>(width), h = static_cast<unsigned>(height);
    if (allowShm_ && x_->hasShm && x_->XShmQueryExtension(display_)) {
        e.image = x_->XShmCreateImage(display_, e.visual, static_cast<unsigned>(e.depth), ZPixmap,
                                      nullptr, &e.shm, w, h);
        if (e.image) {
            const std::size_t bytes = static_cast<std::size_t>(e.image->bytes_per_line) * h;
            e.shm.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
            void* memory = e.shm.shmid >= 0 ? shmat(e.shm.shmid, nullptr, 0) : nullptr;
            if (memory && memory != reinterpret_cast<void*>(-1)) {
                e.shm.shmaddr = e.image->data = static_cast<char*>(memory);
                e.shm.readOnly = True;
                ErrorTrap trap(*x_, display_);
                x_->XShmAttach(display_, &e.shm);
                // A server on another machine cannot attach: then plain requests.
                e.shared = !trap.failed();
            }
            // The segment goes once both sides have detached.
            if (e.shm.shmid >= 0) shmctl(e.shm.shmid, IPC_RMID, nullptr);
            if (!e.shared) {
                if (e.shm.shmaddr) shmdt(e.shm.shmaddr);
                e.image->data = nullptr;
                XDestroyImage(e.image);
                e.image = nullptr;
                e.shm = {};
            }
        }
    }
    if (!e.image) {
        const int pad = e.depth > 16 ? 32 : (e.depth > 8 ? 16 : 8);
        e.image = x_->XCreateImage(display_, e.visual, static_cast<unsigned>(e.depth), ZPixmap, 0,
                                   nullptr, w, h, pad, 0);
        if (!e.image) return false;
        e.image->data =
            static_cast<char*>(std::calloc(static_cast<std::size_t>(e.image->bytes_per_line), h));
        if (!e.image->data) {
            XDestroyImage(e.image);
            e.image = nullptr;
            return false;
        }
    }
    const bool nativeOrder = (e.image->byte_order == LSBFirst) == littleEndianHost();
    e.directPixels = e.image->bits_per_pixel == 32 && nativeOrder &&
                     e.image->red_mask == 0xFF0000 && e.image->green_mask == 0xFF00 &&
                     e.image->blue_mask == 0xFF;
    return true;
}

// The shared image may change only once the server has read every put of it: their
// completion events have come by the next present as a rule; otherwise wait for them.
void Backend::awaitPutsLocked(Embedded& e) {
    if (e.pendingPuts == 0) return;
    drainLocked();
    if (e.pendingPuts == 0) return;
    ErrorTrap trap(*x_, display_);
    trap.failed(); // every put answered
    drainLocked();
    e.pendingPuts = 0; // a put whose window went has no completion to wait for
}

void Backend::freeImageLocked(Embedded& e) {
    if (!e.image) return;
    if (e.shared) {
        ErrorTrap trap(*x_, display_);
        x_->XShmDetach(display_, &e.shm);
        trap.failed();
        shmdt(e.shm.shmaddr);
        e.image->data = nullptr; // not Xlib's to free
        e.shm = {};
        e.shared = false;
    }
    XDestroyImage(e.image); // frees malloc'ed data
    e.image = nullptr;
}

void Backend::presentLocked(Embedded& e) {
    if (!e.alive || !e.image) return;
    int width = 0, height = 0;
    {
        user::State& s = user::state();
        std::lock_guard g(s.lock);
        auto w = user::findLocked(e.proxy);
        if (!w) return;
        width = user::widthOf(w->rect);
        height = user::heightOf(w->rect);
        if (width == e.width && height == e.height)
            user::composeLocked(*w, e.frame.data(), width, 0, 0, {0, 0, width, height});
    }
    ErrorTrap trap(*x_, display_);
    if (width != e.width || height != e.height) {
        // The editor changed size: the window follows, and the next present sends all of it.
        if (width <= 0 || height <= 0 || !makeImageLocked(e, width, height)) return;
        x_->XResizeWindow(display_, e.window, static_cast<unsigned>(width),
                          static_cast<unsigned>(height));
        trap.failed();
        return;
    }
    e.lastPresentMs = user::nowMs();
    std::vector<RECT> rects;
    if (e.shown.empty()) {
        rects.push_back({0, 0, width, height});
        e.exposed.clear(); // the whole window goes anyway
    } else
        rects = changedRects(e.frame, e.shown, width, height);
    // Lost areas come from the frame being sent (equal to the last one where nothing changed).
    for (const RECT& lost : e.exposed) {
        RECT r = user::intersect(lost, {0, 0, width, height});
        if (!user::isEmpty(r)) rects.push_back(r);
    }
    e.exposed.clear();
    if (rects.empty()) return;
    if (e.shared) awaitPutsLocked(e);
    PresentStats* st = nullptr;
    for (auto& s : stats_)
        if (s.first == e.proxy) st = &s.second;
    for (const RECT& r : rects) {
        for (int y = r.top; y < r.bottom; ++y) {
            const std::uint32_t* src = e.frame.data() + static_cast<std::size_t>(y) * width;
            if (e.directPixels) {
                auto* row = reinterpret_cast<std::uint32_t*>(
                    e.image->data + static_cast<std::size_t>(y) * e.image->bytes_per_line);
                std::copy(src + r.left, src + r.right, row + r.left);
            } else {
                for (int x = r.left; x < r.right; ++x) {
                    const std::uint32_t p = src[x];
                    XPutPixel(e.image, x, y,
                              channel((p >> 16) & 0xFF, e.image->red_mask) |
                                  channel((p >> 8) & 0xFF, e.image->green_mask) |
                                  channel(p & 0xFF, e.image->blue_mask));
                }
            }
        }
        const auto w = static_cast<unsigned>(user::widthOf(r));
        const auto h = static_cast<unsigned>(user::heightOf(r));
        if (e.shared) {
            x_->XShmPutImage(display_, e.window, e.gc, e.image, r.left, r.top, r.left, r.top, w, h,
                             True);
            e.pendingPuts++;
        } else
            x_->XPutImage(display_, e.window, e.gc, e.image, r.left, r.top, r.left, r.top, w, h);
        if (st) {
            st->rectangles++;
            st->pixels += static_cast<std::uint64_t>(w) * h;
        }
    }
    if (st) {
        st->frames++;
        st->sharedMemory = e.shared;
    }
    x_->XFlush(display_);
    e.shown.swap(e.frame);
    e.frame.resize(e.shown.size());
}

} // namespace kavet::x11
