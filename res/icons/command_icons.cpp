#include "res/icons/command_icons.h"

#include <QColor>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <cstring>
#include <sstream>
#include <string>

namespace qv::res {
namespace {

// Each icon is a short list of drawing steps on a 16 x 16 grid, one step per ';':
//   L x1 y1 x2 y2 rrggbb   line          R x y w h rrggbb   rectangle outline
//   F x y w h rrggbb       filled rect   E x y w h rrggbb   ellipse outline
//   G x y w h rrggbb       filled oval   O x y w h rrggbb   rounded rectangle outline
//   T x y w h rrggbb text  text (ASCII) centred in the box
struct IconDef {
    const char* key;
    const char* theme;   // freedesktop icon name, or nullptr
    const char* steps;
};

const IconDef kIcons[] = {
    {"new", "document-new", "F 3 1 9 14 ffffff;R 3 1 9 14 404040;L 9 1 12 4 404040"},
    {"open", "document-open", "F 1 5 13 9 e0c060;R 1 5 13 9 806020;L 1 5 4 2 806020;L 4 2 8 2 806020"},
    {"save", "document-save", "F 2 2 12 12 3060a0;F 4 2 8 4 ffffff;F 5 10 6 4 c0c0c0"},
    {"cut", "edit-cut", "E 2 10 4 4 000000;E 10 10 4 4 000000;L 5 10 11 2 000000;L 11 10 5 2 000000"},
    {"copy", "edit-copy", "F 2 2 8 9 ffffff;R 2 2 8 9 404040;F 6 5 8 9 ffffff;R 6 5 8 9 404040"},
    {"paste", "edit-paste", "F 2 3 10 12 c09050;R 2 3 10 12 604020;F 7 7 7 8 ffffff;R 7 7 7 8 404040"},
    {"clear", "edit-delete", "L 3 3 12 12 c00000;L 12 3 3 12 c00000;L 4 3 13 12 c00000;L 13 3 4 12 c00000"},
    {"undo", "edit-undo", "L 3 6 12 6 2040a0;L 3 6 6 3 2040a0;L 3 6 6 9 2040a0;L 12 6 12 12 2040a0"},
    {"redo", "edit-redo", "L 3 6 12 6 2040a0;L 12 6 9 3 2040a0;L 12 6 9 9 2040a0;L 3 6 3 12 2040a0"},
    {"about", "help-about", "G 1 1 14 14 3060c0;T 1 1 14 14 ffffff ?"},
    {"exit", "application-exit", "R 2 2 8 12 404040;L 8 8 14 8 c00000;L 14 8 11 5 c00000;L 14 8 11 11 c00000"},
    {"settings", "preferences-system", "G 3 3 10 10 606060;G 6 6 4 4 ffffff"},
    {"compile", nullptr, "F 2 2 12 12 e0e0e0;R 2 2 12 12 404040;T 2 2 12 12 000080 C"},
    {"download", nullptr, "L 8 2 8 12 008000;L 8 12 4 8 008000;L 8 12 12 8 008000;L 2 14 14 14 404040"},
    {"abort", nullptr, "G 2 2 12 12 c00000;F 5 7 6 2 ffffff"},
    {"fullscreen", "view-fullscreen", "R 1 2 14 12 404040;L 3 4 6 4 000000;L 3 4 3 7 000000;L 12 11 9 11 000000;L 12 11 12 8 000000"},
    {"leave-fullscreen", "view-restore", "R 1 2 14 12 404040;R 4 5 8 6 000000"},
    {"next-file", "go-next", "L 3 8 12 8 2040a0;L 12 8 8 4 2040a0;L 12 8 8 12 2040a0"},
    {"prev-file", "go-previous", "L 3 8 12 8 2040a0;L 3 8 7 4 2040a0;L 3 8 7 12 2040a0"},
    {"select", nullptr, "L 4 2 4 13 000000;L 4 2 12 10 000000;L 4 13 7 10 000000;L 7 10 12 10 000000;L 7 10 10 14 000000"},
    {"line", nullptr, "L 2 13 13 2 000000"},
    {"rect", nullptr, "R 2 3 12 10 000000"},
    {"round-rect", nullptr, "O 2 3 12 10 000000"},
    {"ellipse", nullptr, "E 1 4 14 8 000000"},
    {"circle", nullptr, "E 2 2 12 12 000000"},
    {"picture", nullptr, "F 1 2 14 12 80c0ff;R 1 2 14 12 404040;G 9 4 3 3 ffff00;L 2 12 6 7 008000;L 6 7 10 12 008000"},
    {"text", nullptr, "T 0 0 16 16 000000 A"},
    {"pipe-joint", nullptr, "F 2 6 12 4 808080;F 6 2 4 12 808080"},
    {"pipe", nullptr, "F 1 6 14 4 808080;L 1 6 14 6 404040;L 1 9 14 9 404040"},
    {"scale", nullptr, "L 2 12 14 12 000000;L 2 12 2 8 000000;L 5 12 5 10 000000;L 8 12 8 8 000000;L 11 12 11 10 000000;L 14 12 14 8 000000"},
    {"needle", nullptr, "E 1 1 14 14 000000;L 8 8 12 4 c00000"},
    {"button", nullptr, "F 1 4 14 8 d0d0d0;R 1 4 14 8 404040;L 2 11 14 11 808080"},
    {"dynamic-picture", nullptr, "F 1 3 9 8 80c0ff;R 1 3 9 8 404040;F 6 6 9 8 ffc080;R 6 6 9 8 404040"},
    {"number", nullptr, "T 0 0 16 16 000080 12"},
    {"numeric-input", nullptr, "F 1 3 14 10 ffffff;R 1 3 14 10 404040;T 1 3 14 10 000080 9"},
    {"curve", nullptr, "L 1 14 14 14 000000;L 1 14 1 1 000000;L 2 11 5 5 c00000;L 5 5 9 9 c00000;L 9 9 14 3 c00000"},
    {"light", nullptr, "G 3 3 10 10 00c000;E 3 3 10 10 004000"},
    {"bit-switch", nullptr, "O 1 4 14 8 404040;G 9 5 6 6 008000"},
    {"radio", nullptr, "E 3 3 10 10 404040;G 6 6 4 4 000000"},
    {"progress", nullptr, "R 1 5 14 6 404040;F 2 6 8 4 2080ff"},
    {"table", nullptr, "R 1 2 14 12 404040;L 1 6 14 6 404040;L 1 10 14 10 404040;L 6 2 6 13 404040;L 10 2 10 13 404040"},
    {"character", nullptr, "T 0 0 16 16 000000 ab"},
    {"area", nullptr, "R 1 1 14 14 c00000;R 4 4 8 8 c00000"},
    {"backward", nullptr, "F 5 5 9 9 c0c0c0;R 5 5 9 9 404040;F 1 1 9 9 80c0ff;R 1 1 9 9 404040"},
    {"forward", nullptr, "F 1 1 9 9 80c0ff;R 1 1 9 9 404040;F 5 5 9 9 c0c0c0;R 5 5 9 9 404040"},
    {"to-back", nullptr, "F 6 6 9 9 c0c0c0;R 6 6 9 9 404040;F 0 0 9 9 2060c0;R 0 0 9 9 404040"},
    {"to-front", nullptr, "F 0 0 9 9 80c0ff;R 0 0 9 9 404040;F 6 6 9 9 2060c0;R 6 6 9 9 404040"},
    {"align-left", nullptr, "L 1 1 1 14 000000;F 2 3 10 3 2060c0;F 2 9 6 3 2060c0"},
    {"align-right", nullptr, "L 14 1 14 14 000000;F 4 3 10 3 2060c0;F 8 9 6 3 2060c0"},
    {"align-top", nullptr, "L 1 1 14 1 000000;F 3 2 3 10 2060c0;F 9 2 3 6 2060c0"},
    {"align-bottom", nullptr, "L 1 14 14 14 000000;F 3 4 3 10 2060c0;F 9 8 3 6 2060c0"},
    {"align-vcenter", nullptr, "L 8 1 8 14 000000;F 3 3 10 3 2060c0;F 5 9 6 3 2060c0"},
    {"align-hcenter", nullptr, "L 1 8 14 8 000000;F 3 3 3 10 2060c0;F 9 5 3 6 2060c0"},
    {"same-width", nullptr, "F 2 3 12 3 2060c0;F 2 9 12 3 2060c0;L 1 1 1 14 000000;L 14 1 14 14 000000"},
    {"same-height", nullptr, "F 3 2 3 12 2060c0;F 9 2 3 12 2060c0;L 1 1 14 1 000000;L 1 14 14 14 000000"},
    {"same-size", nullptr, "F 2 2 5 5 2060c0;F 9 9 5 5 2060c0;R 1 1 14 14 808080"},
    {"center-h", nullptr, "R 1 1 14 14 808080;L 1 8 14 8 000000;F 5 5 6 6 2060c0"},
    {"center-v", nullptr, "R 1 1 14 14 808080;L 8 1 8 14 000000;F 5 5 6 6 2060c0"},
};

const IconDef* findIconDef(const char* key)
{
    if (key == nullptr)
        return nullptr;
    for (const IconDef& def : kIcons)
        if (std::strcmp(def.key, key) == 0)
            return &def;
    return nullptr;
}

void drawStep(QPainter& p, const std::string& step)
{
    std::istringstream in(step);
    char op = 0;
    int x = 0, y = 0, w = 0, h = 0;
    std::string colour, text;
    in >> op >> x >> y >> w >> h >> colour;
    std::getline(in >> std::ws, text);
    const QColor c(QString::fromLatin1(("#" + colour).c_str()));
    p.setPen(QPen(c, 1));
    p.setBrush(Qt::NoBrush);
    switch (op) {
    case 'L': p.drawLine(x, y, w, h); break;
    case 'R': p.drawRect(x, y, w - 1, h - 1); break;
    case 'F': p.fillRect(x, y, w, h, c); break;
    case 'E': p.drawEllipse(x, y, w - 1, h - 1); break;
    case 'G': p.setBrush(c); p.drawEllipse(x, y, w - 1, h - 1); break;
    case 'O': p.drawRoundedRect(x, y, w - 1, h - 1, 3, 3); break;
    case 'T': {
        QFont font = p.font();
        font.setPixelSize(h >= 14 ? 12 : 9);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRect(x, y, w, h), Qt::AlignCenter, QString::fromLatin1(text.c_str()));
        break;
    }
    default: break;
    }
}

QIcon draw(const IconDef& def)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    std::istringstream steps(def.steps);
    std::string step;
    while (std::getline(steps, step, ';'))
        drawStep(p, step);
    p.end();
    return QIcon(pixmap);
}

} // namespace

bool hasIcon(const char* key) { return findIconDef(key) != nullptr; }

QIcon drawnIcon(const char* key)
{
    const IconDef* def = findIconDef(key);
    return def ? draw(*def) : QIcon();
}

QIcon commandIcon(const char* key)
{
    const IconDef* def = findIconDef(key);
    if (def == nullptr)
        return {};
    QIcon drawn = draw(*def);
    if (def->theme == nullptr)
        return drawn;
    return QIcon::fromTheme(QString::fromLatin1(def->theme), drawn);
}

} // namespace qv::res
