#include "sim/ui/serial_debug_dlg.h"

#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/document/online_link.h"
#include "model/vars/hmi_vars.h"
#include "platform/qt/digits_validator.h"
#include "model/vars/var_types.h"
#include "platform/qt/qtext.h"
#include "platform/qt/range_prompt.h"
#include "platform/serial/serial_framing.h"
#include "sim/serial_debug/debug_frame.h"

#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace qv {
namespace {

constexpr int kWriteBufferSize = 4096;
constexpr std::uint32_t kEvents = CommEvent::RxChar | CommEvent::RxFlag;
constexpr int kListedPorts = 4;  // "COM1".."COM4"
constexpr int kLargestPort = 9;  // the combo names COM1..COM9

QString u8(const char8_t* text) { return QString::fromUtf8(reinterpret_cast<const char*>(text)); }

QComboBox* comboOf(std::initializer_list<const char8_t*> items, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    for (const char8_t* item : items)
        combo->addItem(u8(item));
    return combo;
}

} // namespace

CSerialDebugDlg::CSerialDebugDlg(CEditorApp& app, QWidget* parent)
    : QDialog(parent), app_(app), project_(*app.ProjectDoc())
{
    setWindowTitle(u8(u8"串口调试变量"));
    baud_ = new QLineEdit(this);
    baud_->setValidator(DigitsValidator(1, 4000000, baud_));
    port_ = new QComboBox(this);
    dataBits_ = comboOf({u8"8位", u8"7位", u8"6位", u8"5位"}, this);
    stopBits_ = comboOf({u8"1位", u8"2位"}, this);
    parity_ = comboOf({u8"无", u8"奇", u8"偶"}, this);
    command_ = comboOf({u8"赋值", u8"查询"}, this);
    variable_ = new QComboBox(this);
    frameText_ = new QLineEdit(this);
    frameText_->setReadOnly(true);
    value_ = new QLineEdit(this);
    received_ = new QPlainTextEdit(this);
    received_->setReadOnly(true);
    connect_ = new QPushButton(u8(u8"连接"), this);
    send_ = new QPushButton(u8(u8"发送"), this);
    clear_ = new QPushButton(u8(u8"清除"), this);
    colour_ = new QPushButton(u8(u8"<<取色"), this);

    auto* grid = new QGridLayout;
    int row = 0;
    auto add = [&](const char8_t* label, QWidget* field, QWidget* extra = nullptr) {
        grid->addWidget(new QLabel(u8(label), this), row, 0);
        grid->addWidget(field, row, 1);
        if (extra)
            grid->addWidget(extra, row, 2);
        ++row;
    };
    add(u8"串口", port_, connect_);
    add(u8"波特率", baud_);
    add(u8"数据位", dataBits_);
    add(u8"停止位", stopBits_);
    add(u8"校验", parity_);
    add(u8"命令", command_);
    add(u8"变量", variable_);
    add(u8"数值", value_, colour_);
    add(u8"命令帧", frameText_, send_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(received_);
    layout->addWidget(clear_);

    showMessage = [this](const QString& text) { QMessageBox::warning(this, windowTitle(), text); };
    pickColour = [this]() -> std::optional<QColor> {
        const QColor colour = QColorDialog::getColor(Qt::white, this);
        return colour.isValid() ? std::optional<QColor>(colour) : std::nullopt;
    };

    // Settings of the project's port 1.
    dataBitsIndex_ = project_.SettingI32(settings::kDataBits1);
    parityIndex_ = project_.SettingI32(settings::kParity1);
    stopBitsIndex_ = project_.SettingI32(settings::kStopBits1);
    dataBits_->setCurrentIndex(dataBitsIndex_);
    parity_->setCurrentIndex(parityIndex_);
    stopBits_->setCurrentIndex(stopBitsIndex_);
    baud_->setText(QString::number(project_.m_serial.baud1));
    ReleasePort();

    const HmiVarTable& table = project_.m_varTable;
    for (std::size_t i = 0; i < table.size(); ++i)
        variable_->addItem(toQString(table.name[i]));
    variable_->setCurrentIndex(variable_->count() - 1);
    for (int n = 1; n <= kListedPorts; ++n)
        port_->addItem(QStringLiteral("COM%1").arg(n), n);
    const int com = project_.m_serial.com1;
    if (port_->findData(com) < 0 && com >= 1 && com <= kLargestPort)
        port_->addItem(QStringLiteral("COM%1").arg(com), com);
    port_->setCurrentIndex(port_->findData(com));
    send_->setEnabled(false);
    BuildFrame();

    QObject::connect(port_, &QComboBox::currentIndexChanged, this, [this] {
        const int n = port_->currentData().toInt();
        if (n >= 1 && n <= kLargestPort)
            project_.m_serial.com1 = n;
    });
    QObject::connect(dataBits_, &QComboBox::currentIndexChanged, this, [this](int i) { dataBitsIndex_ = i; });
    QObject::connect(stopBits_, &QComboBox::currentIndexChanged, this, [this](int i) { stopBitsIndex_ = i; });
    QObject::connect(parity_, &QComboBox::currentIndexChanged, this, [this](int i) { parityIndex_ = i; });
    QObject::connect(command_, &QComboBox::currentIndexChanged, this, [this] { BuildFrame(); });
    QObject::connect(variable_, &QComboBox::currentIndexChanged, this, [this] { BuildFrame(); });
    QObject::connect(value_, &QLineEdit::textChanged, this, [this] { BuildFrame(); });
    QObject::connect(connect_, &QPushButton::clicked, this, [this] { ToggleConnection(); });
    QObject::connect(send_, &QPushButton::clicked, this, [this] { Send(); });
    QObject::connect(clear_, &QPushButton::clicked, received_, &QPlainTextEdit::clear);
    QObject::connect(colour_, &QPushButton::clicked, this, [this] { PickColour(); });
}

CSerialDebugDlg::~CSerialDebugDlg()
{
    // The monitor must stop before the owner goes away.
    if (project_.m_ComPort1.IsOpen() && project_.m_bPort1Connected)
        ReleasePort();
}

bool CSerialDebugDlg::IsConnected() const { return project_.m_bPort1Connected != 0; }

void CSerialDebugDlg::BuildFrame()
{
    const bool write = command_->currentIndex() == 0;
    value_->setVisible(write);
    colour_->setVisible(write);
    std::int32_t address = -1;
    std::uint8_t type = 0;
    if (variable_->currentIndex() >= 0)
        GetVariableAddress(app_, variable_->currentIndex(), address, type);
    bool ok = false;
    const qlonglong value = value_->text().trimmed().toLongLong(&ok);
    frame_ = sim::BuildDebugFrame(write ? sim::DebugCommand::Write : sim::DebugCommand::Read,
                                  static_cast<std::uint8_t>(project_.m_serial.station1), address, type, ok ? value : 0);
    frameText_->setText(QString::fromLatin1(sim::DebugHex(frame_)));
}

void CSerialDebugDlg::ToggleConnection()
{
    if (IsConnected()) {
        ReleasePort();
        EnableSettings(true);
        return;
    }
    Connect();
}

void CSerialDebugDlg::Connect()
{
    project_.m_serial.baud1 = baud_->text().toInt();
    const SerialFrame frame = SerialFraming(dataBitsIndex_, parityIndex_, stopBitsIndex_);
    CComPort& port = project_.m_ComPort1;
    if (!port.InitPort(this, project_.m_serial.com1, project_.m_serial.baud1, frame.parity, frame.dataBits, frame.stopBits,
                       kEvents, kWriteBufferSize) ||
        !port.StartMonitoring()) {
        const QString reason = QString::fromUtf8(port.LastErrorText().c_str());
        port.ClosePort();
        showMessage(u8(u8"未发现串口!!!") + QStringLiteral("\n") + reason);
        return;
    }
    project_.m_bPort1Connected = 1;
    EnableSettings(false);
    ShowStatus(true);
}

void CSerialDebugDlg::ReleasePort()
{
    project_.m_bPort1Connected = 0;
    project_.m_ComPort1.ClosePort();
    if (connect_)
        connect_->setText(u8(u8"连接"));
    if (send_)
        send_->setEnabled(false);
    ShowStatus(false);
}

void CSerialDebugDlg::EnableSettings(bool enabled)
{
    for (QWidget* w : {static_cast<QWidget*>(baud_), static_cast<QWidget*>(port_), static_cast<QWidget*>(dataBits_),
                       static_cast<QWidget*>(stopBits_), static_cast<QWidget*>(parity_)})
        w->setEnabled(enabled);
    connect_->setText(enabled ? u8(u8"连接") : u8(u8"断开"));
    send_->setEnabled(!enabled);
}

void CSerialDebugDlg::ShowStatus(bool connected)
{
    SerialLinkReports().post(
        ReportStatus{kLinkStatusPane, SerialPort1StatusText(project_.m_serial.baud1, project_.m_serial.com1, connected)});
}

void CSerialDebugDlg::Send()
{
    if (!IsConnected())
        return;
    // A value the variable's type cannot hold would reach the target cut to its bytes.
    if (command_->currentIndex() == 0 && variable_->currentIndex() >= 0) {
        std::int32_t address = -1;
        std::uint8_t type = 0;
        GetVariableAddress(app_, variable_->currentIndex(), address, type);
        if (const HmiVarType* t = hmiVarTypeByCode(type)) {
            const HmiVarRange range = hmiVarTypeRange(*t);
            bool ok = false;
            const qlonglong value = value_->text().trimmed().toLongLong(&ok);
            if (!ok || value < range.low || value > range.high) {
                showMessage(RangePromptText(range.low, range.high));
                value_->setFocus();
                value_->selectAll();
                return;
            }
        }
    }
    project_.m_ComPort1.WriteToPort(frame_.data(), static_cast<int>(frame_.size()));
}

void CSerialDebugDlg::PickColour()
{
    const auto colour = pickColour ? pickColour() : std::nullopt;
    if (!colour)
        return;
    value_->setText(QString::number(sim::Rgb565Of(colour->red(), colour->green(), colour->blue())));
}

void CSerialDebugDlg::OnPortByte(unsigned char byte, int)
{
    bool first = false;
    {
        std::lock_guard lock(receivedMutex_);
        first = receivedPending_.empty();
        receivedPending_.push_back(byte);
    }
    if (first)
        QMetaObject::invokeMethod(this, [this] { FlushReceived(); }, Qt::QueuedConnection);
}

void CSerialDebugDlg::OnPortLost(int, const std::string&)
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (IsConnected()) {
                ReleasePort();
                EnableSettings(true);
            }
        },
        Qt::QueuedConnection);
}

void CSerialDebugDlg::FlushReceived()
{
    std::vector<std::uint8_t> bytes;
    {
        std::lock_guard lock(receivedMutex_);
        bytes.swap(receivedPending_);
    }
    if (bytes.empty())
        return;
    received_->moveCursor(QTextCursor::End);
    received_->insertPlainText(QString::fromLatin1(sim::DebugHex(bytes)));
    received_->verticalScrollBar()->setValue(received_->verticalScrollBar()->maximum());
}

void CSerialDebugDlg::done(int result)
{
    ReleasePort();
    QDialog::done(result);
}

} // namespace qv
