#include "config/ui/hmi_var_manager_dlg.h"

#include "model/app/editor_app.h"
#include "platform/qt/qtext.h"
#include "config/backup/var_backup.h"
#include "config/ui/var_adjust_progress.h"
#include "config/ui/var_small_dialogs.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace qv {

namespace {

QString u8q(const char8_t* s) { return QString::fromUtf8(reinterpret_cast<const char*>(s)); }

struct ColumnSpec {
    const char8_t* title;
    int width;
};
constexpr ColumnSpec kColumns[] = {
    {u8"变量地址(十进制)", 100}, {u8"变量类型", 113}, {u8"变量名字", 200}, {u8"初值化值(十进制)", 130}, {u8"变量解释", 580},
};

struct ButtonSpec {
    CDlgHmiVarManager::Button id;
    const char8_t* text;
};
using B = CDlgHmiVarManager::Button;
constexpr ButtonSpec kButtons[] = {
    {B::Add, u8"添加"},     {B::Delete, u8"删除"},  {B::Clear, u8"清空"},    {B::Modify, u8"修改"},
    {B::Adjust, u8"地址调整"}, {B::Special, u8"修改......"}, {B::Import, u8"导入"}, {B::Export, u8"导出"},
    {B::MoveUp, u8"上移"},  {B::MoveDown, u8"下移"}, {B::Cut, u8"剪贴"},      {B::Paste, u8"粘贴插入"},
    {B::Find, u8"查找"},
};

class QtVarManagerAsk final : public VarManagerAsk {
public:
    std::optional<HmiVarInput> EditVar(QWidget* parent, const HmiVarInput& input, bool adding) override
    {
        CHmiVarDlg dlg(input, adding, parent);
        if (dlg.exec() != QDialog::Accepted)
            return std::nullopt;
        return dlg.Input();
    }
    std::optional<std::string> Password(QWidget* parent) override
    {
        CDlgPassword dlg(parent);
        if (dlg.exec() != QDialog::Accepted)
            return std::nullopt;
        return dlg.Password();
    }
    std::optional<std::string> VarName(QWidget* parent) override
    {
        CDlgVarName dlg(parent);
        if (dlg.exec() != QDialog::Accepted)
            return std::nullopt;
        return dlg.Name();
    }
    std::optional<std::filesystem::path> BackupFile(QWidget* parent, bool forExport) override
    {
        const QString filter = u8q(u8"HMI变量备份文件(*.bak;)");
        const QString file = forExport ? QFileDialog::getSaveFileName(parent, QString(), QString(), filter)
                                       : QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
        if (file.isEmpty())
            return std::nullopt;
        std::filesystem::path p(file.toStdU16String());
        if (forExport && p.extension().empty())
            p += u8".bak";
        return p;
    }
    void Message(QWidget* parent, const std::string& textGbk, bool error) override
    {
        const QString title = u8q(u8"HMI变量");
        error ? QMessageBox::warning(parent, title, toQString(textGbk)) : QMessageBox::information(parent, title, toQString(textGbk));
    }
    bool AdjustAddresses(QWidget* parent, CEditorApp& app) override { return RunVarAdjustDialog(app, parent); }
};

} // namespace

std::unique_ptr<VarManagerAsk> MakeQtVarManagerAsk() { return std::make_unique<QtVarManagerAsk>(); }

CDlgHmiVarManager::CDlgHmiVarManager(CEditorApp& app, QWidget* parent, std::unique_ptr<VarManagerAsk> ask)
    : QDialog(parent), m_app(app), m_manager(app), m_ask(ask ? std::move(ask) : MakeQtVarManagerAsk())
{
    setWindowTitle(u8q(u8"HMI变量管理"));
    m_list = new QTableWidget(0, static_cast<int>(std::size(kColumns)), this);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->verticalHeader()->hide();
    for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
        m_list->setHorizontalHeaderItem(c, new QTableWidgetItem(u8q(kColumns[c].title)));
        m_list->setColumnWidth(c, kColumns[c].width);
    }
    auto* buttons = new QGridLayout;
    int i = 0;
    for (const ButtonSpec& spec : kButtons) {
        auto* b = new QPushButton(u8q(spec.text), this);
        b->setAutoDefault(false);
        m_buttons[spec.id] = b;
        buttons->addWidget(b, i / 7, i % 7);
        ++i;
        connect(b, &QPushButton::clicked, this, [this, id = spec.id] { OnButton(id); });
    }
    m_promStart = new QLineEdit(this);
    m_promLength = new QLineEdit(this);
    m_promStart->setReadOnly(true);
    m_promLength->setReadOnly(true);
    m_noAdjust = new QCheckBox(u8q(u8"禁止自动调整HMI变量地址"), this);
    m_noAdjust->hide();
    m_headerPlace = new QLabel(toQString(m_manager.HeaderPlaceText()), this);

    auto* prom = new QHBoxLayout;
    prom->addWidget(new QLabel(QStringLiteral("PROM_RAM:"), this));
    prom->addWidget(m_promStart);
    prom->addWidget(m_promLength);
    prom->addWidget(m_noAdjust);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    layout->addLayout(prom);
    layout->addWidget(m_headerPlace);
    resize(1100, 600);

    connect(m_list, &QTableWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this] { OnButton(Button::Modify); });
    FillList();
}

CDlgHmiVarManager::~CDlgHmiVarManager() = default;

void CDlgHmiVarManager::SetSpecialVarsEditor(std::function<void(QWidget*)> editor)
{
    m_specialVars = std::move(editor);
    UpdateButtons();
}

void CDlgHmiVarManager::FillList()
{
    const HmiVarTable* t = m_manager.Table();
    const int rows = t ? static_cast<int>(t->size()) : 0;
    m_list->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        const std::string* texts[] = {&t->address[r], &t->type[r], &t->name[r], &t->initValue[r], &t->description[r]};
        for (int c = 0; c < static_cast<int>(std::size(texts)); ++c)
            m_list->setItem(r, c, new QTableWidgetItem(toQString(*texts[c])));
    }
    m_promStart->setText(QString::number(m_manager.PromRamStart()));
    m_promLength->setText(QString::number(m_manager.PromRamLength()));
    m_noAdjust->setChecked(m_manager.NoAutoAdjust());
    if (rows > 0 && SelectedRow() < 0)
        SelectRow(0);
    UpdateButtons();
}

int CDlgHmiVarManager::SelectedRow() const
{
    const auto rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void CDlgHmiVarManager::SelectRow(int row)
{
    if (row < 0 || row >= m_list->rowCount())
        return;
    m_list->selectRow(row);
    m_list->scrollToItem(m_list->item(row, 0));
    UpdateButtons();
}

void CDlgHmiVarManager::UpdateButtons()
{
    const int r = SelectedRow();
    const VarButtonStates s = m_manager.ButtonsFor(r);
    if (r >= 0) {
        button(Button::Delete)->setEnabled(s.remove);
        button(Button::MoveUp)->setEnabled(s.moveUp);
        button(Button::MoveDown)->setEnabled(s.moveDown);
        button(Button::Cut)->setEnabled(s.cut);
        button(Button::Paste)->setEnabled(s.paste);
    }
    const bool project = m_manager.Table() != nullptr;
    for (auto& [id, b] : m_buttons)
        if (!project)
            b->setEnabled(false);
    button(Button::Special)->setEnabled(project && m_specialVars != nullptr);
}

void CDlgHmiVarManager::Show(const VarEditOutcome& out)
{
    if (out.changed)
        FillList();
    if (out.select >= 0)
        SelectRow(out.select);
    if (!out.messageGbk.empty())
        m_ask->Message(this, out.messageGbk, !out.changed);
    UpdateButtons();
}

void CDlgHmiVarManager::OnButton(Button b)
{
    const int r = SelectedRow();
    switch (b) {
    case Button::Add:
        if (auto in = m_ask->EditVar(this, m_manager.NewVarInput(), true))
            Show(m_manager.Add(*in));
        break;
    case Button::Modify:
        if (auto current = m_manager.RowInput(r))
            if (auto in = m_ask->EditVar(this, *current, false))
                Show(m_manager.Modify(r, *in));
        break;
    case Button::Delete:
        Show(m_manager.Delete(r));
        break;
    case Button::Clear:
        if (auto password = m_ask->Password(this))
            Show(m_manager.Clear(*password));
        break;
    case Button::MoveUp:
        Show(m_manager.MoveUp(r));
        break;
    case Button::MoveDown:
        Show(m_manager.MoveDown(r));
        break;
    case Button::Cut:
        Show(m_manager.Cut(r));
        break;
    case Button::Paste:
        Show(m_manager.Paste(r));
        break;
    case Button::Find:
        if (auto name = m_ask->VarName(this))
            if (auto row = m_manager.Find(*name))
                SelectRow(*row);
        break;
    case Button::Adjust:
        m_ask->AdjustAddresses(this, m_app);
        FillList();
        break;
    case Button::Special:
        if (m_specialVars) {
            m_specialVars(this);
            FillList();
        }
        break;
    case Button::Import:
        if (auto file = m_ask->BackupFile(this, false)) {
            std::string error;
            if (!ImportHmiVarBackup(m_app, *file, error))
                m_ask->Message(this, error, true);
            FillList();
        }
        break;
    case Button::Export:
        if (auto file = m_ask->BackupFile(this, true)) {
            std::string error;
            if (const HmiVarTable* t = m_manager.Table(); t && !ExportHmiVarBackup(*t, *file, error))
                m_ask->Message(this, error, true);
        }
        break;
    }
}

void CDlgHmiVarManager::done(int result)
{
    // Every way out stores the flag, saves, and lays the addresses out unless forbidden.
    if (!m_closing && m_manager.Table()) {
        m_closing = true;
        if (m_manager.Close(m_noAdjust->isChecked()))
            m_ask->AdjustAddresses(this, m_app);
    }
    QDialog::done(result);
}

} // namespace qv
