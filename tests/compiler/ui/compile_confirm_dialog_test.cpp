#include "compiler/ui/compile_confirm_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

using qv::compile::CompileOptions;

// The application lives from the first test to the end of the run and is destroyed before
// static destructors run (Qt's input devices must not outlive it).
class QtApp : public ::testing::Environment {
public:
    void TearDown() override { app_.reset(); }
    QApplication& get()
    {
        if (!app_)
            app_ = std::make_unique<QApplication>(argc_, argv_);
        return *app_;
    }

private:
    int argc_ = 1;
    char name_[5] = "test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

QtApp* const qtApp = static_cast<QtApp*>(::testing::AddGlobalTestEnvironment(new QtApp));

QApplication& app() { return qtApp->get(); }

TEST(CDlgCompileConfirm, ShowsTheOptionsAndReturnsWhatTheUserChose)
{
    app();
    CDlgCompileConfirm dlg;
    dlg.setOptions(CompileOptions{1, 4, 2, 1, 15, 0});
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8(u8"编译确认"));
    EXPECT_EQ(dlg.flashSizeCombo()->count(), 10);
    EXPECT_EQ(dlg.flashSizeCombo()->currentText(), QString::fromUtf8(u8"1G字节"));
    EXPECT_EQ(dlg.colourDepthCombo()->currentText(), QString::fromUtf8(u8"18位色"));
    EXPECT_EQ(dlg.mouseModeCombo()->currentText(), QString::fromUtf8(u8"总是使用"));
    EXPECT_EQ(dlg.updateLayersCombo()->currentText(), QString::fromUtf8(u8"两层"));
    EXPECT_EQ(dlg.buzzerSpin()->value(), 15);

    dlg.show();
    dlg.flashSizeCombo()->setCurrentIndex(9);
    QTest::mouseClick(dlg.rotatedCheck(), Qt::LeftButton, {}, QPoint(4, dlg.rotatedCheck()->height() / 2));
    dlg.buzzerSpin()->selectAll();
    QTest::keyClicks(dlg.buzzerSpin(), QStringLiteral("2000"));
    EXPECT_EQ(dlg.options(), (CompileOptions{1, 9, 2, 1, 200, 1})) << "the coefficient field holds at most 1000";
}

TEST(CDlgCompileConfirm, AStoredValueOutsideItsListIsKeptUnlessChanged)
{
    app();
    CDlgCompileConfirm dlg;
    dlg.setOptions(CompileOptions{0, 12, 1, 0, 15, 0});
    EXPECT_EQ(dlg.flashSizeCombo()->currentIndex(), -1);
    EXPECT_EQ(dlg.options().flashSizeCode, 12);
    dlg.flashSizeCombo()->setCurrentIndex(2);
    EXPECT_EQ(dlg.options().flashSizeCode, 2);
}

TEST(CDlgCompileConfirm, BuzzerTestButtonTakesTheCoefficientItEndsWith)
{
    app();
    CDlgCompileConfirm dlg;
    int runs = 0;
    std::optional<int> result = 321;
    dlg.setBuzzerTest([&] {
        ++runs;
        return result;
    });
    dlg.show();
    QTest::mouseClick(dlg.buzzerTestButton(), Qt::LeftButton);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(dlg.buzzerSpin()->value(), 321);
    result.reset();
    QTest::mouseClick(dlg.buzzerTestButton(), Qt::LeftButton);
    EXPECT_EQ(dlg.buzzerSpin()->value(), 321) << "a cancelled test leaves the field";
}

} // namespace
