// The host's resource table: FindResourceW, LoadResource, LockResource and
// SizeofResource over resources registered at start-up, and LoadStringW.

#include "host/resources.h"

#include "host/modules.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <unordered_set>
#include <vector>

namespace host {

namespace {

// A resource type or name as Win32 compares it.
struct Key {
    bool isId = false;
    WORD id = 0;
    std::wstring name;  // upper case

    bool operator==(const Key& other) const {
        return isId == other.isId && (isId ? id == other.id : name == other.name);
    }
};

Key MakeKey(LPCWSTR value) {
    Key key;
    if (IS_INTRESOURCE(value)) {
        key.isId = true;
        key.id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(value));
        return key;
    }
    if (value[0] == L'#') {  // "#123" names the id 123
        unsigned long id = 0;
        const wchar_t* p = value + 1;
        for (; *p >= L'0' && *p <= L'9' && id <= 0xFFFF; ++p) id = id * 10 + (*p - L'0');
        if (!*p && p != value + 1 && id <= 0xFFFF) {
            key.isId = true;
            key.id = static_cast<WORD>(id);
            return key;
        }
    }
    for (const wchar_t* p = value; *p; ++p) key.name.push_back(static_cast<wchar_t>(std::towupper(*p)));
    return key;
}

struct Entry {
    HMODULE module;
    Key type;
    Key name;
    std::vector<BYTE> bytes;
};

struct Table {
    std::vector<std::unique_ptr<Entry>> entries;
    std::unordered_set<const Entry*> live;
};

Table& TheTable() {
    static Table table;
    return table;
}

HMODULE Resolve(HMODULE module) { return module ? module : ExecutableModule(); }

const Entry* LiveEntry(HRSRC handle) {
    const auto* entry = reinterpret_cast<const Entry*>(handle);
    return handle && TheTable().live.count(entry) ? entry : nullptr;
}

void Remove(const std::function<bool(const Entry&)>& doomed) {
    Table& table = TheTable();
    std::erase_if(table.entries, [&](const std::unique_ptr<Entry>& e) {
        if (!doomed(*e)) return false;
        table.live.erase(e.get());
        return true;
    });
}

}  // namespace

void RegisterResource(HMODULE module, LPCWSTR type, LPCWSTR name, std::vector<BYTE> bytes) {
    if (!type || !name) return;
    auto entry = std::make_unique<Entry>(Entry{Resolve(module), MakeKey(type), MakeKey(name), std::move(bytes)});
    Remove([&](const Entry& e) { return e.module == entry->module && e.type == entry->type && e.name == entry->name; });
    Table& table = TheTable();
    table.live.insert(entry.get());
    table.entries.push_back(std::move(entry));
}

void ClearResources(HMODULE module) {
    const HMODULE target = Resolve(module);
    Remove([target](const Entry& e) { return e.module == target; });
}

void ClearAllResources() {
    Table& table = TheTable();
    table.entries.clear();
    table.live.clear();
}

}  // namespace host

using namespace host;

HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType) {
    if (!lpName || !lpType) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const HMODULE module = Resolve(hModule);
    const Key type = MakeKey(lpType), name = MakeKey(lpName);
    bool moduleHasResources = false, typeFound = false;
    for (const auto& e : TheTable().entries) {
        if (e->module != module) continue;
        moduleHasResources = true;
        if (!(e->type == type)) continue;
        typeFound = true;
        if (e->name == name) return reinterpret_cast<HRSRC>(e.get());
    }
    SetLastError(!moduleHasResources ? ERROR_RESOURCE_DATA_NOT_FOUND
                 : !typeFound        ? ERROR_RESOURCE_TYPE_NOT_FOUND
                                     : ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
    (void)hModule;  // the resource handle already names its module
    const Entry* entry = LiveEntry(hResInfo);
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // An empty resource still loads; its data is a valid, empty place.
    static const BYTE kEmpty = 0;
    return const_cast<BYTE*>(entry->bytes.empty() ? &kEmpty : entry->bytes.data());
}

LPVOID WINAPI LockResource(HGLOBAL hResData) { return hResData; }

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
    (void)hModule;
    const Entry* entry = LiveEntry(hResInfo);
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return static_cast<DWORD>(entry->bytes.size());
}

int WINAPI LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax) {
    if (!lpBuffer) return 0;
    if (cchBufferMax < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto fail = [&] {
        if (cchBufferMax > 0) lpBuffer[0] = L'\0';
        return 0;
    };
    const HRSRC block = FindResourceW(hInstance, MAKEINTRESOURCEW((LOWORD(uID) >> 4) + 1), RT_STRING);
    if (!block) return fail();
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(hInstance, block)));
    const std::size_t units = SizeofResource(hInstance, block) / sizeof(WCHAR);
    // Walk the counted strings up to ours, never past the block's end.
    auto count = [data](std::size_t unit) {
        WCHAR value;
        std::memcpy(&value, data + unit * sizeof(WCHAR), sizeof value);
        return static_cast<std::size_t>(static_cast<std::make_unsigned_t<WCHAR>>(value));
    };
    std::size_t at = 0;
    for (UINT i = 0; i < (uID & 0x0F); ++i) {
        if (at >= units) return fail();
        at += count(at) + 1;
    }
    if (at >= units) return fail();
    const std::size_t length = count(at);
    if (length > units - at - 1) return fail();  // a truncated block
    auto* text = reinterpret_cast<const WCHAR*>(data + (at + 1) * sizeof(WCHAR));
    if (cchBufferMax == 0) {
        // The caller gets a read-only pointer to the string in the resource.
        std::memcpy(lpBuffer, &text, sizeof text);
        return static_cast<int>(length);
    }
    const std::size_t n = std::min(length, static_cast<std::size_t>(cchBufferMax) - 1);
    std::memcpy(lpBuffer, text, n * sizeof(WCHAR));
    lpBuffer[n] = L'\0';
    return static_cast<int>(n);
}
