#pragma once
// The project-properties sheet "工程属性" with its settings page (CDlgCOMSET): the two serial
// ports, their protocols, their online connection and the project's panel options, over the
// headless page model. OK checks the page with the sheet still open.
#include <array>
#include <functional>

#include <QDialog>

#include "config/settings/com_set_page.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace qv {

class CEditorApp;

class CDlgCOMSET : public QDialog {
public:
    // `firstFreeVarByte`: the default copy length of the copy protocol; `connected`: which of
    // the project document's ports are linked now.
    CDlgCOMSET(settings_page::ComSetPage page, int firstFreeVarByte, std::array<bool, 2> connected = {},
               QWidget* parent = nullptr);

    // The page as the controls hold it; fields the user left alone keep their stored values.
    settings_page::ComSetPage Page() const;
    void accept() override;

    // The other-settings button of a port (index 0 or 1); by default nothing.
    std::function<void(int port, settings_page::ComSetPage& page)> onOtherSettings;
    // The connect button: open the port (false with the reason, UTF-8) or close it.
    std::function<bool(int port, const settings_page::ComSetPage& page, std::string* why)> onConnect;
    std::function<void(int port)> onDisconnect;
    // Refusals and the port messages; by default a warning box.
    std::function<void(const QString&)> showMessage;
    // Asked on OK when the resolution changed, since the windows are rescaled and saved at
    // once; by default a question box whose Cancel keeps the sheet open with nothing stored.
    std::function<bool(const QString&)> confirmRescale;

    void OnPort1ProtocolChanged() { OnProtocolChanged(0); }
    void OnPort2ProtocolChanged() { OnProtocolChanged(1); }
    void OnPort1Connect() { OnConnect(0); }
    void OnPort2Connect() { OnConnect(1); }

    struct PortControls {
        QComboBox* com;
        QLineEdit* baud;
        QComboBox* dataBits;
        QComboBox* stopBits;
        QComboBox* parity;
        QComboBox* protocol;
        QLabel* lengthLabel;
        QSpinBox* length;
        QLabel* addressLabel;
        QSpinBox* address;
        QPushButton* other;
        QPushButton* connect;
    };
    const PortControls& port(int i) const { return m_ports[static_cast<std::size_t>(i)]; }
    QSpinBox* widthSpin() const { return m_width; }
    QSpinBox* heightSpin() const { return m_height; }
    // "工程密码:", "时间（秒）：", "画面号：" in the order of settings_page::PanelNumbers().
    QLineEdit* panelNumber(int i) const { return m_numbers[static_cast<std::size_t>(i)]; }
    QCheckBox* calibrationCheck() const { return m_checks[0]; }
    QCheckBox* idleReturnCheck() const { return m_checks[1]; }
    QComboBox* hiddenCombo(int i) const { return m_hidden[static_cast<std::size_t>(i)]; }

private:
    void OnProtocolChanged(int index);
    void OnConnect(int index);
    void ShowPage();
    void RememberShown();
    void ApplyView();
    void ShowConnected(int index);

    settings_page::ComSetPage m_page;
    int m_openedWidth = 0, m_openedHeight = 0; // the resolution the sheet opened with
    int m_firstFreeVarByte;
    std::array<bool, 2> m_connected;
    std::array<PortControls, 2> m_ports{};
    QSpinBox* m_width;
    QSpinBox* m_height;
    std::array<QCheckBox*, 3> m_upload{};
    std::array<QLineEdit*, 3> m_numbers{};
    std::array<QLabel*, 3> m_numberLabels{};
    std::array<QCheckBox*, 2> m_checks{};
    std::array<QComboBox*, 4> m_hidden{};
    // What the panel fields showed when the sheet opened, so only edits go back.
    std::array<QString, 3> m_shownNumbers;
    std::array<bool, 2> m_shownChecks{};
    std::array<int, 4> m_shownHidden{};
};

// "工程属性": runs the sheet over the open project and stores it when accepted. Nothing
// happens without a project.
void OnProjectProperties(CEditorApp& app, QWidget* parent);

} // namespace qv
