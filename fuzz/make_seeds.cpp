// Writes the fuzz targets' seed corpus and the regression inputs of past findings, each
// made by the program's own save functions (or, for formats the program only reads, by the
// few bytes the format needs), plus the documents and pictures of base/.
//   fuzz_make_seeds <source tree>
#include "app/edit/shape_payload.h"
#include "model/document/draw_doc.h"
#include "model/shape/shape_kind.h"
#include "model/vars/var_bank.h"
#include "platform/files/atomic_file.h"
#include "platform/surface/bmp_file.h"
#include "platform/surface/surface.h"
#include "sim/disk/record_file.h"
#include "sim/voice/yyk_library.h"
#include "sim/vtf/saved_vars.h"
#include "config/backup/var_backup.h"
#include "config/plcmap/driver_file.h"

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>

namespace fs = std::filesystem;
using namespace qv;

namespace {

fs::path g_fuzz;

void put(const char* folder, const std::string& name, const std::string& bytes)
{
    const fs::path dir = g_fuzz / folder;
    fs::create_directories(dir);
    if (!writeFileAtomically(dir / name, bytes))
        std::fprintf(stderr, "cannot write %s\n", (dir / name).c_str());
}

// Little-endian byte writer for the formats the program only reads.
struct Bytes {
    std::string b;
    Bytes& u16(int v)
    {
        b.push_back(static_cast<char>(v & 0xFF));
        b.push_back(static_cast<char>((v >> 8) & 0xFF));
        return *this;
    }
    Bytes& u32(std::uint32_t v) { return u16(static_cast<int>(v & 0xFFFF)).u16(static_cast<int>(v >> 16)); }
};

std::unique_ptr<CDrawRect> shape(ShapeKind kind, Rect r, int penWidth)
{
    auto obj = std::make_unique<CDrawRect>(r);
    obj->SetKind(kind);
    obj->m_bHasPen = 1;
    obj->m_penInfo = {0, penWidth, penWidth, rgb(20, 40, 200)};
    obj->m_bHasBrush = 1;
    obj->m_brushInfo = {0, rgb(200, 200, 40), 0};
    obj->m_logfont.lfHeight = 16;
    obj->m_logfont.lfWeight = 400;
    obj->m_logfont.lfCharSet = 134;
    obj->m_logfont.setFaceName("宋体");
    obj->m_strName = "温度";
    return obj;
}

std::string saved(CDrawDoc& doc) { return doc.SerializeToBytes(); }

// A placeable metafile: one pen, one polyline through `points`.
std::string wmfPolyline(int penWidth, std::initializer_list<std::pair<int, int>> points)
{
    Bytes body;
    body.u32(8).u16(0x02FA).u16(0).u16(penWidth).u16(0).u32(0x000000FF); // CreatePenIndirect
    body.u32(4).u16(0x012D).u16(0);                                      // SelectObject 0
    body.u32(static_cast<std::uint32_t>(4 + 2 * points.size())).u16(0x0325).u16(static_cast<int>(points.size()));
    for (auto [x, y] : points)
        body.u16(x).u16(y);
    Bytes out;
    out.u32(0x9AC6CDD7u).u16(0).u16(0).u16(0).u16(200).u16(100).u16(96).u32(0).u16(0);
    out.u16(1).u16(9).u16(0x300).u32(static_cast<std::uint32_t>((18 + body.b.size() + 6) / 2)).u16(1).u32(8).u16(0);
    out.b += body.b;
    return out.u32(3).u16(0).b;
}

void baseFiles(const fs::path& source)
{
    int documents = 0, pictures = 0;
    for (const auto& e : fs::recursive_directory_iterator(source / "base")) {
        if (!e.is_regular_file() || e.file_size() > 64 * 1024)
            continue;
        const std::string ext = e.path().extension().string();
        std::string bytes;
        if (!readWholeFile(e.path(), bytes))
            continue;
        if ((ext == ".drw" || ext == ".dlg") && documents < 12) {
            const std::string name = "base_" + std::to_string(documents++) + ext;
            put("corpus/document", name, bytes);
            put("corpus/paint", name, bytes);
            put("corpus/window_compile", name, bytes);
        } else if (ext == ".hmi") {
            put("corpus/project_open", "base_" + e.path().filename().string(), bytes);
            put("corpus/document", "base_" + e.path().filename().string(), bytes);
        } else if ((ext == ".bmp" || ext == ".jpg" || ext == ".gif" || ext == ".ico") && pictures < 10 &&
                   e.file_size() < 8 * 1024) {
            put("corpus/picture", "base_" + std::to_string(pictures++) + ext, bytes);
        }
    }
}

void documents()
{
    CDrawDoc doc;
    doc.AddObject(shape(ShapeKind::Rectangle, {10, 10, 80, 50}, 1));
    doc.AddObject(shape(ShapeKind::Ellipse, {30, 20, 120, 90}, 3));
    doc.AddObject(shape(ShapeKind::Line, {5, 100, 200, 140}, 6));
    doc.AddObject(shape(ShapeKind::Text, {40, 150, 200, 180}, 1));
    put("corpus/document", "shapes.drw", saved(doc));
    put("corpus/paint", "shapes.drw", saved(doc));
    put("corpus/window_compile", "shapes.drw", saved(doc));

    CDrawDoc project;
    project.m_nWindowWidth = 800;
    project.m_nWindowHeight = 480;
    project.InitSystemVariables();
    put("corpus/project_open", "new.hmi", saved(project));
    for (auto [name, w, h] : {std::tuple{"resolution_60000.hmi", 60000, 60000},
                              std::tuple{"resolution_int_max.hmi", 2147483647, 480}}) {
        project.m_nWindowWidth = w;
        project.m_nWindowHeight = h;
        put("regressions/project_open", name, saved(project));
    }

    // A pen from a file used as it is once hung painting for minutes.
    CDrawDoc wide;
    wide.AddObject(shape(ShapeKind::Line, {-5000, 10, 5000, 200}, 20000));
    put("regressions/paint", "wide_pen_20000.drw", saved(wide));
    // Every height past the largest cell once got glyphs of its own.
    CDrawDoc large;
    for (int i = 0; i < 60; ++i) {
        auto text = shape(ShapeKind::Text, {0, 0, 300, 200}, 1);
        text->m_logfont.lfHeight = 513 + i * 146 / 59;
        text->m_strName = "控件文字";
        large.AddObject(std::move(text));
    }
    put("regressions/paint", "large_text_heights.drw", saved(large));

    std::vector<CDrawObj*> objects;
    for (auto& obj : doc.m_objects)
        objects.push_back(obj.get());
    put("corpus/clipboard", "shapes.bin", edit::encodeShapePayload(objects, Point{20, 20}, nullptr));
}

void pictures()
{
    Surface s(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            s.setPixel(x, y, rgb(x * 30, y * 40, 90));
    put("corpus/picture", "saved.bmp", encodeBitmap24(s, s.bounds()));
    put("corpus/picture", "polyline.wmf", wmfPolyline(3, {{0, 0}, {150, 90}, {20, 80}}));
    put("regressions/picture", "wmf_pen_29812.wmf", wmfPolyline(29812, {{0, 0}, {30000, 100}, {-30000, 50}}));
    // Row bytes times height past 64 bits: the cut-short check once overflowed.
    std::string bmp = encodeBitmap24(s, s.bounds());
    for (int at : {18, 22})
        bmp.replace(at, 4, "\xFF\xFF\xFF\x7F");
    bmp.replace(28, 2, "\xFF\xFF");
    put("regressions/picture", "bmp_size_overflow.bmp", bmp);
}

void variables(const fs::path& scratch)
{
    CDrawDoc project;
    project.InitSystemVariables();
    HmiVarTable table = project.m_varTable;
    table.AppendRow("28", "signed short", "温度", "-5", "说明");
    std::string bytes, error;
    if (FormatHmiVarBackup(table, bytes, error))
        put("corpus/var_backup", "table.bak", bytes);
    const std::size_t at = bytes.find("温度");
    if (at != std::string::npos)
        put("regressions/var_backup", "carriage_return.bak", bytes.replace(at, 4, "a\rb"));

    std::vector<plcmap::MappingRecord> rows(3);
    rows[1].elementType = 2;
    rows[1].hmiAddress = 200;
    rows[2].count = 8;
    put("corpus/plc_driver", "three_rows.mod", plcmap::EncodeDriverFile("Modbus", rows));

    auto live = std::make_unique<VarBank>();
    for (int i = 0; i < 64; ++i)
        live->writeByte(100 + i, static_cast<std::uint8_t>(i));
    fs::remove_all(scratch);
    fs::create_directories(scratch / "NandFlash");
    SaveVarToFlash(scratch, 0, 100, 16, *live);
    SaveVarToFlash(scratch, 3, 0, 64, *live);
    std::string vtf;
    if (readWholeFile(scratch / "NandFlash" / "VarToFlash.vtf", vtf))
        put("corpus/vtf", "two_slots.vtf", vtf);
    fs::remove_all(scratch);

    // A voice library of three short waves, two entries sharing one, and one cut inside its index.
    const fs::path library = scratch / "SOUND.YYK";
    fs::create_directories(scratch);
    sim::YykWriter writer(library);
    const std::vector<std::uint8_t> one{'R', 'I', 'F', 'F', 1}, two{'R', 'I', 'F', 'F', 2, 2};
    std::string yyk;
    if (writer.Start() && writer.Add(0, one) && writer.Add(94, two) && writer.Add(sim::kYykHanziEntries + 1, one) &&
        writer.Add(sim::kYykEntries - 1, {9}) && writer.Commit() && readWholeFile(library, yyk)) {
        put("corpus/voice_library", "three_waves.yyk", yyk);
        put("corpus/voice_library", "cut_index.yyk", yyk.substr(0, 1000));
    }
    fs::remove_all(scratch);

    put("corpus/intel_hex", "code.hex",
        ":0300000002003EBB\r\n:10003E00787FE4F6D8FD75810702004AE4F5A0F5E3\r\n:00000001FF\r\n");
    put("corpus/intel_hex", "extended.hex", ":020000040000FA\r\n:0100000000FF\r\n:00000001FF\r\n");
}

// Record files as the simulator leaves them, each behind the eight calls its run makes: a ring
// filling, a ring wrapped over, a list with free places.
void recordFiles(const fs::path& scratch)
{
    struct Seed {
        const char* name;
        std::uint16_t size;
        std::uint32_t capacity;
        int appends;
        std::initializer_list<std::uint32_t> deletes;
        const char* calls; // one byte each: read, append, rewrite, delete (top two bits) of n
    };
    const Seed seeds[] = {
        {"filling.rec", 2, 6, 4, {}, "\x00\x01\x41\x23\x81\xC1\x02\x40"},
        {"wrapped.rec", 3, 5, 13, {}, "\x24\x41\x00\xC2\x41\x03\x20\x81"},
        {"list.rec", 1, 40, 50, {0, 7, 30}, "\x41\x40\x41\x25\xC0\xE0\x03\x41"},
    };
    auto memory = std::make_unique<VarBank>();
    for (const Seed& s : seeds) {
        fs::remove_all(scratch);
        const fs::path path = scratch / "UsbDisk" / "LOG.DAT";
        sim::RecordFiles files;
        const int h = files.open(scratch, path, s.size, s.capacity);
        for (int i = 0; i < s.appends; ++i) {
            memory->writeByte(0x100, static_cast<std::uint8_t>('A' + i));
            files.append(h, *memory, 0x100, true);
        }
        for (std::uint32_t n : s.deletes)
            files.remove(h, n);
        std::string bytes;
        if (h != 0 && readWholeFile(path, bytes))
            put("corpus/record_file", s.name, std::string(s.calls, 8) + bytes);
    }
    fs::remove_all(scratch);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <source tree>\n", argv[0]);
        return 2;
    }
    const fs::path source = argv[1];
    g_fuzz = source / "fuzz";
    baseFiles(source);
    documents();
    pictures();
    variables(fs::temp_directory_path() / "qv-fuzz-seeds");
    recordFiles(fs::temp_directory_path() / "qv-fuzz-seeds");
    std::puts("seeds written");
    return 0;
}
