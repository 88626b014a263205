// Registering built resource data for a module: string tables and icons.

#include "host/resources.h"

namespace host {

void RegisterStringTable(HMODULE module, const std::map<UINT, std::wstring>& strings) {
    std::map<UINT, std::vector<std::wstring>> blocks;
    for (const auto& [id, text] : strings) {
        const UINT key = LOWORD(id);
        std::vector<std::wstring>& block = blocks[key / 16 + 1];
        block.resize(16);
        block[key % 16] = text;
    }
    for (const auto& [blockId, texts] : blocks) {
        RegisterResource(module, RT_STRING, MAKEINTRESOURCEW(blockId), BuildStringTableBlock(texts));
    }
}

void RegisterIconResources(HMODULE module, LPCWSTR groupName, const IconResources& icon) {
    for (const auto& [id, bits] : icon.images) RegisterResource(module, RT_ICON, MAKEINTRESOURCEW(id), bits);
    RegisterResource(module, RT_GROUP_ICON, groupName, icon.group);
}

}  // namespace host
