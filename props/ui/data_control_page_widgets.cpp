#include "props/ui/data_control_page_widgets.h"

#include "platform/picture/picture.h"
#include "platform/picture/surface_image.h"
#include "platform/qt/qtext.h"
#include "props/curve_records.h"
#include "props/ui/page_seams.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace qv {
namespace {

QString pathText(const std::filesystem::path& p) { return QString::fromStdU16String(p.u16string()); }

QTableWidget* listWidget(QWidget* parent, const char* name, std::initializer_list<std::pair<const char8_t*, int>> columns)
{
    auto* list = named(new QTableWidget(0, static_cast<int>(columns.size()), parent), name);
    QStringList labels;
    int c = 0;
    for (const auto& [text, width] : columns) {
        labels << u8text(text);
        list->setColumnWidth(c++, width);
    }
    list->setHorizontalHeaderLabels(labels);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setShowGrid(true);
    return list;
}

// Grows the table to hold the row: the table owns an item only inside its rows.
void setRow(QTableWidget* list, int row, std::initializer_list<QString> texts)
{
    if (row >= list->rowCount())
        list->setRowCount(row + 1);
    int c = 0;
    for (const QString& t : texts)
        list->setItem(row, c++, new QTableWidgetItem(t));
}

// ---- character control ------------------------------------------------------------------

// Checking one of two options clears the other.
void exclusive(QCheckBox* a, QCheckBox* b)
{
    QObject::connect(a, &QCheckBox::toggled, b, [b](bool on) { if (on) b->setChecked(false); });
    QObject::connect(b, &QCheckBox::toggled, a, [a](bool on) { if (on) a->setChecked(false); });
}

struct CheckRow {
    const char8_t* text;
    std::uint32_t CharacterShapePage::*member;
    const char* name;
};

constexpr CheckRow kCharacterChecks[] = {
    {u8"背景透明", &CharacterShapePage::backTransparent, "backTransparent"},
    {u8"显示光标", &CharacterShapePage::showCursor, "showCursor"},
    {u8"鼠标自动感应", &CharacterShapePage::mouseSensing, "mouseSensing"},
    {u8"允许数字", &CharacterShapePage::allowDigits, "allowDigits"},
    {u8"允许英文", &CharacterShapePage::allowEnglish, "allowEnglish"},
    {u8"允许汉字", &CharacterShapePage::allowChinese, "allowChinese"},
    {u8"允许小数点", &CharacterShapePage::allowPoint, "allowPoint"},
    {u8"允许负(-)号", &CharacterShapePage::allowMinus, "allowMinus"},
    {u8"允许响应键盘写入", &CharacterShapePage::keyboardInput, "keyboardInput"},
    {u8"垂直居中", &CharacterShapePage::verticalCentre, "verticalCentre"},
};

} // namespace

void FillPage(ControlPageWidget* self, CharacterShapePage& p, const SheetSources&)
{
    PageBinder& b = self->binder();
    QVBoxLayout* box = self->box();
    auto* form = new QFormLayout;
    form->addRow(named(b.font(u8text(u8"字体..."), p.font, &p.fontColor), "font"));
    form->addRow(named(b.color(u8text(u8"背景色..."), p.backColor), "backColor"));
    form->addRow(named(b.color(u8text(u8"光标颜色"), p.cursorColor), "cursorColor"));
    addRow(form, u8"字距:", named(b.signedEdit(p.charSpacing), "charSpacing"));
    addRow(form, u8"行距:", named(b.signedEdit(p.lineSpacing), "lineSpacing"));
    addRow(form, u8"宽度:", named(b.unsignedEdit(p.cursorWidth, kMinCursorWidth, kMaxCursorWidth), "cursorWidth"));
    addRow(form, u8"最大字符数:", named(b.unsignedEdit(p.maxChars, kMinCharacters, kMaxCharacters), "maxChars"));
    addRow(form, u8"弹出键盘位置X：", named(b.unsignedEdit(p.keyboardX), "keyboardX"));
    addRow(form, u8"弹出键盘位置Y：", named(b.unsignedEdit(p.keyboardY), "keyboardY"));
    box->addLayout(form);
    for (const CheckRow& c : kCharacterChecks)
        box->addWidget(named(b.check(u8text(c.text), p.*c.member), c.name));
    QCheckBox* password = named(b.check(u8text(u8"密码样式"), p.passwordStyle), "passwordStyle");
    QCheckBox* hash = named(b.check(u8text(u8"井型密码"), p.hashPassword), "hashPassword");
    hash->hide();  // created hidden; cleared whenever the password style is set
    QObject::connect(password, &QCheckBox::toggled, hash, [hash](bool on) { if (on) hash->setChecked(false); });
    QCheckBox* click = named(b.check(u8text(u8"鼠标单击打开系统键盘"), p.clickKeyboard), "clickKeyboard");
    QCheckBox* doubleClick = named(b.check(u8text(u8"鼠标双击打开系统键盘"), p.doubleClickKeyboard), "doubleClickKeyboard");
    exclusive(click, doubleClick);
    for (QWidget* w : {static_cast<QWidget*>(password), static_cast<QWidget*>(hash), static_cast<QWidget*>(click),
                       static_cast<QWidget*>(doubleClick)})
        box->addWidget(w);
    auto* initial = new QGroupBox(u8text(u8"初始化"), self);
    auto* initialBox = new QVBoxLayout(initial);
    initialBox->addWidget(named(b.multiText(p.initialText), "initialText"));
    box->addWidget(initial);
}

void FillPage(ControlPageWidget* self, CharacterControlPage& p, const SheetSources& sources)
{
    PageBinder& b = self->binder();
    QVBoxLayout* box = self->box();
    auto* form = new QFormLayout;
    addRow(form, u8"    读取地址:\r\n(字符首地址)", named(b.variable(sources.varNames, p.stringStart), "stringStart"));
    addRow(form, u8"口令保护:", named(b.combo(kPasswordLevels, p.password), "password"));
    box->addLayout(form);

    auto* clickGroup = new QGroupBox(self);
    auto* clickForm = new QFormLayout(clickGroup);
    QCheckBox* operate = named(b.check(u8text(u8"鼠标或触摸点击时操作变量"), p.operateOnClick), "operateOnClick");
    clickForm->addRow(operate);
    auto* operated = new QWidget(clickGroup);
    auto* operatedForm = new QFormLayout(operated);
    addRow(operatedForm, u8"地址:", named(b.variable(sources.varNames, p.operatedVar), "operatedVar"));
    addRow(operatedForm, u8"等于(=)", named(b.unsignedEdit(p.clickValue, 0, kMaxClickValue), "clickValue"));
    clickForm->addRow(operated);
    box->addWidget(clickGroup);

    auto* convertGroup = new QGroupBox(self);
    auto* convertBox = new QVBoxLayout(convertGroup);
    QCheckBox* convert = named(b.check(u8text(u8"字符自动转换为数值"), p.convert), "convert");
    convertBox->addWidget(convert);
    auto* converted = new QWidget(convertGroup);
    auto* convertedForm = new QFormLayout(converted);
    addRow(convertedForm, u8"数值地址:", named(b.variable(sources.varNames, p.numberVar), "numberVar"));
    addRow(convertedForm, u8"限制最小值：", named(b.signedEdit(p.minimum), "minimum"));
    addRow(convertedForm, u8"限制最大值：", named(b.signedEdit(p.maximum), "maximum"));
    QCheckBox* hex = named(b.check(u8text(u8"十六进制格式"), p.hex), "hex");
    convertedForm->addRow(hex);
    convertBox->addWidget(converted);
    auto* hexGroup = new QWidget(convertGroup);
    auto* hexBox = new QVBoxLayout(hexGroup);
    hexBox->addWidget(named(b.check(u8text(u8"补零"), p.zeroFill), "zeroFill"));
    hexBox->addWidget(named(b.radios(u8text(u8"大小写:"), kLetterCases, p.letterCase), "letterCase"));
    convertBox->addWidget(hexGroup);
    box->addWidget(convertGroup);
    box->addStretch();

    auto refresh = [operate, operated, convert, converted, hex, hexGroup] {
        operated->setVisible(operate->isChecked());
        converted->setVisible(convert->isChecked());
        hexGroup->setVisible(convert->isChecked() && hex->isChecked());
    };
    for (QCheckBox* c : {operate, convert, hex})
        QObject::connect(c, &QCheckBox::toggled, self, refresh);
    refresh();
}

// ---- curve ----------------------------------------------------------------------------------

void FillPage(ControlPageWidget* self, CurveShapePage& p, const SheetSources&)
{
    PageBinder& b = self->binder();
    QVBoxLayout* box = self->box();
    auto* form = new QFormLayout;
    form->addRow(named(b.color(u8text(u8"背景颜色..."), p.backColor), "backColor"));
    form->addRow(named(b.color(u8text(u8"网格颜色..."), p.gridColor), "gridColor"));
    form->addRow(named(b.font(u8text(u8"标注字体..."), p.font, &p.labelColor), "labelFont"));
    addRow(form, u8"网格线宽度:", named(b.unsignedEdit(p.gridWidth), "gridWidth"));
    addRow(form, u8"水平网格数:", named(b.unsignedEdit(p.hGrid), "hGrid"));
    addRow(form, u8"垂直网格数:", named(b.unsignedEdit(p.vGrid), "vGrid"));
    addRow(form, u8"最大值:", named(b.unsignedEdit(p.maximum, 0, 0x7FFFFFFF), "maximum"));
    addRow(form, u8"最小值:", named(b.signedEdit(p.minimum), "minimum"));
    addRow(form, u8"小数位:", named(b.signedEdit(p.decimals), "decimals"));
    addRow(form, u8"标住个数:", named(b.signedEdit(p.labelCount), "labelCount"));
    addRow(form, u8"底端偏移:", named(b.unsignedEdit(p.bottomOffset), "bottomOffset"));
    addRow(form, u8"左端偏移:", named(b.unsignedEdit(p.leftOffset), "leftOffset"));
    box->addLayout(form);
    box->addWidget(named(b.check(u8text(u8"背景透明"), p.backTransparent), "backTransparent"));
    box->addWidget(named(b.check(u8text(u8"无网格"), p.noGrid), "noGrid"));
    box->addWidget(named(b.check(u8text(u8"无标注"), p.noLabels), "noLabels"));
    box->addWidget(named(b.check(u8text(u8"超范围时停止绘线"), p.stopOutOfRange), "stopOutOfRange"));

    auto* typeGroup = new QGroupBox(u8text(u8"曲线类型"), self);
    auto* typeForm = new QFormLayout(typeGroup);
    QComboBox* type = named(b.combo(kCurveTypes, p.curveType), "curveType");
    typeForm->addRow(type);
    auto* history = new QWidget(typeGroup);
    auto* historyRow = new QHBoxLayout(history);
    historyRow->addWidget(new QLabel(u8text(u8"间隔:"), history));
    historyRow->addWidget(named(b.unsignedEdit(p.interval, 0, kMaxCurveInterval), "interval"));
    historyRow->addWidget(new QLabel(u8text(u8"毫秒"), history));
    historyRow->addWidget(named(b.combo(kCurveShifts, p.shift), "shift"));
    typeForm->addRow(history);
    box->addWidget(typeGroup);
    auto showHistory = [type, history] { history->setVisible(type->currentIndex() == 1); };
    QObject::connect(type, &QComboBox::currentIndexChanged, self, showHistory);
    showHistory();
}

void FillPage(ControlPageWidget* self, CurveControlPage& p, const SheetSources& sources)
{
    PageBinder& b = self->binder();
    QVBoxLayout* box = self->box();
    auto* form = new QFormLayout;
    QLineEdit* samples = named(b.unsignedEdit(p.samples, kMinCurveSamples, static_cast<std::uint32_t>(kVarMemSize)),
                               "samples");
    addRow(form, u8"采样数:", samples);
    box->addLayout(form);
    QTableWidget* list = listWidget(self, "curves", {{u8"曲线序号", 71}, {u8"地址类型", 120}, {u8"首地址", 76}, {u8"末地址", 76}});
    box->addWidget(list);
    auto* buttons = new QHBoxLayout;
    auto* add = named(new QPushButton(u8text(u8"添加"), self), "add");
    auto* modify = named(new QPushButton(u8text(u8"修改"), self), "modify");
    auto* remove = named(new QPushButton(u8text(u8"删除"), self), "delete");
    for (QPushButton* button : {add, modify, remove})
        buttons->addWidget(button);
    box->addLayout(buttons);

    auto work = std::make_shared<CurveControlPage>(p);
    const SheetSources* src = &sources;
    auto shownSamples = [samples, work] {
        bool ok = false;
        const std::uint32_t v = samples->text().trimmed().toUInt(&ok);
        return ok ? v : work->samples;
    };
    auto refill = [list, work, src, shownSamples] {
        list->setRowCount(std::clamp(work->count, 0, kMaxCurves));
        for (int i = 0; i < list->rowCount(); ++i) {
            const CurveRowText t = CurveRowTextOf(work->records[static_cast<std::size_t>(i)], i, shownSamples(), src->varTable);
            setRow(list, i, {toQString(t.number), toQString(t.type), toQString(t.start), toQString(t.end)});
        }
        if (list->rowCount() > 0)
            list->selectRow(0);
    };
    refill();
    QObject::connect(samples, &QLineEdit::textChanged, self, refill);
    auto selectedRow = [list] {
        const QList<QTableWidgetItem*> selected = list->selectedItems();
        return selected.isEmpty() ? -1 : selected.front()->row();
    };
    QObject::connect(add, &QPushButton::clicked, self, [self, work, src, refill] {
        CDlgCurveProp dialog(CurveRecord{}, src->varNames, self);
        if (!RunPageDialog(dialog))
            return;
        const std::optional<CurveRecord> r = dialog.record();
        if (!r)
            return;
        if (const std::string refusal = AddCurve(*work, *r); !refusal.empty()) {
            ShowPageMessage(self, toQString(refusal));
            return;
        }
        refill();
    });
    auto modifyRow = [self, work, src, refill, selectedRow] {
        const int row = selectedRow();
        if (row < 0 || row >= work->count)
            return;
        CDlgCurveProp dialog(work->records[static_cast<std::size_t>(row)], src->varNames, self);
        if (!RunPageDialog(dialog))
            return;
        if (const std::optional<CurveRecord> r = dialog.record())
            work->records[static_cast<std::size_t>(row)] = *r;
        refill();
    };
    QObject::connect(modify, &QPushButton::clicked, self, modifyRow);
    QObject::connect(list, &QTableWidget::cellDoubleClicked, self, modifyRow);
    QObject::connect(remove, &QPushButton::clicked, self, [work, refill, selectedRow] {
        const int row = selectedRow();
        if (row < 0)
            return;
        DeleteCurve(*work, row);
        refill();
    });
    self->onApply([work, &p] {
        p.count = work->count;
        p.records = work->records;
    });
}

// ---- dynamic picture ------------------------------------------------------------------------

namespace {

class FramePage : public ControlPageWidget {
public:
    FramePage(PictureGroupPage& p, const std::uint32_t& location) : ControlPageWidget(u8text(u8"外观")), m_location(location)
    {
        PageBinder& b = binder();
        QVBoxLayout* box = this->box();
        m_definition = named(new QGroupBox(u8text(u8"帧定义"), this), "definition");
        auto* defBox = new QVBoxLayout(m_definition);
        m_list = listWidget(m_definition, "frames", {{u8"序号", 40}, {u8"图名", 240}, {u8"位置", 800}});
        defBox->addWidget(m_list);
        auto* buttons = new QHBoxLayout;
        auto* add = named(new QPushButton(u8text(u8"添加"), m_definition), "add");
        auto* batch = named(new QPushButton(u8text(u8"批量添加"), m_definition), "batchAdd");
        m_delete = named(new QPushButton(u8text(u8"删除"), m_definition), "delete");
        m_clear = named(new QPushButton(u8text(u8"清空"), m_definition), "clear");
        for (QPushButton* button : {add, batch, m_delete, m_clear})
            buttons->addWidget(button);
        defBox->addLayout(buttons);
        defBox->addWidget(named(b.check(u8text(u8"透明"), p.transparent), "transparent"));
        defBox->addWidget(named(b.color(u8text(u8"透明色"), p.transparentColor), "transparentColor"));
        m_preview = named(new QLabel(m_definition), "preview");
        m_preview->setMinimumSize(120, 90);
        m_preview->setScaledContents(true);
        defBox->addWidget(m_preview);
        box->addWidget(m_definition);

        m_frames = p.frames;
        for (int i = 0; i < static_cast<int>(m_frames.size()); ++i)
            showRow(i);
        select(0);
        connect(add, &QPushButton::clicked, this, [this] {
            const QString file = PickOpenFile(this, PictureFileFilter());
            if (!file.isEmpty())
                append({std::filesystem::path(file.toStdU16String())});
        });
        connect(batch, &QPushButton::clicked, this, [this] {
            const QString file = PickOpenFile(this, PictureFileFilter());
            if (!file.isEmpty())
                append(BatchFramesOf(std::filesystem::path(file.toStdU16String()).parent_path()));
        });
        connect(m_delete, &QPushButton::clicked, this, [this] {
            const QList<QTableWidgetItem*> selected = m_list->selectedItems();
            if (selected.isEmpty())
                return;
            m_frames.erase(m_frames.begin() + selected.front()->row());
            rebuild();
            select(static_cast<int>(m_frames.size()) - 1);
        });
        connect(m_clear, &QPushButton::clicked, this, [this] {
            m_frames.clear();
            rebuild();
        });
        connect(m_list, &QTableWidget::currentCellChanged, this, [this](int row) { preview(row); });
        onApply([this, &p] {
            p.frames = m_frames;
            p.pictureWidth = m_width;
            p.pictureHeight = m_height;
        });
        enableButtons();
    }

    QTableWidget* list() const { return m_list; }

protected:
    void showEvent(QShowEvent* event) override
    {
        // The basic-control page's location radios decide whether frames are defined here.
        m_definition->setVisible(m_location != 1);
        ControlPageWidget::showEvent(event);
    }

private:
    void showRow(int i)
    {
        const std::filesystem::path& path = m_frames[static_cast<std::size_t>(i)].path;
        setRow(m_list, i, {QString::number(i), pathText(path.filename()), pathText(path)});
    }
    void rebuild()
    {
        m_list->setRowCount(static_cast<int>(m_frames.size()));
        for (int i = 0; i < static_cast<int>(m_frames.size()); ++i)
            showRow(i);
        enableButtons();
    }
    void append(const std::vector<std::filesystem::path>& files)
    {
        for (const auto& f : files)
            m_frames.push_back({f, {}});
        rebuild();
        select(static_cast<int>(m_frames.size()) - 1);
    }
    void select(int row)
    {
        if (row >= 0 && row < m_list->rowCount()) {
            m_list->setCurrentCell(row, 0);
            m_list->selectRow(row);
        }
        preview(row);
    }
    void preview(int row)
    {
        std::string error;
        const PicturePtr picture = row >= 0 && row < static_cast<int>(m_frames.size())
                                       ? loadPictureFile(m_frames[static_cast<std::size_t>(row)].path, &error)
                                       : nullptr;
        if (!picture) {
            m_preview->clear();
            return;
        }
        m_width = picture->pixels.width();
        m_height = picture->pixels.height();
        m_preview->setPixmap(QPixmap::fromImage(wrapSurface(picture->pixels).copy()));
    }
    void enableButtons()
    {
        m_delete->setEnabled(!m_frames.empty());
        m_clear->setEnabled(!m_frames.empty());
    }

    const std::uint32_t& m_location;
    std::vector<FrameRow> m_frames;
    QGroupBox* m_definition;
    QTableWidget* m_list;
    QPushButton* m_delete;
    QPushButton* m_clear;
    QLabel* m_preview;
    int m_width = 0, m_height = 0;
};

// Radios written to their member at once: the sheet's other pages follow them while it is open.
QButtonGroup* liveRadios(QWidget* parent, QBoxLayout* box, const char* name, std::span<const char8_t* const> choices,
                         std::uint32_t& member)
{
    auto* frame = named(new QGroupBox(parent), name);
    auto* row = new QHBoxLayout(frame);
    auto* group = new QButtonGroup(frame);
    for (std::size_t i = 0; i < choices.size(); ++i) {
        auto* radio = new QRadioButton(u8text(choices[i]), frame);
        radio->setChecked(member == i);
        group->addButton(radio, static_cast<int>(i));
        row->addWidget(radio);
    }
    QObject::connect(group, &QButtonGroup::idClicked, frame, [&member](int id) { member = static_cast<std::uint32_t>(id); });
    box->addWidget(frame);
    return group;
}

} // namespace

void FillPage(ControlPageWidget* self, PictureDisplayControlPage& p, const SheetSources& sources)
{
    QVBoxLayout* box = self->box();
    QButtonGroup* modes = liveRadios(self, box, "playMode", kPlayModes, p.playMode);
    QButtonGroup* locations = liveRadios(self, box, "location", kPictureLocations, p.location);
    QButtonGroup* lookups = liveRadios(self, box, "lookup", kPictureLookups, p.lookup);
    AddressGroupWidget* read = self->addGroup(p.read, sources, {u8" 读取地址（图片序号）"}, "read");
    box->addWidget(read);
    box->addStretch();
    QWidget* lookupFrame = self->findChild<QGroupBox*>(QStringLiteral("lookup"));
    auto refresh = [&p, read, lookupFrame] {
        read->setTitle(u8text(PictureReadCaption(p.playMode, p.location, p.lookup)));
        lookupFrame->setVisible(PictureLookupVisible(p.playMode, p.location));
    };
    for (QButtonGroup* g : {modes, locations, lookups})
        QObject::connect(g, &QButtonGroup::idClicked, self, refresh);
    refresh();
}

// ---- progress bar ---------------------------------------------------------------------------

void FillPage(ControlPageWidget* self, ProgressShapePage& p, const SheetSources&)
{
    PageBinder& b = self->binder();
    QVBoxLayout* box = self->box();
    auto* form = new QFormLayout;
    ColorButton* fill = named(b.color(u8text(u8"填充色..."), p.fillColor), "fillColor");
    ColorButton* highlight = named(b.color(u8text(u8"高亮色..."), p.highlightColor), "highlightColor");
    form->addRow(fill);
    form->addRow(highlight);
    auto* styleButton = named(new QPushButton(u8text(u8"前景样式..."), self), "fillStyle");
    form->addRow(styleButton);
    form->addRow(named(b.color(u8text(u8"前景色..."), p.foreColor), "foreColor"));
    addRow(form, u8"方向:", named(b.combo(kProgressDirections, p.direction), "direction"));
    box->addLayout(form);
    box->addWidget(named(b.check(u8text(u8"使用图片"), p.usePicture), "usePicture"));
    box->addWidget(named(b.picture(p.picture, u8text(u8"...")), "picture"));
    box->addWidget(named(b.check(u8text(u8"无背景"), p.noBackground), "noBackground"));
    box->addWidget(named(b.check(u8text(u8"反相显示"), p.inverted), "inverted"));
    box->addStretch();
    auto style = std::make_shared<std::uint32_t>(p.style);
    QObject::connect(styleButton, &QPushButton::clicked, self, [self, fill, highlight, style] {
        CDlgFillStyle dialog(fill->color(), highlight->color(), *style, self);
        if (RunPageDialog(dialog))
            *style = dialog.style();
    });
    self->onApply([style, &p] { p.style = *style; });
}

void FillPage(ControlPageWidget* self, ProgressControlPage& p, const SheetSources& sources)
{
    PageBinder& b = self->binder();
    QVBoxLayout* box = self->box();
    box->addWidget(self->addGroup(p.read, sources, {u8"读取地址"}, "read"));
    auto* form = new QFormLayout;
    addRow(form, u8"最大值:", named(b.unsignedEdit(p.maximum, 0, 0x7FFFFFFF), "maximum"));
    addRow(form, u8"最小值:", named(b.signedEdit(p.minimum), "minimum"));
    box->addLayout(form);
    box->addStretch();
}

// ---- area control ---------------------------------------------------------------------------

void FillPage(ControlPageWidget* self, AreaControlPage& p, const SheetSources&)
{
    PageBinder& b = self->binder();
    QVBoxLayout* box = self->box();
    const AreaChoices choices = AreaChoicesFor(p.windowTitle);
    auto* group = new QButtonGroup(self);
    QRadioButton* radios[4];
    for (int i = 0; i < 4; ++i) {
        radios[i] = named(new QRadioButton(u8text(kAreaBehaviours[i]), self),
                          (std::string("behaviour") + std::to_string(i + 1)).c_str());
        radios[i]->setChecked(p.behaviour == static_cast<std::uint32_t>(i + 1));
        radios[i]->setEnabled(choices.enabled[static_cast<std::size_t>(i)]);
        group->addButton(radios[i], i + 1);
        box->addWidget(radios[i]);
    }
    auto* subWindow = named(new QComboBox(self), "subWindow");
    for (const std::string& name : p.subWindows)
        subWindow->addItem(toQString(name));
    subWindow->setCurrentIndex(subWindow->findText(toQString(p.subWindow.text)));
    auto* subRow = new QFormLayout;
    addRow(subRow, u8"执行文件：", subWindow);
    box->addLayout(subRow);
    QCheckBox* mouse = named(b.check(u8text(u8"鼠标自动检测"), p.mouseDetect), "mouseDetect");
    box->addWidget(mouse);
    QPushButton* font = named(b.font(u8text(u8"更改字体..."), p.font, &p.textColor), "font");
    ColorButton* back = named(b.color(u8text(u8"背景色..."), p.backColor), "backColor");
    box->addWidget(font);
    box->addWidget(back);
    box->addStretch();
    // The text input area exists only on the system keyboard sub-window.
    for (QWidget* w : {static_cast<QWidget*>(radios[3]), static_cast<QWidget*>(font), static_cast<QWidget*>(back)})
        w->setVisible(choices.textInputShown);
    auto refresh = [group, subWindow, mouse] {
        subWindow->setVisible(group->checkedId() == 1);
        mouse->setVisible(group->checkedId() == 2);
    };
    QObject::connect(group, &QButtonGroup::idClicked, self, refresh);
    refresh();
    self->onApply([group, subWindow, &p] {
        if (group->checkedId() > 0 && static_cast<std::uint32_t>(group->checkedId()) != p.behaviour)
            p.behaviour = static_cast<std::uint32_t>(group->checkedId());
        if (subWindow->currentIndex() >= 0)
            p.subWindow.text = p.subWindows[static_cast<std::size_t>(subWindow->currentIndex())];
    });
}

std::unique_ptr<PropertyPage> OwnPage(PictureGroupPage& p, SheetValues& values)
{
    auto* control = std::get_if<PictureDisplayControlPage>(&values.control);
    if (!control)
        return nullptr;
    return std::make_unique<FramePage>(p, control->location);
}

// ---- curve record dialog ------------------------------------------------------------------------

CDlgCurveProp::CDlgCurveProp(const CurveRecord& record, const std::vector<std::string>& varNames, QWidget* parent)
    : QDialog(parent), m_record(record), m_variable(named(new QComboBox(this), "variable")),
      m_style(named(new QComboBox(this), "style")), m_width(named(new QLineEdit(QString::number(record.lineWidth), this), "lineWidth")),
      m_color(named(new ColorButton(u8text(u8"颜色..."), record.color, this), "color"))
{
    setWindowTitle(u8text(u8"曲线属性"));
    for (const std::string& name : varNames)
        m_variable->addItem(toQString(name));
    m_variable->setCurrentIndex(record.varIndex >= 0 && static_cast<std::size_t>(record.varIndex) < varNames.size()
                                    ? record.varIndex
                                    : -1);
    for (const char8_t* s : kCurveStyles)
        m_style->addItem(u8text(s));
    m_style->setCurrentIndex(record.style < std::size(kCurveStyles) ? record.style : -1);
    auto* form = new QFormLayout(this);
    addRow(form, u8"    首地址:", m_variable);
    addRow(form, u8"类型:", m_style);
    addRow(form, u8"线宽:", m_width);
    form->addRow(m_color);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

std::optional<CurveRecord> CDlgCurveProp::record() const
{
    std::uint32_t width = 0;
    if (!CheckUnsignedText(const_cast<CDlgCurveProp*>(this), m_width->text(), 0, kMaxCurveLineWidth, &width))
        return std::nullopt;
    CurveRecord r = m_record;
    if (m_variable->currentIndex() >= 0)
        r.varIndex = m_variable->currentIndex();
    if (m_style->currentIndex() >= 0)
        r.style = static_cast<std::uint8_t>(m_style->currentIndex());
    r.color = m_color->color();
    r.lineWidth = static_cast<std::uint16_t>(width);
    return r;
}

void CDlgCurveProp::done(int result)
{
    // A line width the record cannot hold keeps the dialog open.
    if (result == QDialog::Accepted && !record())
        return;
    QDialog::done(result);
}

// ---- character batch ----------------------------------------------------------------------------

namespace {

struct BatchOption {
    const char8_t* text;
    std::uint32_t CharacterBatchOptions::*member;
};

constexpr BatchOption kBatchOptions[7] = {
    {u8"令选中的字符控件使用相同的字体", &CharacterBatchOptions::sameFont},
    {u8"令选中的字符控件使用相同的前景色", &CharacterBatchOptions::sameForeColor},
    {u8"令选中的字符控件使用相同的背景色", &CharacterBatchOptions::sameBackColor},
    {u8"令选中的字符控件使用相同的宽度", &CharacterBatchOptions::sameWidth},
    {u8"令选中的字符控件使用相同的高度", &CharacterBatchOptions::sameHeight},
    {u8"令选中的字符控件使用相同的最大字符数", &CharacterBatchOptions::sameMaxChars},
    {u8"本次编辑应用于整个工程被选中的字符", &CharacterBatchOptions::wholeProject},
};

} // namespace

CDlgZiFuBatch::CDlgZiFuBatch(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(u8text(u8"批量编辑字符控件"));
    auto* box = new QVBoxLayout(this);
    for (int i = 0; i < 7; ++i) {
        m_checks[i] = new QCheckBox(u8text(kBatchOptions[i].text), this);
        box->addWidget(m_checks[i]);
    }
    auto* note = new QLabel(u8text(kCharacterBatchNote), this);
    note->setWordWrap(true);
    box->addWidget(note);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    box->addWidget(buttons);
}

CharacterBatchOptions CDlgZiFuBatch::options() const
{
    CharacterBatchOptions o;
    for (int i = 0; i < 7; ++i)
        o.*kBatchOptions[i].member = m_checks[i]->isChecked() ? 1 : 0;
    return o;
}

} // namespace qv
