#include "config/ui/plc_map_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "platform/qt/qtext.h"
#include "config/plcmap/plc_protocols.h"
#include "config/ui/hmi_var_manager_dlg.h"
#include "config/ui/var_small_dialogs.h"

namespace qv {
namespace {

QSpinBox* Spin(int low, int high, int value, QWidget* parent)
{
    auto* s = new QSpinBox(parent);
    s->setRange(low, high);
    s->setValue(value);
    return s;
}

} // namespace

CDlgPlcMapEdit::CDlgPlcMapEdit(int protocol, const plcmap::MappingEdit& e, QWidget* parent)
    : QDialog(parent), m_protocol(protocol)
{
    setWindowTitle(toQString("映射编辑..."));
    auto* form = new QFormLayout;
    m_type = new QComboBox(this);
    const auto types = plcmap::ElementTypesOf(protocol);
    for (std::size_t i = 1; i < types.size(); ++i)
        m_type->addItem(toQString(types[i]));
    m_type->setCurrentIndex(e.elementType - 1);
    m_station = Spin(0, 247, e.station, this);
    m_number = Spin(0, 65535, e.elementNumber, this);
    m_count = Spin(1, 65536, e.count, this);
    m_address = Spin(0, 65535, e.hmiAddress, this);
    m_commDelay = Spin(0, 1000, e.commDelayMs, this);
    m_screen = Spin(0, 255, e.screen, this);
    m_timeout = Spin(0, 10000, e.timeoutMs, this);
    m_ackDelay = Spin(0, 1000, e.ackDelayMs, this);
    m_writeOnly = new QCheckBox(toQString("仅写不读"), this);
    m_writeOnly->setChecked(e.writeOnly);
    m_stationLabel = new QLabel(toQString("PLC设备地址(十进制值)："), this);
    form->addRow(m_stationLabel, m_station);
    form->addRow(toQString("元件类型"), m_type);
    form->addRow(toQString("元件编号"), m_number);
    form->addRow(toQString("映射数量"), m_count);
    form->addRow(toQString("HMI变量地址"), m_address);
    form->addRow(toQString("通讯延时(豪秒)"), m_commDelay);
    form->addRow(toQString("超时延时(豪秒)"), m_timeout);
    form->addRow(toQString("Ack延时(豪秒)"), m_ackDelay);
    form->addRow(toQString("命令发送限于具体画面(画面号，十进制值)："), m_screen);
    form->addRow(m_writeOnly);
    const plcmap::PlcProtocolInfo* info = plcmap::FindPlcProtocol(protocol);
    m_stationLabel->setVisible(!info || info->usesStation);
    m_station->setVisible(!info || info->usesStation);
    m_ackDelay->setEnabled(protocol == 6);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

plcmap::MappingEdit CDlgPlcMapEdit::Edit() const
{
    plcmap::MappingEdit e;
    e.station = m_station->value();
    e.elementType = m_type->currentIndex() + 1;
    e.elementNumber = m_number->value();
    e.count = m_count->value();
    e.hmiAddress = m_address->value();
    e.screen = m_screen->value();
    e.commDelayMs = m_commDelay->value();
    e.timeoutMs = m_timeout->value();
    e.ackDelayMs = m_ackDelay->value();
    e.writeOnly = m_writeOnly->isChecked();
    return e;
}

CDlgPlcMap::CDlgPlcMap(CEditorApp* app, std::filesystem::path projectDir, int port, int protocol, QWidget* parent)
    : QDialog(parent), m_app(app), m_table(std::move(projectDir), port, protocol)
{
    setWindowTitle(toQString("软元件和HMI变量区之间的映射表"));
    m_list = new QTableWidget(this);
    const auto columns = plcmap::ColumnsOf(protocol);
    m_list->setColumnCount(static_cast<int>(columns.size()));
    QStringList titles;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        titles << toQString(columns[i].title);
        m_list->setColumnWidth(static_cast<int>(i), columns[i].width);
    }
    m_list->setHorizontalHeaderLabels(titles);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->verticalHeader()->hide();
    // The dialog is as wide as its columns: all of them show without scrolling sideways.
    int columnsWidth = 0;
    for (const auto& c : columns)
        columnsWidth += c.width;
    m_list->setMinimumWidth(columnsWidth + 2 * m_list->frameWidth() + m_list->verticalScrollBar()->sizeHint().width());
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this] { ModifyMapping(); });
    connect(m_list, &QTableWidget::itemSelectionChanged, this, [this] {
        const auto rows = m_list->selectionModel()->selectedRows();
        m_table.Select(rows.isEmpty() ? -1 : rows.front().row());
    });

    auto* buttons = new QHBoxLayout;
    auto addButton = [&](const char* text, auto slot) {
        auto* b = new QPushButton(toQString(text), this);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    addButton("添加", [this] { AddMapping(); });
    addButton("修改", [this] { ModifyMapping(); });
    addButton("删除", [this] { DeleteMapping(); });
    addButton("清空", [this] { ClearMappings(); });
    addButton("上移", [this] { MoveMappingUp(); });
    addButton("下移", [this] { MoveMappingDown(); });
    if (m_app)
        addButton("HMI变量", [this] {
            CDlgHmiVarManager dlg(*m_app, this);
            dlg.exec();
        });
    addButton("退出", [this] { reject(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);

    m_editPrompt = [this](int proto, const plcmap::MappingEdit& e) -> std::optional<plcmap::MappingEdit> {
        CDlgPlcMapEdit dlg(proto, e, this);
        if (dlg.exec() != QDialog::Accepted)
            return std::nullopt;
        return dlg.Edit();
    };
    m_passwordPrompt = [this]() -> std::optional<std::string> {
        CDlgPassword dlg(this);
        if (dlg.exec() != QDialog::Accepted)
            return std::nullopt;
        return dlg.Password();
    };
    LoadMappingTable();
}

void CDlgPlcMap::SetPrompts(PlcMapEditPrompt edit, PlcMapPasswordPrompt password)
{
    m_editPrompt = std::move(edit);
    m_passwordPrompt = std::move(password);
}

void CDlgPlcMap::LoadMappingTable()
{
    std::string error;
    if (!m_table.Load(&error))
        QMessageBox::warning(this, windowTitle(), toQString(error));
    Refill();
}

void CDlgPlcMap::Refill()
{
    m_list->clearContents();
    m_list->setRowCount(static_cast<int>(m_table.rows().size()));
    for (std::size_t r = 0; r < m_table.rows().size(); ++r) {
        const auto texts = m_table.RowTexts(r);
        for (std::size_t c = 0; c < texts.size(); ++c)
            m_list->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(toQString(texts[c])));
    }
    SyncSelection();
}

void CDlgPlcMap::SyncSelection()
{
    const int row = m_table.selection();
    QSignalBlocker block(m_list);
    m_list->clearSelection();
    if (row >= 0)
        m_list->selectRow(row);
}

void CDlgPlcMap::Report(const std::optional<std::string>& refusal)
{
    if (refusal)
        QMessageBox::warning(this, windowTitle(), toQString(*refusal));
    else if (!m_table.saveError().empty())
        QMessageBox::warning(this, windowTitle(),
                             toQString("映射表文件写入失败") + QString::fromUtf8(u8": ") + QString::fromStdString(m_table.saveError()));
    Refill();
}

void CDlgPlcMap::AddMapping()
{
    const auto edit = m_editPrompt(m_table.protocol(), plcmap::DefaultEdit(m_table.protocol()));
    if (!edit)
        return;
    Report(m_table.Add(*edit));
}

void CDlgPlcMap::ModifyMapping()
{
    if (m_table.selection() < 0)
        return;
    const auto& record = m_table.rows()[static_cast<std::size_t>(m_table.selection())];
    const auto edit = m_editPrompt(m_table.protocol(), plcmap::ToEdit(record));
    if (!edit)
        return;
    Report(m_table.Modify(*edit));
}

void CDlgPlcMap::DeleteMapping()
{
    m_table.Delete();
    Report(std::nullopt);
}

void CDlgPlcMap::ClearMappings()
{
    const auto password = m_passwordPrompt();
    if (!password)
        return;
    Report(m_table.Clear(*password));
}

void CDlgPlcMap::MoveMappingUp()
{
    m_table.MoveUp();
    Report(std::nullopt);
}

void CDlgPlcMap::MoveMappingDown()
{
    m_table.MoveDown();
    Report(std::nullopt);
}

} // namespace qv
