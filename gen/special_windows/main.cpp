// Writes the special sub-windows and the system screen into <base>/images/SpecialWindow
// (UTF-8 names on disk), their pictures into its "images" folder.
//   qv_gen_special_windows <base folder>
#include "gen/special_windows/special_windows.h"
#include "platform/text/gbk.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <base folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path base = argv[1];
    const std::filesystem::path folder = base / "images" / "SpecialWindow";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    qv::gen::SpecialWindowBuilder builder(base, folder / "images");
    for (const qv::gen::WindowLayout& layout : qv::gen::specialWindowLayouts()) {
        auto doc = builder.Build(layout);
        const std::filesystem::path file = folder / qv::gbkToUtf8(layout.fileName).value_or("window");
        qv::DocumentError error;
        if (!doc->OnSaveDocument(file, &error)) {
            std::fprintf(stderr, "%s\n", qv::gbkToUtf8Lossy(error.messageGbk).c_str());
            return 1;
        }
        std::printf("%s\n", file.string().c_str());
    }
    return 0;
}
