#include "gen/base/base_pictures.h"

#include "platform/picture/surface_image.h"
#include "platform/surface/bmp_file.h"
#include "platform/surface/surface.h"

#include <QImageWriter>

#include <array>
#include <functional>
#include <vector>

namespace qv::gen {

namespace {

// The key colour the compiler treats as transparent in cursor pictures.
constexpr ColorRef kCursorKey = 0xF8FCF8;

struct PictureDef {
    std::string path;  // below the base folder, '/'-separated, UTF-8
    int width;
    int height;
    ColorRef background;
    std::function<void(Surface&)> draw;
};

void filledShape(Surface& s, ColorRef pen, ColorRef brush, int penWidth = 1)
{
    s.selectPen(Pen{PS_INSIDEFRAME, penWidth, pen});
    s.selectBrush(Brush{BS_SOLID, brush});
}

// A toggle switch: track and knob, knob right and green when on.
void drawSwitch(Surface& s, bool on)
{
    filledShape(s, rgb(64, 64, 64), on ? rgb(40, 170, 70) : rgb(170, 170, 170), 2);
    s.roundRect({1, 5, 63, 27}, 22, 22);
    filledShape(s, rgb(64, 64, 64), rgb(250, 250, 250), 2);
    s.ellipse(on ? Rect{36, 2, 64, 30} : Rect{0, 2, 28, 30});
}

// A round lamp with a highlight, bright red when on, dark when off.
void drawIndicator(Surface& s, bool on)
{
    filledShape(s, rgb(60, 60, 60), rgb(120, 120, 120), 3);
    s.ellipse({0, 0, 40, 40});
    filledShape(s, on ? rgb(180, 0, 0) : rgb(70, 20, 20), on ? rgb(255, 40, 40) : rgb(110, 30, 30));
    s.ellipse({5, 5, 35, 35});
    filledShape(s, on ? rgb(255, 200, 200) : rgb(140, 80, 80), on ? rgb(255, 200, 200) : rgb(140, 80, 80));
    s.ellipse({11, 10, 19, 17});
}

void drawRadio(Surface& s, bool on)
{
    filledShape(s, rgb(60, 60, 60), rgb(255, 255, 255), 2);
    s.ellipse({0, 0, 20, 20});
    if (on) {
        filledShape(s, rgb(0, 0, 0), rgb(0, 0, 0));
        s.ellipse({6, 6, 14, 14});
    }
}

// Seven segments a..g of a 16 x 24 digit cell, as rectangles.
constexpr std::array<Rect, 7> kSegments{{
    {3, 1, 13, 3},    // a top
    {12, 3, 14, 11},  // b top right
    {12, 13, 14, 21}, // c bottom right
    {3, 21, 13, 23},  // d bottom
    {2, 13, 4, 21},   // e bottom left
    {2, 3, 4, 11},    // f top left
    {3, 11, 13, 13},  // g middle
}};
// Bit n set: segment n lit. Digits 0..9.
constexpr std::array<unsigned, 10> kDigitSegments{0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
constexpr ColorRef kSegmentColour = rgb(0, 0, 0);

void drawSegments(Surface& s, unsigned mask)
{
    for (std::size_t i = 0; i < kSegments.size(); ++i)
        if (mask & (1u << i))
            s.fillRect(kSegments[i], kSegmentColour);
}

// One frame of the six-frame dynamic picture: a wheel whose spoke turns 60 degrees a frame.
void drawWheelFrame(Surface& s, int frame)
{
    static constexpr std::array<Point, 6> kSpokeEnds{{{32, 6}, {55, 19}, {55, 45}, {32, 58}, {9, 45}, {9, 19}}};
    filledShape(s, rgb(20, 60, 140), rgb(200, 220, 255), 4);
    s.ellipse({2, 2, 62, 62});
    s.selectPen(Pen{PS_SOLID, 5, rgb(230, 120, 0)});
    s.moveTo(32, 32);
    s.lineTo(kSpokeEnds[static_cast<std::size_t>(frame)].x, kSpokeEnds[static_cast<std::size_t>(frame)].y);
    filledShape(s, rgb(20, 60, 140), rgb(20, 60, 140));
    s.ellipse({27, 27, 37, 37});
}

// The sub-window background: a framed panel with a title band.
void drawDialog(Surface& s)
{
    filledShape(s, rgb(70, 90, 120), rgb(236, 240, 246), 2);
    s.rectangle({0, 0, 240, 160});
    for (int y = 2; y < 26; ++y)
        s.fillRect({2, y, 238, y + 1}, rgb(40 + 3 * y, 90 + 3 * y, 170 + 2 * y));
    s.draw3dRect({2, 26, 238, 158}, rgb(255, 255, 255), rgb(160, 170, 185));
}

// Page arrows of the pinyin candidate bar: 0 is the greyed one (no page that way).
void drawArrow(Surface& s, bool up, bool enabled)
{
    const ColorRef c = enabled ? rgb(0, 0, 0) : rgb(160, 160, 160);
    filledShape(s, c, c);
    const std::vector<Point> pts = up ? std::vector<Point>{{8, 3}, {14, 12}, {2, 12}}
                                      : std::vector<Point>{{2, 4}, {14, 4}, {8, 13}};
    s.polygon(pts);
}

// Cursors on the transparent key colour: arrow, hand, cross, text beam.
void drawCursor(Surface& s, int which)
{
    filledShape(s, rgb(0, 0, 0), rgb(255, 255, 255));
    switch (which) {
    case 0:
        s.polygon(std::vector<Point>{{1, 1}, {1, 22}, {6, 17}, {10, 26}, {13, 25}, {9, 16}, {16, 16}});
        break;
    case 1:
        s.roundRect({8, 1, 14, 16}, 6, 6);
        s.roundRect({4, 12, 24, 30}, 8, 8);
        break;
    case 2:
        s.fillRect({15, 2, 17, 30}, rgb(0, 0, 0));
        s.fillRect({2, 15, 30, 17}, rgb(0, 0, 0));
        break;
    default:
        s.fillRect({15, 4, 17, 28}, rgb(0, 0, 0));
        s.fillRect({11, 3, 21, 5}, rgb(0, 0, 0));
        s.fillRect({11, 27, 21, 29}, rgb(0, 0, 0));
        break;
    }
}

std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::vector<PictureDef> pictureTable()
{
    const ColorRef white = rgb(255, 255, 255);
    std::vector<PictureDef> defs = {
        {"images/sys/switchON.bmp", 64, 32, white, [](Surface& s) { drawSwitch(s, true); }},
        {"images/sys/switchOFF.bmp", 64, 32, white, [](Surface& s) { drawSwitch(s, false); }},
        {"images/sys/IndicatorON.bmp", 40, 40, white, [](Surface& s) { drawIndicator(s, true); }},
        {"images/sys/IndicatorOFF.bmp", 40, 40, white, [](Surface& s) { drawIndicator(s, false); }},
        {"images/sys/Radio_ON.bmp", 20, 20, white, [](Surface& s) { drawRadio(s, true); }},
        {"images/sys/Radio_OFF.bmp", 20, 20, white, [](Surface& s) { drawRadio(s, false); }},
        {"images/sys/Fu.bmp", 16, 24, white, [](Surface& s) { drawSegments(s, 0x40); }},
        {"images/sys/Zheng.bmp", 16, 24, white,
         [](Surface& s) {
             drawSegments(s, 0x40);
             s.fillRect({7, 7, 9, 17}, kSegmentColour);
         }},
        {"images/sys/KongGe.bmp", 16, 24, white, [](Surface&) {}},
        {"images/sys/Point.bmp", 16, 24, white, [](Surface& s) { s.fillRect({6, 19, 10, 23}, kSegmentColour); }},
        {"images/sys/Dialog.bmp", 240, 160, white, drawDialog},
        {"images/sys/up0.bmp", 16, 16, white, [](Surface& s) { drawArrow(s, true, false); }},
        {"images/sys/up1.bmp", 16, 16, white, [](Surface& s) { drawArrow(s, true, true); }},
        {"images/sys/down0.bmp", 16, 16, white, [](Surface& s) { drawArrow(s, false, false); }},
        {"images/sys/down1.bmp", 16, 16, white, [](Surface& s) { drawArrow(s, false, true); }},
        {utf8(u8"images/其它工具软件/Tessolin软件/Pic/示例图片.bmp"), 240, 160, white, drawDialog},
    };
    for (int d = 0; d < 10; ++d)
        defs.push_back({"images/sys/" + std::to_string(d) + ".bmp", 16, 24, white,
                        [d](Surface& s) { drawSegments(s, kDigitSegments[static_cast<std::size_t>(d)]); }});
    for (int f = 0; f < 6; ++f)
        defs.push_back({"images/sys/PICGROUP00" + std::to_string(f + 1) + ".jpg", 64, 64, white,
                        [f](Surface& s) { drawWheelFrame(s, f); }});
    for (int c = 0; c < 4; ++c)
        defs.push_back({"images/cur/cur" + std::to_string(c) + ".bmp", 32, 32, kCursorKey,
                        [c](Surface& s) { drawCursor(s, c); }});
    return defs;
}

bool writePicture(const PictureDef& def, const std::filesystem::path& file, std::string* error)
{
    Surface s(def.width, def.height, def.background);
    def.draw(s);
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (file.extension() != ".jpg")
        return SaveBitmapFile(s, s.bounds(), file, error);
    QImageWriter writer(QString::fromStdString(file.string()), "jpeg");
    writer.setQuality(95);
    if (writer.write(wrapSurface(std::as_const(s))))
        return true;
    if (error)
        *error = file.string() + ": " + writer.errorString().toStdString();
    return false;
}

} // namespace

bool writeBasePictures(const std::filesystem::path& base, std::string* error)
{
    for (const PictureDef& def : pictureTable())
        if (!writePicture(def, base / def.path, error))
            return false;
    return true;
}

} // namespace qv::gen
