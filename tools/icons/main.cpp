// palisk-icons: writes the application icon at the hicolor sizes given,
// from icon 128's true-colour picture, as OUTPUT-DIR/NxN/apps/palisk.png.
// The build runs it; the install copies what it wrote.
//
//   palisk-icons OUTPUT-DIR SIZE...

#include "icon_resample.h"
#include "png_file.h"

#include "resources/app_icon.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: palisk-icons OUTPUT-DIR SIZE...\n");
        return 2;
    }
    const resources::IconPicture& best = resources::AppIconPictures().back();  // true colour
    const icons::Picture source{best.width, best.height, best.argb};
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 1 || size > 1024) {
            std::fprintf(stderr, "palisk-icons: no icon size %s\n", argv[i]);
            return 2;
        }
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const std::filesystem::path dir = std::filesystem::path(argv[1]) / name / "apps";
        std::error_code error;
        std::filesystem::create_directories(dir, error);
        if (!icons::WritePng(icons::ResampleByArea(source, size), (dir / "palisk.png").string())) {
            std::fprintf(stderr, "palisk-icons: cannot write %s\n", (dir / "palisk.png").c_str());
            return 1;
        }
    }
    return 0;
}
