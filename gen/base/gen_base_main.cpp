// qv_gen_base <base folder>: writes the shipped base folder's generated content. Run it on
// the tree's base/ (or an empty or new folder) and commit what it wrote.
#include "gen/base/base_pictures.h"
#include "gen/base/base_target.h"
#include "gen/base/base_sounds.h"
#include "gen/base/sample_projects.h"
#include "platform/files/atomic_file.h"

#include <QGuiApplication>

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The firmware folder is kept in the tree by a placeholder. The panel's disk folders
// (images/MC8051, UsbDisk, SDCard, FDisk) are copied into every project, so they hold none:
// the base folder's preparation makes them, and a project open makes empty ones where the
// base folder lacks them.
bool writeKeptFolders(const fs::path& base, std::string* error)
{
    const fs::path folder = base / "images" / "hex" / "fpga";
    std::error_code ec;
    fs::create_directories(folder, ec);
    return fs::exists(folder / ".keep") || qv::writeFileAtomically(folder / ".keep", "", error);
}

// The picture tool's folder: its pictures come with the pictures, the font folder starts
// empty and the panel's configuration header holds the display type at line 2, column 26.
bool writeToolFolder(const fs::path& base, std::string* error)
{
    const fs::path tool = base / fs::path(u8"images/其它工具软件/Tessolin软件");
    std::error_code ec;
    fs::create_directories(tool / "zk", ec);
    return (fs::exists(tool / "zk" / ".keep") || qv::writeFileAtomically(tool / "zk" / ".keep", "", error)) &&
           qv::writeFileAtomically(tool / "LcdConfig.h",
                                   "// Display configuration of the panel\r\n#define LCD_CONFIG_TYPE  1\r\n", error);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <base folder>\n", argv[0]);
        return 2;
    }
    const fs::path base = fs::absolute(argv[1]);
    if (const auto refused = qv::gen::refuseGeneratorTarget(base, QV_TREE_BASE_DIR)) {
        std::fprintf(stderr, "qv_gen_base: refused: %s\n", refused->c_str());
        return 2;
    }
    // JPEG writing needs Qt's image plugins, which need an application object.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication qapp(argc, argv);
    std::string error;
    if (!writeKeptFolders(base, &error) || !writeToolFolder(base, &error) || !qv::gen::writeBasePictures(base, &error) ||
        !qv::gen::writeBaseSounds(base, &error) || !qv::gen::writeSampleProjects(base, &error)) {
        std::fprintf(stderr, "qv_gen_base: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
