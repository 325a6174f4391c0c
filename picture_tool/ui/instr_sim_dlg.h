#pragma once
// "指令模拟纺真": one display instruction chosen from the list, its parameters and colours, its
// bytes as hex text, sent on a serial port or the panel's USB link; what the panel sends back
// plays a wave (sound codes) or shows a touch point. Bytes from the port's monitor thread
// reach the dialog by queued calls.
#include "platform/serial/com_port.h"
#include "platform/usb/usb_host.h"
#include "picture_tool/instr/instruction.h"

#include <QColor>
#include <QDialog>
#include <array>
#include <filesystem>
#include <functional>
#include <optional>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qv::picture_tool {

inline constexpr int kInstrUsbPort = 0;

class CInstrSimDlg final : public QDialog, public CComPortOwner {
    Q_OBJECT
public:
    // `baudIndex`: the main dialog's baud choice. Waves play from `folder`.
    CInstrSimDlg(int baudIndex, usb::UsbHost* usbHost, std::filesystem::path folder, QWidget* parent = nullptr);
    ~CInstrSimDlg() override;

    // What the dialog asks of the user and the sound device; tests replace them.
    std::function<void(const QString&)> showMessage;
    std::function<std::optional<QColor>()> pickColour;
    std::function<void(const std::filesystem::path&)> playSound;

    int baud() const { return baud_; }
    bool connected() const { return connected_; }
    QComboBox* instructionCombo() const { return instructions_; }
    QComboBox* portCombo() const { return ports_; }
    QLineEdit* valueEdit(int i) const { return values_[static_cast<std::size_t>(i)]; }
    QLabel* valueLabel(int i) const { return labels_[static_cast<std::size_t>(i)]; }
    // 0..2 background red, green, blue; 3..5 foreground.
    QLineEdit* colourEdit(int i) const { return colours_[static_cast<std::size_t>(i)]; }
    QPlainTextEdit* textEdit() const { return text_; }
    QLineEdit* codeEdit() const { return code_; }
    QPushButton* connectButton() const { return connect_; }
    QPushButton* sendButton() const { return send_; }
    QPushButton* pickButton(int group) const { return group == 0 ? pickBackground_ : pickForeground_; }
    QLabel* xLabel() const { return x_; }
    QLabel* yLabel() const { return y_; }

    // CComPortOwner, on the port's monitor thread.
    void OnPortByte(unsigned char byte, int port) override;

private:
    void probePorts();
    void showParameters();
    void buildInstruction();
    void colourChanged(int index);
    void pick(int group);
    void toggleConnection();
    void send();
    void received(std::uint8_t byte);
    InstructionForm readForm() const;

    usb::UsbHost* usbHost_;
    std::filesystem::path folder_;
    int baud_ = 19200;
    CComPort port_;
    bool connected_ = false;
    PanelReplyReader reader_;
    std::optional<std::vector<std::uint8_t>> bytes_;
    std::string refusal_; // GBK: why the form cannot be sent

    QComboBox* instructions_ = nullptr;
    QComboBox* ports_ = nullptr;
    std::array<QLineEdit*, 8> values_{};
    std::array<QLabel*, 8> labels_{};
    std::array<QLineEdit*, 6> colours_{};
    std::array<QFrame*, 2> swatches_{};
    QWidget* backgroundGroup_ = nullptr;
    QWidget* foregroundGroup_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QLineEdit* code_ = nullptr;
    QPushButton* connect_ = nullptr;
    QPushButton* send_ = nullptr;
    QPushButton* pickBackground_ = nullptr;
    QPushButton* pickForeground_ = nullptr;
    QLabel* x_ = nullptr;
    QLabel* y_ = nullptr;
};

} // namespace qv::picture_tool
