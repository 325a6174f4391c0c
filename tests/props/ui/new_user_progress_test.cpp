// A new user's progress bar on a copy of the shipped sample project: drawn with its tool,
// bound in its sheet to a Modbus holding register of port 1, its background a picture
// chosen from a folder outside the project; the binding and the picture are kept through
// save, reopen and compile, and the compiled item reads its value from the register's
// variable over the chosen picture.
#include "model/params/block_bytes.h"
#include "model/shape/shape_kind.h"
#include "model/vars/hmi_var_table.h"
#include "platform/files/atomic_file.h"
#include "props/ui/address_group_widget.h"
#include "props/ui/page_seams.h"
#include "tests/compiler/image_walker.h"
#include "tests/props/ui/new_user_fixture.h"

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>

#include <algorithm>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRegisterVar = "m_PlcCom1SlaveAdr1VW100";
constexpr std::uint16_t kBlue565 = 0x001F;

class NewUserProgress : public NewUserFixture {
protected:
    void SetUp() override
    {
        NewUserFixture::SetUp();
        ASSERT_FALSE(HasFailure());
        outside = dir.path() / "my pictures" / "bar.bmp";
        fs::create_directories(outside.parent_path());
        QImage blue(24, 12, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        ASSERT_TRUE(blue.save(QString::fromStdU16String(outside.u16string()), "BMP"));
        PageDialogs scripted;
        scripted.pickOpenFile = [this](QWidget*, const QString&) { return QString::fromStdU16String(outside.u16string()); };
        scripted.message = [this](QWidget*, const QString& text) { pageMessages << text; };
        previous = SetPageDialogs(scripted);
    }
    void TearDown() override
    {
        SetPageDialogs(previous);
        NewUserFixture::TearDown();
    }

    // The bar's binding and picture as stored in `bar`, with the project it lives in.
    void expectBoundWithPicture(const CDrawObj& bar)
    {
        ASSERT_EQ(bar.Kind(), ShapeKind::ProgressBar);
        const HmiVarTable& table = app->ProjectDoc()->m_varTable;
        const int row = blockReadI32(bar.m_Params, 28);
        ASSERT_GE(row, 0);
        EXPECT_EQ(table.name.at(static_cast<std::size_t>(row)), kRegisterVar);
        EXPECT_EQ(blockReadI32(bar.m_Params, 0), 1);  // "使用图片"
        ASSERT_EQ(bar.m_strFiles.size(), 1u);
        EXPECT_EQ(bar.m_strFiles[0], "\\UserPicture\\bar.bmp");
        std::string copied, original;
        EXPECT_TRUE(readWholeFile(hmi.parent_path() / "UserPicture" / "bar.bmp", copied));
        EXPECT_TRUE(readWholeFile(outside, original));
        EXPECT_EQ(copied, original);
    }

    fs::path outside;
    PageDialogs previous;
    QStringList pageMessages;
};

TEST_F(NewUserProgress, RegisterBoundBarWithAPictureFromOutsideSurvivesSaveReopenAndCompile)
{
    ASSERT_TRUE(app->OpenProjectFile(hmi));
    expectPortsOnPseudoTerminals();
    CDrawView* view = screen();
    ASSERT_NE(view, nullptr);
    ASSERT_NO_FATAL_FAILURE(chooseModbusOnPort1());

    const std::size_t before = view->GetDocument()->m_objects.size();
    CDrawObj* bar = draw(*view, ShapeKind::ProgressBar, {60, 60}, {260, 100});
    ASSERT_EQ(view->GetDocument()->m_objects.size(), before + 1);
    ASSERT_EQ(bar->Kind(), ShapeKind::ProgressBar);
    editSheet(*view, *bar, [](CMyPropertySheet& sheet) {
        QWidget* shape = sheet.tabs()->widget(0);
        shape->findChild<QCheckBox*>(QStringLiteral("usePicture"))->setChecked(true);
        QWidget* picture = shape->findChild<QWidget*>(QStringLiteral("picture"));
        ASSERT_NE(picture, nullptr);
        QTest::mouseClick(picture->findChild<QPushButton*>(), Qt::LeftButton);
        EXPECT_TRUE(picture->findChild<QLineEdit*>()->text().endsWith(QStringLiteral("bar.bmp")));

        QWidget* control = sheet.tabs()->widget(1);
        sheet.tabs()->setCurrentWidget(control);
        auto* g = control->findChild<AddressGroupWidget*>(QStringLiteral("read"));
        ASSERT_NE(g, nullptr);
        g->target()->setCurrentIndex(1);
        g->station()->setText(QStringLiteral("1"));
        g->elementType()->setCurrentIndex(g->elementType()->findText(QString::fromUtf8(u8"功能码:0x3(读保持寄存器)")));
        g->elementNumber()->setText(QStringLiteral("100"));
        EXPECT_EQ(g->variable()->currentText(), QString::fromLatin1(kRegisterVar));
        control->findChild<QLineEdit*>(QStringLiteral("maximum"))->setText(QStringLiteral("1000"));
    });
    EXPECT_EQ(pageMessages, QStringList{});
    ASSERT_NO_FATAL_FAILURE(expectBoundWithPicture(*bar));

    view = saveAndReopen();
    ASSERT_NE(view, nullptr);
    const auto& objects = view->GetDocument()->m_objects;
    ASSERT_EQ(objects.size(), before + 1);
    const CDrawObj& kept = *objects.back();
    ASSERT_NO_FATAL_FAILURE(expectBoundWithPicture(kept));
    const std::uint32_t address = addressOf(blockReadI32(kept.m_Params, 28));
    const Rect r = kept.m_rcPosition.normalized();

    // The compiled bar reads the register's variable, drawn over the chosen picture.
    std::string bytes;
    ReadImage image;
    ASSERT_TRUE(compileAndRead(bytes, image));
    const ReadItem* item = nullptr;
    for (const ReadItem& i : image.windows[0].items)
        if (i.type == 7)
            item = &i;
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(fileU32(bytes, item->offset + 16), address);
    EXPECT_EQ(fileU32(bytes, item->offset + 24), 1000u);
    ASSERT_EQ(item->pictures.size(), 1u);
    const std::size_t count = static_cast<std::size_t>(r.width() * r.height());
    const std::vector<std::uint16_t> pixels = readRunPixels(bytes, item->pictures[0], count);
    ASSERT_EQ(pixels.size(), count);
    EXPECT_GT(std::count(pixels.begin(), pixels.end(), kBlue565), static_cast<std::ptrdiff_t>(count / 2));
}

} // namespace
} // namespace qv::test
