#include "platform/clipboard/LocalMemory.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>

#include "platform/kernel/Core.h"

namespace {

// Beyond any text a handheld's clipboard would carry; larger requests fail as out of memory.
constexpr UINT largest_block = 64u << 20;

struct Block {
    std::unique_ptr<unsigned char[]> bytes;
    UINT size = 0;
    bool clipboard_owned = false;
};

struct BlockTable {
    std::mutex lock;
    std::map<void*, Block> blocks;  // lock
};

BlockTable& table() {
    static auto* instance = new BlockTable;  // blocks handed out may outlive static destruction
    return *instance;
}

}  // namespace

HLOCAL LocalAlloc(UINT flags, UINT bytes) {
    if (flags & ~(LMEM_MOVEABLE | LMEM_ZEROINIT)) {
        std::fprintf(stderr, "platform: LocalAlloc flags 0x%x are not supported\n", flags);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (bytes > largest_block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // A zero-sized block still gets an address of its own.
    std::unique_ptr<unsigned char[]> memory(new (std::nothrow) unsigned char[bytes ? bytes : 1]);
    if (!memory) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (flags & LMEM_ZEROINIT) {
        std::memset(memory.get(), 0, bytes);
    }
    void* handle = memory.get();
    BlockTable& t = table();
    std::lock_guard guard(t.lock);
    t.blocks[handle] = Block{std::move(memory), bytes, false};
    return handle;
}

LPVOID LocalLock(HLOCAL memory) {
    BlockTable& t = table();
    std::lock_guard guard(t.lock);
    if (!t.blocks.count(memory)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return memory;
}

BOOL LocalUnlock(HLOCAL memory) {
    BlockTable& t = table();
    std::lock_guard guard(t.lock);
    SetLastError(t.blocks.count(memory) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE);
    return FALSE;
}

UINT LocalSize(HLOCAL memory) {
    BlockTable& t = table();
    std::lock_guard guard(t.lock);
    auto it = t.blocks.find(memory);
    if (it == t.blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return it->second.size;
}

HLOCAL LocalFree(HLOCAL memory) {
    if (!memory) {
        return nullptr;
    }
    BlockTable& t = table();
    std::lock_guard guard(t.lock);
    auto it = t.blocks.find(memory);
    if (it == t.blocks.end() || it->second.clipboard_owned) {
        SetLastError(ERROR_INVALID_HANDLE);
        return memory;
    }
    t.blocks.erase(it);
    return nullptr;
}

namespace platform {

std::u16string local_text(HLOCAL memory) {
    BlockTable& t = table();
    std::lock_guard guard(t.lock);
    auto it = t.blocks.find(memory);
    if (it == t.blocks.end()) {
        return {};
    }
    const unsigned char* bytes = it->second.bytes.get();
    std::u16string text;
    for (UINT i = 0; i + 1 < it->second.size; i += 2) {
        WCHAR c;
        std::memcpy(&c, bytes + i, sizeof c);
        if (c == 0) {
            break;
        }
        text.push_back(c);
    }
    return text;
}

HLOCAL local_text_block(std::u16string_view text) {
    if (text.size() >= largest_block / sizeof(WCHAR)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    UINT bytes = static_cast<UINT>(text.size() * sizeof(WCHAR));
    HLOCAL memory = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, bytes + sizeof(WCHAR));
    if (memory && bytes) {
        std::memcpy(memory, text.data(), bytes);
    }
    return memory;
}

bool local_memory_take_over(HLOCAL memory) {
    BlockTable& t = table();
    std::lock_guard guard(t.lock);
    auto it = t.blocks.find(memory);
    if (it == t.blocks.end() || it->second.clipboard_owned) {
        return false;
    }
    it->second.clipboard_owned = true;
    return true;
}

void local_memory_release(HLOCAL memory) {
    BlockTable& t = table();
    std::lock_guard guard(t.lock);
    t.blocks.erase(memory);
}

}  // namespace platform
