#pragma once
// The project-properties sheet "工程属性" with its settings page (CDlgCOMSET): the two serial
// ports, their protocols and the project's resolution, over the headless page model.
#include <array>
#include <functional>

#include <QDialog>

#include "vars/settings/com_set_page.h"

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
    // `firstFreeVarByte`: the default copy length of the copy protocol.
    CDlgCOMSET(settings_page::ComSetPage page, int firstFreeVarByte, QWidget* parent = nullptr);

    // The page as the controls hold it.
    settings_page::ComSetPage Page() const;

    // The other-settings button of a port (index 0 or 1); by default nothing.
    std::function<void(int port, settings_page::ComSetPage& page)> onOtherSettings;

    void OnPort1ProtocolChanged() { OnProtocolChanged(0); }
    void OnPort2ProtocolChanged() { OnProtocolChanged(1); }

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
    };
    const PortControls& port(int i) const { return m_ports[static_cast<std::size_t>(i)]; }
    QSpinBox* widthSpin() const { return m_width; }
    QSpinBox* heightSpin() const { return m_height; }

private:
    void OnProtocolChanged(int index);
    void ShowPage();
    void ApplyView();

    settings_page::ComSetPage m_page;
    int m_firstFreeVarByte;
    std::array<PortControls, 2> m_ports{};
    QSpinBox* m_width;
    QSpinBox* m_height;
    std::array<QCheckBox*, 3> m_upload{};
};

// "工程属性": runs the sheet over the open project and stores it when accepted (refusals are
// shown and store nothing). Nothing happens without a project.
void OnProjectProperties(CEditorApp& app, QWidget* parent);

} // namespace qv
