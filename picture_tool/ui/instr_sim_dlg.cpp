#include "picture_tool/ui/instr_sim_dlg.h"

#include "platform/qt/qtext.h"
#include "platform/text/gbk.h"
#include "picture_tool/download/picture_download.h"
#include "picture_tool/link/usb_tool_link.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

namespace qv::picture_tool {
namespace {

constexpr int kComPorts = 9;
constexpr std::uint32_t kEvents = CommEvent::RxChar | CommEvent::RxFlag;
constexpr int kWriteBuffer = static_cast<int>(kMaxInstructionBytes);

QString q(const char* gbk)
{
    return toQString(gbk);
}

int baudOf(int index)
{
    return index == 1 ? 9600 : index == 2 ? 115200 : 19200;
}

} // namespace

CInstrSimDlg::CInstrSimDlg(int baudIndex, usb::UsbHost* usbHost, std::filesystem::path folder, QWidget* parent)
    : QDialog(parent), usbHost_(usbHost), folder_(std::move(folder)), baud_(baudOf(baudIndex))
{
    setWindowTitle(q("指令模拟纺真"));
    showMessage = [this](const QString& t) {
        if (qEnvironmentVariableIsEmpty("QV_NONINTERACTIVE"))
            QMessageBox::information(this, windowTitle(), t);
    };
    pickColour = [this]() -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(Qt::red, this);
        return c.isValid() ? std::optional(c) : std::nullopt;
    };
    auto* grid = new QGridLayout(this);
    instructions_ = new QComboBox(this);
    for (const InstructionKind& k : instructionKinds())
        instructions_->addItem(q(k.name));
    ports_ = new QComboBox(this);
    connect_ = new QPushButton(q("连接设备"), this);
    send_ = new QPushButton(q("发送指令"), this);
    grid->addWidget(instructions_, 0, 0, 1, 2);
    grid->addWidget(ports_, 0, 2);
    grid->addWidget(connect_, 0, 3);

    const auto colourGroup = [&](const char* title, int first, QPushButton*& picker, int swatch) {
        auto* box = new QGroupBox(q(title), this);
        auto* g = new QGridLayout(box);
        const char* names[] = {"红", "绿", "蓝"};
        for (int i = 0; i < 3; ++i) {
            g->addWidget(new QLabel(q(names[i]), box), 0, 2 * i);
            auto* e = new QLineEdit(box);
            colours_[static_cast<std::size_t>(first + i)] = e;
            g->addWidget(e, 0, 2 * i + 1);
        }
        picker = new QPushButton(QStringLiteral("..."), box);
        g->addWidget(picker, 0, 6);
        auto* frame = new QFrame(box);
        frame->setFrameShape(QFrame::Box);
        frame->setAutoFillBackground(true);
        frame->setMinimumSize(24, 16);
        swatches_[static_cast<std::size_t>(swatch)] = frame;
        g->addWidget(frame, 0, 7);
        return box;
    };
    backgroundGroup_ = colourGroup("背景颜色", 0, pickBackground_, 0);
    foregroundGroup_ = colourGroup("前景颜色", 3, pickForeground_, 1);
    grid->addWidget(backgroundGroup_, 1, 0, 1, 4);
    grid->addWidget(foregroundGroup_, 2, 0, 1, 4);
    for (int i = 0; i < 8; ++i) {
        labels_[static_cast<std::size_t>(i)] = new QLabel(q("指令参数") + QString::number(i + 1), this);
        values_[static_cast<std::size_t>(i)] = new QLineEdit(this);
        grid->addWidget(labels_[static_cast<std::size_t>(i)], 3 + i / 2, (i % 2) * 2);
        grid->addWidget(values_[static_cast<std::size_t>(i)], 3 + i / 2, (i % 2) * 2 + 1);
    }
    text_ = new QPlainTextEdit(this);
    grid->addWidget(text_, 7, 0, 1, 4);
    code_ = new QLineEdit(this);
    code_->setReadOnly(true);
    grid->addWidget(code_, 8, 0, 1, 3);
    grid->addWidget(send_, 8, 3);
    grid->addWidget(new QLabel(q("鼠标或触摸屏被点击处坐标值:"), this), 9, 0);
    x_ = new QLabel(q("X：    "), this);
    y_ = new QLabel(q("Y：    "), this);
    grid->addWidget(x_, 9, 1);
    grid->addWidget(y_, 9, 2);

    probePorts();
    send_->setEnabled(false);
    instructions_->setCurrentIndex(6);
    showParameters();

    connect(instructions_, &QComboBox::currentIndexChanged, this, [this] { showParameters(); });
    for (QLineEdit* e : values_)
        connect(e, &QLineEdit::textChanged, this, [this] { buildInstruction(); });
    connect(text_, &QPlainTextEdit::textChanged, this, [this] { buildInstruction(); });
    for (int i = 0; i < 6; ++i)
        connect(colours_[static_cast<std::size_t>(i)], &QLineEdit::textChanged, this, [this, i] { colourChanged(i); });
    connect(pickBackground_, &QPushButton::clicked, this, [this] { pick(0); });
    connect(pickForeground_, &QPushButton::clicked, this, [this] { pick(1); });
    connect(connect_, &QPushButton::clicked, this, [this] { toggleConnection(); });
    connect(send_, &QPushButton::clicked, this, [this] { send(); });
}

CInstrSimDlg::~CInstrSimDlg()
{
    port_.ClosePort(); // joins the monitor before the dialog goes
}

// Every COM port that opens, then the panel's USB link when one is there. None stays open.
void CInstrSimDlg::probePorts()
{
    for (int n = 1; n <= kComPorts; ++n) {
        if (port_.InitPort(this, n, baud_, 'N', 8, 1, kEvents, kWriteBuffer))
            ports_->addItem(QStringLiteral("COM%1").arg(n), n);
        port_.ClosePort();
    }
    if (usbHost_ && UsbToolLink::openFirst(*usbHost_))
        ports_->addItem(QStringLiteral("EZUSB-0"), kInstrUsbPort);
    if (ports_->count() > 0)
        ports_->setCurrentIndex(0);
}

void CInstrSimDlg::showParameters()
{
    const int entry = instructions_->currentIndex();
    const InstructionKind& k = instructionKinds()[static_cast<std::size_t>(entry)];
    const InstructionForm f = defaultForm(entry);
    for (int i = 0; i < 8; ++i) {
        const bool used = i < k.valueCount;
        const QSignalBlocker b(values_[static_cast<std::size_t>(i)]);
        labels_[static_cast<std::size_t>(i)]->setVisible(used);
        values_[static_cast<std::size_t>(i)]->setVisible(used);
        if (used) {
            labels_[static_cast<std::size_t>(i)]->setText(q(k.labels[static_cast<std::size_t>(i)]));
            values_[static_cast<std::size_t>(i)]->setText(QString::number(f.values[static_cast<std::size_t>(i)]));
        }
    }
    const int rgb[6] = {f.background.r, f.background.g, f.background.b, f.foreground.r, f.foreground.g, f.foreground.b};
    for (int i = 0; i < 6; ++i) {
        const QSignalBlocker b(colours_[static_cast<std::size_t>(i)]);
        colours_[static_cast<std::size_t>(i)]->setText(QString::number(rgb[i]));
    }
    backgroundGroup_->setVisible(k.background);
    foregroundGroup_->setVisible(k.foreground);
    {
        const QSignalBlocker b(text_);
        text_->setPlainText(toQString(f.text));
    }
    text_->setVisible(k.text);
    buildInstruction();
}

InstructionForm CInstrSimDlg::readForm() const
{
    InstructionForm f;
    const auto number = [](const QLineEdit* e) {
        bool ok = false;
        const int v = e->text().trimmed().toInt(&ok);
        return ok ? v : (e->text().trimmed().isEmpty() ? 0 : -1);
    };
    for (std::size_t i = 0; i < 8; ++i)
        f.values[i] = number(values_[i]);
    f.background = {number(colours_[0]), number(colours_[1]), number(colours_[2])};
    f.foreground = {number(colours_[3]), number(colours_[4]), number(colours_[5])};
    f.text = fromQString(text_->toPlainText()).value_or(std::string());
    return f;
}

void CInstrSimDlg::buildInstruction()
{
    refusal_.clear();
    if (!fromQString(text_->toPlainText())) {
        bytes_.reset();
        refusal_ = "文字中有无法发送的字符!!";
    } else {
        bytes_ = picture_tool::buildInstruction(instructions_->currentIndex(), readForm(), &refusal_);
    }
    code_->setText(bytes_ ? QString::fromLatin1(instructionHex(*bytes_).c_str()) : toQString(refusal_));
    for (int group = 0; group < 2; ++group) {
        const InstructionForm f = readForm();
        const Rgb& c = group == 0 ? f.background : f.foreground;
        QPalette p = swatches_[static_cast<std::size_t>(group)]->palette();
        p.setColor(QPalette::Window, QColor(std::clamp(c.r, 0, 255), std::clamp(c.g, 0, 255), std::clamp(c.b, 0, 255)));
        swatches_[static_cast<std::size_t>(group)]->setPalette(p);
    }
}

void CInstrSimDlg::colourChanged(int index)
{
    QLineEdit* e = colours_[static_cast<std::size_t>(index)];
    if (e->text().trimmed().toInt() >= 256) {
        showMessage(q("输入的颜色值不能超过255!!"));
        const QSignalBlocker b(e);
        e->clear();
    }
    buildInstruction();
}

void CInstrSimDlg::pick(int group)
{
    const auto c = pickColour ? pickColour() : std::nullopt;
    if (!c)
        return;
    const int v[3] = {c->red(), c->green(), c->blue()};
    for (int i = 0; i < 3; ++i) {
        QLineEdit* e = colours_[static_cast<std::size_t>(group * 3 + i)];
        const QSignalBlocker b(e);
        e->setText(QString::number(v[i]));
    }
    buildInstruction();
}

void CInstrSimDlg::toggleConnection()
{
    if (connected_) {
        connected_ = false;
    } else {
        if (ports_->currentIndex() < 0) {
            showMessage(q("电脑无串口或USB没连接！！"));
            return;
        }
        const int n = ports_->currentData().toInt();
        if (n != kInstrUsbPort) {
            port_.SetDeliverToApplication(false);
            if (!port_.InitPort(this, n, baud_, 'N', 8, 1, kEvents, kWriteBuffer) || !port_.StartMonitoring()) {
                port_.ClosePort();
                showMessage(q("串口被占用"));
                return;
            }
        }
        connected_ = true;
    }
    connect_->setText(q(connected_ ? "断开连接" : "连接设备"));
    ports_->setEnabled(!connected_);
    send_->setEnabled(connected_);
}

void CInstrSimDlg::send()
{
    if (!connected_)
        return;
    if (!bytes_) {
        showMessage(toQString(refusal_));
        return;
    }
    const std::vector<std::uint8_t> bytes = hexTextToBytes(code_->text().toStdString());
    if (ports_->currentData().toInt() != kInstrUsbPort) {
        port_.WriteToPort(bytes.data(), static_cast<int>(bytes.size()));
        return;
    }
    auto pipes = usbHost_ ? UsbToolLink::openFirst(*usbHost_) : nullptr;
    std::atomic<bool> never{false};
    TransferContext context{&never, {}};
    if (!pipes || !UsbToolLink(std::move(pipes), context).writeRaw(bytes))
        showMessage(toQString(text::kCheckUsb));
}

void CInstrSimDlg::OnPortByte(unsigned char byte, int)
{
    QMetaObject::invokeMethod(this, [this, byte] { received(byte); }, Qt::QueuedConnection);
}

void CInstrSimDlg::received(std::uint8_t byte)
{
    const PanelReplyReader::Event e = reader_.feed(byte);
    if (e.sound && playSound)
        playSound(folder_ / gbkToUtf8Lossy(*e.sound));
    if (e.touch) {
        x_->setText(q("X：") + QString::number(e.touch->first));
        y_->setText(q("Y：") + QString::number(e.touch->second));
    }
}

} // namespace qv::picture_tool
