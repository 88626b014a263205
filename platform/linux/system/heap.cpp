// The process heap: real allocations, each remembered with its size so that
// a pointer the heap did not hand out is refused instead of corrupting
// anything, and so that HeapReAlloc can zero what it adds. The machine may
// refuse any allocation (a scripted failure), as a heap that is out of
// memory does.

#include <windows.h>

#include "heap.h"
#include "system_host.h"

#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace host::system {

namespace {

// The one heap there is; its handle is this object's address.
int g_processHeap;

// Larger requests than any heap here can serve are refused outright rather
// than handed to the C allocator (which might abort under a sanitizer).
constexpr SIZE_T kLargestBlock = SIZE_T{1} << 38;

std::unordered_map<void*, SIZE_T>& Blocks() {
    static std::unordered_map<void*, SIZE_T> blocks;
    return blocks;
}

bool IsProcessHeap(HANDLE heap) { return heap == &g_processHeap; }

// Allocation failures set no last error, as HeapAlloc's do (the heap raises
// an exception instead when asked to; the host cannot, and returns NULL).
bool Refused(SIZE_T bytes) { return bytes > kLargestBlock || Services().RefuseAllocation(bytes); }

}  // namespace

std::size_t LiveHeapBlocks() { return Blocks().size(); }

}  // namespace host::system

using namespace host::system;

HANDLE WINAPI GetProcessHeap(void) { return &g_processHeap; }

LPVOID WINAPI HeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes) {
    if (!IsProcessHeap(hHeap)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (Refused(dwBytes)) return nullptr;
    // A zero-byte block is a real, distinct block, as on Windows.
    void* block = (dwFlags & HEAP_ZERO_MEMORY) ? std::calloc(1, dwBytes ? dwBytes : 1)
                                               : std::malloc(dwBytes ? dwBytes : 1);
    if (block) Blocks().emplace(block, dwBytes);
    return block;
}

LPVOID WINAPI HeapReAlloc(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem, SIZE_T dwBytes) {
    if (!IsProcessHeap(hHeap)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto it = Blocks().find(lpMem);
    if (it == Blocks().end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const SIZE_T oldBytes = it->second;
    if (Refused(dwBytes)) return nullptr;
    if (dwFlags & HEAP_REALLOC_IN_PLACE_ONLY) {
        if (dwBytes > oldBytes) return nullptr;  // a block cannot grow where it stands here
        it->second = dwBytes;
        return lpMem;
    }
    void* block = std::realloc(lpMem, dwBytes ? dwBytes : 1);
    if (!block) return nullptr;  // the old block stays as it was
    Blocks().erase(it);
    Blocks().emplace(block, dwBytes);
    if ((dwFlags & HEAP_ZERO_MEMORY) && dwBytes > oldBytes)
        std::memset(static_cast<BYTE*>(block) + oldBytes, 0, dwBytes - oldBytes);
    return block;
}

BOOL WINAPI HeapFree(HANDLE hHeap, DWORD, LPVOID lpMem) {
    if (!IsProcessHeap(hHeap)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!lpMem) return TRUE;
    auto it = Blocks().find(lpMem);
    if (it == Blocks().end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Blocks().erase(it);
    std::free(lpMem);
    return TRUE;
}
