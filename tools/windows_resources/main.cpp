// palisk-rc: writes palisk.exe's resource script and icon.
//
//   palisk-rc <output folder> <manifest> <major.minor>
//
// writes <output folder>/palisk.rc and <output folder>/palisk.ico.

#include "resource_script.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

bool WriteFile(const std::string& path, const void* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

bool ParseVersion(const std::string& text, windows_resources::ProductVersion& version) {
    return std::sscanf(text.c_str(), "%d.%d", &version.major, &version.minor) == 2;
}

}  // namespace

int main(int argc, char** argv) {
    windows_resources::ProductVersion version;
    if (argc != 4 || !ParseVersion(argv[3], version)) {
        std::fprintf(stderr, "usage: palisk-rc <output folder> <manifest> <major.minor>\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::vector<BYTE> icon = windows_resources::IconFile(windows_resources::ApplicationIcon());
    const windows_resources::ScriptFiles files{folder + "/palisk.ico", argv[2]};
    const auto script = windows_resources::ResourceScript(files, version);
    if (icon.empty() || !script) {
        std::fprintf(stderr, "palisk-rc: a resource cannot be written as a script (text outside ASCII?)\n");
        return 1;
    }
    if (!WriteFile(files.icon, icon.data(), icon.size()) ||
        !WriteFile(folder + "/palisk.rc", script->data(), script->size())) {
        std::fprintf(stderr, "palisk-rc: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
