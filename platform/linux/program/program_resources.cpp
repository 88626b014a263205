#include "program_resources.h"

#include "host/modules.h"
#include "host/resources.h"
#include "resources/app_icon.h"
#include "resources/dialogs.h"
#include "resources/resource_ids.h"
#include "resources/strings.h"

#include <cstring>
#include <map>

namespace host {

namespace {

void RegisterDialog(HMODULE module, const resources::DialogDefinition& dialog) {
    const std::vector<DWORD> words = resources::BuildDialogTemplate(dialog);
    std::vector<BYTE> bytes(words.size() * sizeof(DWORD));
    std::memcpy(bytes.data(), words.data(), bytes.size());
    RegisterResource(module, RT_DIALOG, MAKEINTRESOURCEW(dialog.id), std::move(bytes));
}

void RegisterStrings(HMODULE module) {
    std::map<UINT, std::wstring> strings;
    for (const resources::StringResource& s : resources::Strings()) strings[s.id] = s.text;
    RegisterStringTable(module, strings);
}

void RegisterIcon(HMODULE module) {
    std::vector<IconImage> images;
    for (const resources::IconPicture& p : resources::AppIconPictures())
        images.push_back(IconImage{p.width, p.height, p.bitsPerPixel, p.argb, p.palette});
    RegisterIconResources(module, MAKEINTRESOURCEW(IDR_MAINFRAME), BuildIconResources(1, images));
}

}  // namespace

void RegisterProgramResources() {
    const HMODULE module = ExecutableModule();
    ClearResources(module);
    RegisterDialog(module, resources::MainDialog());
    RegisterDialog(module, resources::AboutDialog());
    RegisterStrings(module);
    RegisterIcon(module);
}

}  // namespace host
