#include "props/ui/control_page_widgets.h"

#include "model/paint/gradient.h"
#include "platform/picture/picture.h"
#include "platform/picture/surface_image.h"
#include "platform/qt/qtext.h"
#include "props/control_sheets.h"
#include "props/ui/page_seams.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <limits>

namespace qv {
namespace {

// ---- the two-group basic-control pages -------------------------------------------------

// Read group, "允许写入地址和读取地址不一样", write group (shown only with the flag set).
void addReadWriteGroups(ControlPageWidget& page, QBoxLayout* box, AddressGroup& read, AddressGroup& write,
                        std::uint32_t& differentWrite, const SheetSources& sources, bool bits)
{
    box->addWidget(page.addGroup(read, sources, {u8"读取地址", nullptr, bits}, "read"));
    QCheckBox* different = named(page.binder().check(u8text(u8"允许写入地址和读取地址不一样"), differentWrite), "differentWrite");
    box->addWidget(different);
    AddressGroupWidget* writeGroup = page.addGroup(write, sources, {u8"写入地址", nullptr, bits}, "write");
    box->addWidget(writeGroup);
    writeGroup->setActive(different->isChecked());
    QObject::connect(different, &QCheckBox::toggled, writeGroup, &AddressGroupWidget::setActive);
}

QComboBox* passwordCombo(ControlPageWidget& page, std::uint32_t& member)
{
    return named(page.binder().combo(kPasswordLevels, member), "password");
}

// A basic-control page with a password combo, a read group and a write group; `extra`
// adds the page's own controls before the password.
using ExtraControls = std::function<void(ControlPageWidget&, QBoxLayout*, QFormLayout*)>;

template <class Page>
void fillTwoGroupPage(ControlPageWidget& page, Page& p, const SheetSources& sources, bool bits,
                      const char8_t* passwordLabel, const ExtraControls& extra = {})
{
    QVBoxLayout* box = page.box();
    auto* form = new QFormLayout;
    if (extra)
        extra(page, box, form);
    addRow(form, passwordLabel, passwordCombo(page, p.password));
    box->addLayout(form);
    addReadWriteGroups(page, box, p.read, p.write, p.differentWrite, sources, bits);
}

} // namespace

void FillPage(ControlPageWidget* self, SwitchControlPage& p, const SheetSources& sources)
{
    fillTwoGroupPage(*self, p, sources, true, u8"保护级别:", [&p](ControlPageWidget& page, QBoxLayout* box, QFormLayout*) {
        box->addWidget(named(page.binder().radios(u8text(u8"功能"), kSwitchFunctions, p.function), "function"));
    });
}

void FillPage(ControlPageWidget* self, RadioControlPage& p, const SheetSources& sources)
{
    fillTwoGroupPage(*self, p, sources, false, u8"口令保护:", [&p](ControlPageWidget& page, QBoxLayout*, QFormLayout* form) {
        addRow(form, u8"选中时值:", named(page.binder().signedEdit(p.value), "value"));
    });
}

void FillPage(ControlPageWidget* self, NumberControlPage& p, const SheetSources& sources)
{
    fillTwoGroupPage(*self, p, sources, false, u8"口令保护:");
}

void FillPage(ControlPageWidget* self, IndicatorControlPage& p, const SheetSources& sources)
{
    self->box()->addWidget(self->addGroup(p.read, sources, {u8"读取地址", nullptr, true}, "read"));
    self->box()->addStretch();
}

// ---- button basic control --------------------------------------------------------------

namespace {

struct ButtonEventRow {
    const char8_t* text;
    std::uint32_t ButtonControlPage::*flag;
    std::uint32_t ButtonControlPage::*value;
    const char* name;
};

constexpr ButtonEventRow kButtonEvents[] = {
    {u8"鼠标按下时目标数:", &ButtonControlPage::pressFlag, &ButtonControlPage::pressValue, "press"},
    {u8"鼠标弹起时目标数:", &ButtonControlPage::releaseFlag, &ButtonControlPage::releaseValue, "release"},
    {u8"鼠标进入时目标数:", &ButtonControlPage::enterFlag, &ButtonControlPage::enterValue, "enter"},
    {u8"鼠标离开时目标数:", &ButtonControlPage::leaveFlag, &ButtonControlPage::leaveValue, "leave"},
};

constexpr std::uint32_t kMaxEventValue = 255;  // the block holds one byte

} // namespace

void FillPage(ControlPageWidget* self, ButtonControlPage& p, const SheetSources& sources)
{
    PageBinder& b = self->binder();
    QVBoxLayout* box = self->box();
    auto* form = new QFormLayout;
    auto* action = named(new QComboBox(self), "action");
    int selected = -1;
    for (std::size_t i = 0; i < p.actions.size(); ++i) {
        action->addItem(toQString(p.actions[i]));
        if (p.actions[i] == p.action.text)
            selected = static_cast<int>(i);
    }
    // A stored action no longer listed (a deleted screen, the user code) stays selected as
    // nothing and is kept.
    action->setCurrentIndex(selected);
    addRow(form, u8"功能定义:", action);
    addRow(form, u8"口令保护:", passwordCombo(*self, p.password));
    box->addLayout(form);

    auto* operation = new QGroupBox(self);
    auto* opBox = new QVBoxLayout(operation);
    auto* opForm = new QFormLayout;
    addRow(opForm, u8"操作类型:", named(b.combo(kButtonOperations, p.operation), "operation"));
    opBox->addLayout(opForm);
    for (const ButtonEventRow& e : kButtonEvents) {
        auto* row = new QHBoxLayout;
        row->addWidget(named(b.check(u8text(e.text), p.*e.flag), e.name));
        row->addWidget(named(b.unsignedEdit(p.*e.value, 0, kMaxEventValue), (std::string(e.name) + "Value").c_str()));
        opBox->addLayout(row);
    }
    AddressGroupWidget* operated = self->addGroup(p.operated, sources, {u8"操作地址"}, "operated");
    opBox->addWidget(operated);
    box->addWidget(operation);
    box->addWidget(named(b.check(u8text(u8"设置为双击型按钮"), p.doubleClick), "doubleClick"));
    box->addWidget(named(b.check(u8text(u8"鼠标停留在上面时显示手状鼠标"), p.handCursor), "handCursor"));

    auto* hex = new QGroupBox(u8text(u8"51单片机HEX文件"), self);
    auto* hexRow = new QHBoxLayout(hex);
    auto* file = named(new QLineEdit(toQString(p.userCodeFile.text), hex), "userCodeFile");
    file->setReadOnly(true);
    auto* choose = named(new QPushButton(u8text(u8"选择..."), hex), "chooseUserCode");
    hexRow->addWidget(file);
    hexRow->addWidget(choose);
    box->addWidget(hex);
    box->addStretch();

    auto chosenAction = std::make_shared<std::string>(p.action.text);
    auto chosenFile = std::make_shared<std::string>(p.userCodeFile.text);
    auto showForAction = [operation, hex, operated, chosenAction] {
        const bool operate = *chosenAction == kOperateVariableAction;
        operation->setVisible(operate);
        operated->setActive(operate);
        hex->setVisible(*chosenAction == kUserCodeAction);
    };
    QObject::connect(action, &QComboBox::currentIndexChanged, self, [&p, chosenAction, showForAction](int i) {
        if (i >= 0 && static_cast<std::size_t>(i) < p.actions.size())
            *chosenAction = p.actions[static_cast<std::size_t>(i)];
        showForAction();
    });
    const std::filesystem::path projectDir = sources.projectDir;
    QObject::connect(choose, &QPushButton::clicked, self, [self, file, chosenFile, projectDir] {
        const QString path = PickOpenFile(self, u8text(u8"51单片机hex格式文件 (*.HEX *.hex)"));
        if (path.isEmpty())
            return;
        const std::optional<std::string> stored = UserCodeStoredName(projectDir, std::filesystem::path(path.toStdU16String()));
        if (!stored) {
            ShowPageMessage(self, u8text(u8"请先将该51单片机的工程拷贝到下面目录下：\r\n“") +
                                      QString::fromStdU16String(projectDir.u16string()) + u8text(u8"”"));
            return;
        }
        *chosenFile = *stored;
        file->setText(toQString(*stored));
    });
    showForAction();
    self->onApply([&p, chosenAction, chosenFile] {
        p.action.text = *chosenAction;
        p.userCodeFile.text = *chosenFile;
    });
}

// ---- appearance pages ------------------------------------------------------------------

namespace {

QLabel* previewLabel(QWidget* parent, const char* name)
{
    auto* label = named(new QLabel(parent), name);
    label->setFrameShape(QFrame::Box);
    return label;
}

struct SwitchStateTexts {
    const char8_t* caption;
    const char* suffix;
};
constexpr SwitchStateTexts kSwitchStates[] = {{u8"打开时外观", "On"}, {u8"关闭时外观", "Off"}};

std::string nameOf(const char* stem, const char* suffix) { return std::string(stem) + suffix; }

// A state's look: its picture with a preview, transparency and transparent colour, in a group
// of its own; the caller adds the rest to the returned form.
QFormLayout* pictureLookGroup(ControlPageWidget* self, const char8_t* caption, const char* suffix, PictureSlot& picture,
                              std::uint32_t& transparent, std::uint32_t& transparentColor)
{
    PageBinder& b = self->binder();
    auto* group = new QGroupBox(u8text(caption), self);
    auto* form = new QFormLayout(group);
    QLabel* preview = previewLabel(group, nameOf("preview", suffix).c_str());
    form->addRow(named(b.picture(picture, u8text(u8"路径"), preview), nameOf("picture", suffix).c_str()));
    form->addRow(named(b.check(u8text(u8"透明"), transparent), nameOf("transparent", suffix).c_str()));
    form->addRow(named(b.color(u8text(u8"透明色"), transparentColor), nameOf("transparentColor", suffix).c_str()));
    form->addRow(preview);
    self->box()->addWidget(group);
    return form;
}

constexpr const char* kButtonStateSuffixes[] = {"Normal", "Over", "Pressed"};

constexpr const char8_t* kAlignments[] = {u8"居左", u8"居中", u8"居右"};
constexpr const char8_t* kLeadingFills[] = {u8"普通", u8"零领头", u8"空格领头"};
constexpr int kNoBorderChoice = 2;

} // namespace

void FillPage(ControlPageWidget* self, SwitchShapePage& p, const SheetSources&)
{
    PageBinder& b = self->binder();
    std::uint32_t* transparent[] = {&p.transparentOn, &p.transparentOff};
    std::uint32_t* transparentColor[] = {&p.transparentColorOn, &p.transparentColorOff};
    std::uint32_t* textColor[] = {&p.textColorOn, &p.textColorOff};
    for (std::size_t i = 0; i < 2; ++i) {
        const char* s = kSwitchStates[i].suffix;
        QFormLayout* form = pictureLookGroup(self, kSwitchStates[i].caption, s, p.pictures[i], *transparent[i],
                                             *transparentColor[i]);
        addRow(form, u8"文字:", named(b.text(p.texts[i]), nameOf("text", s).c_str()));
        form->addRow(named(b.color(u8text(u8"文字颜色"), *textColor[i]), nameOf("textColor", s).c_str()));
    }
    self->box()->addWidget(named(b.font(u8text(u8"更改字体..."), p.font), "font"));
}

void FillPage(ControlPageWidget* self, RadioShapePage& p, const SheetSources&)
{
    QVBoxLayout* box = self->box();
    QComboBox* mode = named(self->binder().combo(kRadioModes, p.mode), "mode");
    box->addWidget(mode);
    const char8_t* captions[] = {u8"选中时外观", u8"未选中时外观"};
    std::uint32_t* transparent[] = {&p.transparentOn, &p.transparentOff};
    std::uint32_t* transparentColor[] = {&p.transparentColorOn, &p.transparentColorOff};
    std::vector<QWidget*> pictureGroups;
    for (std::size_t i = 0; i < 2; ++i)
        pictureGroups.push_back(pictureLookGroup(self, captions[i], kSwitchStates[i].suffix, p.pictures[i],
                                                 *transparent[i], *transparentColor[i])
                                    ->parentWidget());
    box->addStretch();
    auto showPictures = [mode, pictureGroups] {
        for (QWidget* g : pictureGroups)
            g->setVisible(mode->currentIndex() == 1);
    };
    QObject::connect(mode, &QComboBox::currentIndexChanged, self, showPictures);
    showPictures();
}

void FillPage(ControlPageWidget* self, ButtonShapePage& p, const SheetSources&)
{
    PageBinder& b = self->binder();
    QVBoxLayout* box = self->box();
    auto* top = new QFormLayout;
    addRow(top, u8"文字:", named(b.text(p.text), "text"));
    top->addRow(named(b.font(u8text(u8"更改字体..."), p.font, &p.textColor), "font"));
    box->addLayout(top);
    for (std::size_t i = 0; i < p.states.size(); ++i) {
        ButtonStateLook& st = p.states[i];
        const char* s = kButtonStateSuffixes[i];
        auto* group = new QGroupBox(u8text(kButtonStates[i]), self);
        auto* form = new QFormLayout(group);
        addRow(form, u8"边框类型:", named(b.combo(kLineTypes, st.borderType), nameOf("borderType", s).c_str()));
        addRow(form, u8"边框宽度:", named(b.unsignedEdit(st.borderWidth), nameOf("borderWidth", s).c_str()));
        form->addRow(named(b.color(u8text(u8"边框色..."), st.borderColor), nameOf("borderColor", s).c_str()));
        ColorButton* fill = named(b.color(u8text(u8"填充色..."), st.fillColor), nameOf("fillColor", s).c_str());
        ColorButton* highlight = named(b.color(u8text(u8"高亮色..."), st.highlightColor), nameOf("highlightColor", s).c_str());
        form->addRow(fill);
        form->addRow(highlight);
        auto* styleButton = named(new QPushButton(u8text(u8"填充样式..."), group), nameOf("fillStyle", s).c_str());
        auto style = std::make_shared<std::uint32_t>(st.fillStyle);
        QObject::connect(styleButton, &QPushButton::clicked, self, [self, fill, highlight, style] {
            CDlgFillStyle dialog(fill->color(), highlight->color(), *style, self);
            if (RunPageDialog(dialog))
                *style = dialog.style();
        });
        self->onApply([style, &st] { st.fillStyle = *style; });
        form->addRow(styleButton);
        form->addRow(named(b.check(u8text(u8"使用图片"), st.usePicture), nameOf("usePicture", s).c_str()));
        form->addRow(named(b.picture(p.pictures[i], u8text(u8"...")), nameOf("picture", s).c_str()));
        form->addRow(named(b.check(u8text(u8"透明"), st.transparent), nameOf("transparent", s).c_str()));
        form->addRow(named(b.color(u8text(u8"透明色..."), st.transparentColor), nameOf("transparentColor", s).c_str()));
        form->addRow(named(b.check(u8text(u8"不填充"), st.noFill), nameOf("noFill", s).c_str()));
        form->addRow(named(b.check(u8text(u8"无边框"), st.noBorder), nameOf("noBorder", s).c_str()));
        box->addWidget(group);
    }
}

void FillPage(ControlPageWidget* self, NumberShapePage& p, const SheetSources&)
{
    PageBinder& b = self->binder();
    QVBoxLayout* box = self->box();
    auto* form = new QFormLayout;
    QPushButton* systemFont = named(b.font(u8text(u8"系统字体..."), p.font, &p.fontColor), "font");
    form->addRow(systemFont);
    form->addRow(named(b.color(u8text(u8"边框色..."), p.borderColor), "borderColor"));
    form->addRow(named(b.color(u8text(u8"背景色..."), p.backColor), "backColor"));
    QComboBox* borderType = named(b.combo(kNumberBorderTypes, p.borderType), "borderType");
    addRow(form, u8"边框类型:", borderType);
    QLineEdit* borderWidth = named(b.unsignedEdit(p.borderWidth), "borderWidth");
    addRow(form, u8"边框宽度:", borderWidth);
    // "无边框" is a plain border of width 0.
    QObject::connect(borderType, &QComboBox::currentIndexChanged, self, [borderType, borderWidth](int i) {
        if (i != kNoBorderChoice)
            return;
        borderType->setCurrentIndex(0);
        borderWidth->setText(QStringLiteral("0"));
    });
    form->addRow(named(b.check(u8text(u8"背景透明"), p.backTransparent), "backTransparent"));
    box->addLayout(form);
    box->addWidget(named(b.radios(u8text(u8"排列"), kAlignments, p.alignment), "alignment"));
    box->addWidget(named(b.radios(u8text(u8"调整"), kLeadingFills, p.leadingFill), "leadingFill"));
    auto* digits = new QFormLayout;
    addRow(digits, u8"总位数:", named(b.unsignedEdit(p.digits), "digits"));
    addRow(digits, u8"小数位:", named(b.unsignedEdit(p.decimals), "decimals"));
    digits->addRow(named(b.check(u8text(u8"允许写入"), p.writeAllowed), "writeAllowed"));
    digits->addRow(named(b.check(u8text(u8"变量大于零时显示'+'号"), p.plusSign), "plusSign"));
    digits->addRow(named(b.check(u8text(u8"旋转90度显示（竖屏）"), p.rotated), "rotated"));
    QCheckBox* usePictureFont = named(b.check(u8text(u8"使用自制的图片字体"), p.pictureFont), "pictureFont");
    auto* pictureFontButton = named(new QPushButton(u8text(u8"图片字体..."), self), "pictureFontButton");
    digits->addRow(usePictureFont, pictureFontButton);
    addRow(digits, u8"弹出键盘位置X：", named(b.unsignedEdit(p.keyboardX), "keyboardX"));
    addRow(digits, u8"弹出键盘位置Y：", named(b.unsignedEdit(p.keyboardY), "keyboardY"));
    box->addLayout(digits);

    QCheckBox* toFloat = named(b.check(u8text(u8"转换为浮点数"), p.toFloat), "toFloat");
    box->addWidget(toFloat);
    auto* byteOrderFrame = new QGroupBox(self);
    auto* byteOrderForm = new QFormLayout(byteOrderFrame);
    addRow(byteOrderForm, u8"字节顺序:", named(b.combo(kByteOrders, p.byteOrder), "byteOrder"));
    box->addWidget(byteOrderFrame);

    // The block holds "no limit"; the page shows "限值".
    auto* limit = named(new QCheckBox(u8text(u8"限值"), self), "limit");
    limit->setChecked(p.noLimit == 0);
    box->addWidget(limit);
    auto* limits = new QWidget(self);
    auto* limitsForm = new QFormLayout(limits);
    QLineEdit* minimum = named(b.signedEdit(p.minimum), "minimum");
    QLineEdit* maximum = named(b.signedEdit(p.maximum), "maximum");
    addRow(limitsForm, u8"最小值：", minimum);
    addRow(limitsForm, u8"最大值：", maximum);
    box->addWidget(limits);
    // Limits that no value fits would refuse every entry in run mode.
    self->onValidate([self, limit, minimum, maximum] {
        const long long high = maximum->text().trimmed().toLongLong();
        if (!limit->isChecked() || minimum->text().trimmed().toLongLong() <= high)
            return true;
        ShowRangePrompt(self, std::numeric_limits<std::int32_t>::min(), high, u8text(u8"最小值："));
        minimum->setFocus();
        return false;
    });

    auto refresh = [=] {
        pictureFontButton->setEnabled(usePictureFont->isChecked());
        systemFont->setEnabled(!usePictureFont->isChecked());
        byteOrderFrame->setVisible(toFloat->isChecked());
        limits->setVisible(limit->isChecked());
    };
    for (QCheckBox* check : {usePictureFont, toFloat, limit})
        QObject::connect(check, &QCheckBox::toggled, self, refresh);
    refresh();
    self->onApply([limit, &p] {
        if (limit->isChecked() != (p.noLimit == 0))
            p.noLimit = limit->isChecked() ? 0 : 1;
    });

    // The picture font's values wait in the page until the sheet's OK.
    struct PictureFont {
        std::uint32_t transparent, color;
        std::array<std::filesystem::path, kPictureFontSymbols> paths;
    };
    auto font = std::make_shared<PictureFont>();
    font->transparent = p.pictureFontTransparent;
    font->color = p.pictureFontTransparentColor;
    for (std::size_t i = 0; i < font->paths.size(); ++i)
        font->paths[i] = p.symbols[i].path;
    QObject::connect(pictureFontButton, &QPushButton::clicked, self, [self, font, &p] {
        std::array<PictureSlot, kPictureFontSymbols> shown = p.symbols;
        for (std::size_t i = 0; i < shown.size(); ++i)
            shown[i].path = font->paths[i];
        CDlgPicFont dialog(shown, font->transparent, font->color, self);
        if (!RunPageDialog(dialog))
            return;
        font->paths = dialog.paths();
        if ((dialog.transparent() != 0) != (font->transparent != 0))
            font->transparent = dialog.transparent();
        font->color = dialog.transparentColor();
    });
    self->onApply([font, &p] {
        p.pictureFontTransparent = font->transparent;
        p.pictureFontTransparentColor = font->color;
        for (std::size_t i = 0; i < font->paths.size(); ++i)
            p.symbols[i].path = font->paths[i];
    });
}

// ---- fill style ------------------------------------------------------------------------

namespace {

QLabel* gradientPreview(QWidget* parent, ColorRef from, ColorRef to, bool horizontal)
{
    constexpr int kWidth = 80, kHeight = 40;
    Surface surface(kWidth, kHeight);
    const Rect area{0, 0, kWidth, kHeight};
    if (horizontal)
        FillGradientHorizontal(surface, from, to, area);
    else
        FillGradientVertical(surface, from, to, area);
    auto* label = new QLabel(parent);
    label->setPixmap(QPixmap::fromImage(wrapSurface(surface).copy()));
    return label;
}

} // namespace

CDlgFillStyle::CDlgFillStyle(ColorRef fill, ColorRef highlight, std::uint32_t style, QWidget* parent)
    : QDialog(parent), m_initial(style)
{
    setWindowTitle(u8text(u8"填充样式"));
    auto* box = new QVBoxLayout(this);
    const char8_t* names[] = {u8"样式1", u8"样式2"};
    for (int i = 0; i < 2; ++i) {
        auto* row = new QHBoxLayout;
        m_radios[i] = new QRadioButton(u8text(names[i]), this);
        m_radios[i]->setChecked(style == static_cast<std::uint32_t>(i));
        row->addWidget(m_radios[i]);
        row->addWidget(gradientPreview(this, fill, highlight, i == 1));
        box->addLayout(row);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    box->addWidget(buttons);
}

std::uint32_t CDlgFillStyle::style() const
{
    if (m_radios[0]->isChecked())
        return 0;
    return m_radios[1]->isChecked() ? 1 : m_initial;
}

// ---- picture font ----------------------------------------------------------------------

CDlgPicFont::CDlgPicFont(const std::array<PictureSlot, kPictureFontSymbols>& symbols, std::uint32_t transparent,
                         ColorRef transparentColor, QWidget* parent)
    : QDialog(parent), m_list(new QTableWidget(kPictureFontSymbols, 3, this)),
      m_transparent(new QCheckBox(u8text(u8"使能透明"), this)),
      m_color(new ColorButton(u8text(u8"透明色"), transparentColor, this)), m_preview(new QLabel(this))
{
    setWindowTitle(u8text(u8"自制字体"));
    m_list->setHorizontalHeaderLabels({u8text(u8"符号"), u8text(u8"图名"), u8text(u8"位置")});
    m_list->setColumnWidth(0, 60);
    m_list->setColumnWidth(1, 280);
    m_list->setColumnWidth(2, 800);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < kPictureFontSymbols; ++row) {
        m_paths[static_cast<std::size_t>(row)] = symbols[static_cast<std::size_t>(row)].path;
        m_list->setItem(row, 0, new QTableWidgetItem(u8text(kPictureFontSymbolNames[row])));
        showRow(row);
    }
    m_transparent->setChecked(transparent != 0);
    m_preview->setMinimumSize(80, 80);
    auto* change = new QPushButton(u8text(u8"修改"), this);
    change->setObjectName(QStringLiteral("change"));
    auto* box = new QVBoxLayout(this);
    box->addWidget(m_list);
    auto* row = new QHBoxLayout;
    row->addWidget(change);
    row->addWidget(m_transparent);
    row->addWidget(m_color);
    row->addWidget(m_preview);
    box->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    box->addWidget(buttons);
    connect(change, &QPushButton::clicked, this, &CDlgPicFont::ChangeSelected);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, &CDlgPicFont::ChangeSelected);
    connect(m_list, &QTableWidget::currentCellChanged, this, [this](int row) {
        const std::filesystem::path path = row >= 0 ? m_paths[static_cast<std::size_t>(row)] : std::filesystem::path{};
        std::string error;
        const PicturePtr picture = path.empty() ? nullptr : loadPictureFile(path, &error);
        if (picture)
            m_preview->setPixmap(QPixmap::fromImage(wrapSurface(picture->pixels).copy()));
        else
            m_preview->clear();
    });
    m_list->setCurrentCell(0, 0);
}

void CDlgPicFont::showRow(int row)
{
    const std::filesystem::path& path = m_paths[static_cast<std::size_t>(row)];
    m_list->setItem(row, 1, new QTableWidgetItem(QString::fromStdU16String(path.filename().u16string())));
    m_list->setItem(row, 2, new QTableWidgetItem(QString::fromStdU16String(path.u16string())));
}

void CDlgPicFont::ChangeSelected()
{
    const QList<QTableWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        ShowPageMessage(this, u8text(u8"请先选中需修改的符号"));
        return;
    }
    const int row = selected.front()->row();
    const QString file = PickOpenFile(this, PictureFileFilter());
    if (file.isEmpty())
        return;
    m_paths[static_cast<std::size_t>(row)] = std::filesystem::path(file.toStdU16String());
    showRow(row);
}

std::uint32_t CDlgPicFont::transparent() const { return m_transparent->isChecked() ? 1 : 0; }
ColorRef CDlgPicFont::transparentColor() const { return m_color->color(); }

} // namespace qv
