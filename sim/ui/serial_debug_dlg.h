#pragma once
// "串口调试变量": talks to a target on the project's serial port 1 in the panel's own
// protocol: builds a write ("赋值") or read ("查询") frame for one HMI variable, sends it and
// shows every received byte in hexadecimal. It borrows the project document's port 1 and
// closes it for real when it disconnects or closes; it opens no other device.
#include "platform/serial/com_port.h"

#include <QColor>
#include <QDialog>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qv {

class CDrawDoc;
class CEditorApp;

class CSerialDebugDlg : public QDialog, public CComPortOwner {
    Q_OBJECT
public:
    explicit CSerialDebugDlg(CEditorApp& app, QWidget* parent = nullptr);
    ~CSerialDebugDlg() override;

    // What the dialog asks of the user; tests replace them.
    std::function<void(const QString&)> showMessage;
    std::function<std::optional<QColor>()> pickColour;

    bool IsConnected() const;
    const std::vector<std::uint8_t>& Frame() const { return frame_; }

    QLineEdit* baudEdit() const { return baud_; }
    QComboBox* portCombo() const { return port_; }
    QComboBox* commandCombo() const { return command_; }
    QComboBox* variableCombo() const { return variable_; }
    QLineEdit* frameEdit() const { return frameText_; }
    QLineEdit* valueEdit() const { return value_; }
    QPlainTextEdit* receivedEdit() const { return received_; }
    QPushButton* connectButton() const { return connect_; }
    QPushButton* sendButton() const { return send_; }
    QPushButton* clearButton() const { return clear_; }
    QPushButton* colourButton() const { return colour_; }

    void done(int result) override;

    // CComPortOwner, on the port's monitor thread.
    void OnPortByte(unsigned char byte, int port) override;
    void OnPortLost(int port, const std::string& reason) override;

private:
    void BuildFrame();
    void ToggleConnection();
    void Connect();
    void ReleasePort();
    void Send();
    void PickColour();
    void FlushReceived();
    void ShowStatus(bool connected);
    void EnableSettings(bool enabled);

    CEditorApp& app_;
    CDrawDoc& project_;
    int dataBitsIndex_ = 0;
    int stopBitsIndex_ = 0;
    int parityIndex_ = 0;
    std::vector<std::uint8_t> frame_;

    std::mutex receivedMutex_;
    std::vector<std::uint8_t> receivedPending_; // monitor thread -> GUI, one flush per event-loop pass

    QLineEdit* baud_ = nullptr;
    QComboBox* port_ = nullptr;
    QComboBox* dataBits_ = nullptr;
    QComboBox* stopBits_ = nullptr;
    QComboBox* parity_ = nullptr;
    QComboBox* command_ = nullptr;
    QComboBox* variable_ = nullptr;
    QLineEdit* frameText_ = nullptr;
    QLineEdit* value_ = nullptr;
    QPlainTextEdit* received_ = nullptr;
    QPushButton* connect_ = nullptr;
    QPushButton* send_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* colour_ = nullptr;
};

} // namespace qv
