// Global memory blocks. Fixed blocks are their own handles; moveable blocks have a handle of
// their own and are reached through GlobalLock. Every handle is checked against the table of
// live blocks, so a stale or foreign handle gets an error, never a crash.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

namespace {

struct Block {
    void* memory = nullptr;
    SIZE_T size = 0;
    bool moveable = false;
    unsigned locks = 0;
};

std::mutex blocksMutex;
std::map<const void*, Block>& blocks() {
    static std::map<const void*, Block> live;
    return live;
}

// Moveable handles are addresses of small objects of their own, distinct from any block.
struct MoveableHandle {
    char unused;
};

Block* find(HGLOBAL h) {
    auto it = blocks().find(h);
    return it == blocks().end() ? nullptr : &it->second;
}

} // namespace

HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
    if (uFlags & ~static_cast<UINT>(GMEM_VALID_FLAGS)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // A zero-byte request still gets a block, so that the handle is unique.
    void* memory = (uFlags & GMEM_ZEROINIT) ? std::calloc(dwBytes ? dwBytes : 1, 1)
                                            : std::malloc(dwBytes ? dwBytes : 1);
    if (!memory) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Block block{memory, dwBytes, (uFlags & GMEM_MOVEABLE) != 0, 0};
    HGLOBAL handle = block.moveable ? static_cast<HGLOBAL>(new MoveableHandle) : memory;
    std::lock_guard lock(blocksMutex);
    blocks()[handle] = block;
    return handle;
}

HGLOBAL WINAPI GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags) {
    std::lock_guard lock(blocksMutex);
    Block* block = find(hMem);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // A fixed block may move only when GMEM_MOVEABLE allows it; a locked moveable block
    // cannot move either.
    if (!block->moveable && !(uFlags & GMEM_MOVEABLE) && dwBytes > block->size) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (block->moveable && block->locks > 0 && dwBytes > block->size) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    void* memory = std::realloc(block->memory, dwBytes ? dwBytes : 1);
    if (!memory) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if ((uFlags & GMEM_ZEROINIT) && dwBytes > block->size)
        std::memset(static_cast<char*>(memory) + block->size, 0, dwBytes - block->size);
    Block moved = *block;
    moved.memory = memory;
    moved.size = dwBytes;
    if (block->moveable) {
        *block = moved;
        return hMem;
    }
    blocks().erase(hMem);
    blocks()[memory] = moved;
    return memory;
}

LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
    std::lock_guard lock(blocksMutex);
    Block* block = find(hMem);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (block->moveable && block->locks < GMEM_LOCKCOUNT) ++block->locks;
    return block->memory;
}

BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
    std::lock_guard lock(blocksMutex);
    Block* block = find(hMem);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // Fixed blocks are never locked; the last unlock answers FALSE with NO_ERROR.
    if (!block->moveable || block->locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    if (--block->locks == 0) {
        SetLastError(NO_ERROR);
        return FALSE;
    }
    return TRUE;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
    if (!hMem) return nullptr;
    std::lock_guard lock(blocksMutex);
    Block* block = find(hMem);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return hMem;
    }
    std::free(block->memory);
    if (block->moveable) delete static_cast<MoveableHandle*>(hMem);
    blocks().erase(hMem);
    return nullptr;
}

SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
    std::lock_guard lock(blocksMutex);
    Block* block = find(hMem);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return block->size;
}

UINT WINAPI GlobalFlags(HGLOBAL hMem) {
    std::lock_guard lock(blocksMutex);
    Block* block = find(hMem);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return GMEM_INVALID_HANDLE;
    }
    return block->locks;
}

HGLOBAL WINAPI GlobalHandle(LPCVOID pMem) {
    std::lock_guard lock(blocksMutex);
    for (const auto& [handle, block] : blocks())
        if (block.memory == pMem) return const_cast<HGLOBAL>(handle);
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}
