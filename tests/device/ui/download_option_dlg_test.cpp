// The download options dialog on the offscreen platform.
#include "device/ui/download_option_dlg.h"
#include "tests/app/qt_app.h"
#include "tests/device/sim_link_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

namespace qv::device::test {
namespace {

void twoPanels(UsbDeviceList& list)
{
    usb::UsbCandidate a, b;
    a.kind = usb::UsbKind::EzUsb;
    a.node = "a";
    b.kind = usb::UsbKind::Hid;
    b.node = "b";
    list.Rebuild({a}, {b}, {});
}

TEST(CDlgDownloadOption, DefaultsAndNetworkVisibility)
{
    qv::test::qtApp();
    UsbDeviceList list;
    twoPanels(list);
    int scans = 0;
    CDlgDownloadOption dialog(DownloadOptionValues{}, list, [&] { ++scans; }, QStringLiteral("/p/MC8051/MC8051.HEX"));
    dialog.show();
    EXPECT_EQ(scans, 1);
    EXPECT_TRUE(dialog.wholeProject()->isChecked());
    EXPECT_EQ(dialog.deviceCombo()->count(), 2);
    EXPECT_EQ(dialog.deviceCombo()->itemText(0), QString::fromUtf8(u8"01号设备(自定义类驱动)"));
    EXPECT_TRUE(dialog.userCodeEdit()->isReadOnly());
    const DownloadOptionValues v = dialog.values();
    EXPECT_EQ(encodeDownloadOptions(v), encodeDownloadOptions(DownloadOptionValues{}));
    EXPECT_TRUE(v.resolutionMustMatch);
    EXPECT_FALSE(v.resetAfter);
    // Unticked: the group and the machine name are hidden, ticked they show together.
    for (QWidget* w : dialog.networkWidgets())
        EXPECT_FALSE(w->isVisible());
    dialog.ethernetBox()->click();
    EXPECT_TRUE(dialog.values().setEthernet);
    for (QWidget* w : dialog.networkWidgets())
        EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(dialog.machineNameEdit()->isVisible());
}

// The box only shows and hides the network fields: a value edited while they showed still
// reaches the option bytes once the box is unticked again.
TEST(CDlgDownloadOption, NetworkValuesReachTheOptionsWithTheBoxUnticked)
{
    qv::test::qtApp();
    UsbDeviceList list;
    twoPanels(list);
    CDlgDownloadOption dialog(DownloadOptionValues{}, list, {}, {});
    dialog.show();
    dialog.ethernetBox()->click();
    QSpinBox* localPort = nullptr;
    for (QWidget* w : dialog.networkWidgets())
        if (auto* spin = qobject_cast<QSpinBox*>(w); spin && spin->value() == 8088)
            localPort = spin;
    ASSERT_NE(localPort, nullptr);
    localPort->setValue(9000);
    dialog.ethernetBox()->click();
    EXPECT_FALSE(localPort->isVisible());
    const DownloadOptionValues v = dialog.values();
    EXPECT_FALSE(v.setEthernet);
    const auto bytes = encodeDownloadOptions(v);
    EXPECT_EQ(bytes[opt::LocalPort] | bytes[opt::LocalPort + 1] << 8, 9000);
}

TEST(CDlgDownloadOption, MachineNameIsCheckedOnOk)
{
    qv::test::qtApp();
    const struct {
        const char8_t* name;
        bool accepted;
    } cases[] = {{u8"ABCDEFGHIJKLMNO", true}, {u8"ABCDEFGHIJKLMNOP", false}, {u8"机器1", false}};
    for (const auto& c : cases) {
        UsbDeviceList list;
    twoPanels(list);
        CDlgDownloadOption dialog(DownloadOptionValues{}, list, {}, {});
        QStringList refused;
        dialog.refuse = [&](const QString& t) { refused << t; };
        dialog.show();
        dialog.machineNameEdit()->setText(QString::fromUtf8(reinterpret_cast<const char*>(c.name)));
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted);
        EXPECT_EQ(refused.isEmpty(), c.accepted);
    }
}

TEST(CDlgDownloadOption, ListChangeMovesTheSelectionEvenOnCancel)
{
    qv::test::qtApp();
    UsbDeviceList list;
    twoPanels(list);
    {
        CDlgDownloadOption dialog(DownloadOptionValues{}, list, {}, {});
        dialog.show();
        dialog.deviceCombo()->setCurrentIndex(1);
        dialog.reject();
    }
    EXPECT_EQ(list.Get().selected, 1);
}

TEST(CDlgDownloadOption, SelfConfirmingDialogPressesOkOnce)
{
    qv::test::qtApp();
    UsbDeviceList list;
    twoPanels(list);
    DownloadOptionValues preset;
    preset.selfConfirm = true;
    preset.resetAfter = true;
    CDlgDownloadOption dialog(preset, list, {}, {});
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted); // returns once the dialog pressed OK itself
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_TRUE(dialog.values().resetAfter);
}

} // namespace
} // namespace qv::device::test
