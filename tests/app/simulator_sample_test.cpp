// A new user's first run of the simulator on the shipped sample project, through the real
// main window: a value typed on the numeric keypad lands in its variable, and a button
// switches the screen.
#include "app/view/draw_view.h"
#include "model/params/block_bytes.h"
#include "model/vars/hmi_var_table.h"
#include "model/vars/hmi_vars.h"
#include "model/vars/var_types.h"
#include "sim/runtime/keypad_entry.h"
#include "sim/runtime/sim_runtime.h"
#include "tests/app/editor_window_fixture.h"

#include <QTest>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

class SimulatorSample : public EditorWindowFixture<> {
protected:
    void SetUp() override
    {
        showMainWindow(1200, 900);
        runtime = std::make_unique<sim::SimRuntime>(*app);
        app->SetSimulationServices(runtime.get());
    }
    void TearDown() override
    {
        closeMainWindow();
        app->SetSimulationServices(nullptr);
        runtime.reset();
    }

    // The sample project copied, with an input field for "温度" and a button that opens the
    // parameter screen added to its first screen.
    fs::path sampleWithControls()
    {
        const fs::path source = sourceDir() / "base" / fs::path(u8"例子") / fs::path(u8"示例工程");
        const fs::path copy = dir.path() / "sample";
        fs::copy(source, copy, fs::copy_options::recursive);
        const fs::path hmi = copy / fs::path(u8"示例工程.hmi");
        CDrawDoc project;
        DocumentError error;
        EXPECT_TRUE(project.OnOpenDocument(hmi, &error)) << error.messageGbk;
        const auto row = findVarRow(project.m_varTable, std::string("温度"));
        EXPECT_TRUE(row.has_value());

        CDrawDoc screen;
        const fs::path win0 = copy / "window" / "win0.drw";
        EXPECT_TRUE(screen.OnOpenDocument(win0, &error)) << error.messageGbk;
        auto number = std::make_unique<CDrawRect>(Rect{38 + 400, 38 + 330, 38 + 520, 38 + 370});
        number->SetKind(ShapeKind::RealTimeNumber);
        blockWriteI32(number->m_Params, 84, row.value_or(-1));
        number->m_Params[36] = 1;                   // an input field
        blockWriteI32(number->m_Params, 204, 1000); // maximum
        numberRect = number->m_rcPosition;
        screen.AddObject(std::move(number));
        auto button = std::make_unique<CDrawRect>(Rect{38 + 600, 38 + 330, 38 + 760, 38 + 370});
        button->SetKind(ShapeKind::Button);
        button->m_strFiles = {"", "", "", std::string("参数.drw")};
        button->m_Params[121] = 1;
        buttonRect = button->m_rcPosition;
        screen.AddObject(std::move(button));
        EXPECT_TRUE(screen.OnSaveDocument(win0, &error)) << error.messageGbk;
        return hmi;
    }

    CDrawView* simulatorView()
    {
        for (CSplitFrame* f : frame->DocumentWindows())
            if (auto* view = dynamic_cast<CDrawView*>(f->widget()); view && view->IsRunMode())
                return view;
        return nullptr;
    }

    void clickAt(CDrawView& view, Rect docRect)
    {
        const Point c = view.DocToClientPoint({(docRect.left + docRect.right) / 2, (docRect.top + docRect.bottom) / 2});
        const qreal dpr = view.devicePixelRatioF();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(int(c.x / dpr), int(c.y / dpr)));
    }

    // The rectangle of the key `name` on the open keypad.
    std::optional<Rect> keyRect(const char* name)
    {
        CDrawDoc* keypad = app->FindSystemSubWindowDoc();
        if (!keypad)
            return std::nullopt;
        const std::string function = "键盘\"" + std::string(name) + "\"";
        for (const auto& obj : keypad->m_objects)
            if (obj->m_strFiles.size() > 3 && obj->m_strFiles[3] == function)
                return obj->m_rcPosition.normalized();
        return std::nullopt;
    }

    std::unique_ptr<sim::SimRuntime> runtime;
    Rect numberRect, buttonRect;
};

TEST_F(SimulatorSample, TypeAValueAndSwitchTheScreen)
{
    const fs::path hmi = sampleWithControls();
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(app->OpenProjectFile(hmi));
    CDrawView* view = simulatorView();
    ASSERT_NE(view, nullptr);
    frame->ActivateDocumentWindow(frame->FindDocumentWindow(CEditorApp::kSimulatorTitle));
    ASSERT_TRUE(waitFor([&] { return view->IsActive(); }));
    ASSERT_EQ(app->m_strSimScreen, "win0.drw");

    clickAt(*view, numberRect);
    ASSERT_EQ(app->m_strSimSysWindow, "数字键盘.dlg");
    for (const char* key : {"4", "2", "确定"}) {
        const auto r = keyRect(key);
        ASSERT_TRUE(r.has_value()) << key;
        clickAt(*view, *r);
    }
    EXPECT_EQ(app->m_strSimSysWindow, "");
    std::int32_t address = -1;
    std::uint8_t type = 0;
    GetVariableAddress(*app, *findVarRow(app->ProjectDoc()->m_varTable, std::string("温度")), address, type);
    EXPECT_EQ(app->m_VarMemRun.read(address, 2), 42u);

    clickAt(*view, buttonRect);
    EXPECT_EQ(app->m_strSimScreen, "参数.drw");
}

// Each shipped sample as a new user runs it: every number field takes, on the run-mode
// keypad, the largest value its digits show and the smallest, and its variable then holds it.
// A field left with a new control's limits (0 and 0) refuses everything but 0.
TEST_F(SimulatorSample, EveryNumberFieldOfTheSamplesTakesWhatItsDigitsShow)
{
    int fields = 0;
    for (const fs::path project : {fs::path(u8"例子/示例工程"), fs::path(u8"Examples/银行ATM取款机")}) {
        SCOPED_TRACE(project.string());
        const fs::path copy = dir.path() / project.filename();
        fs::copy(sourceDir() / "base" / project, copy, fs::copy_options::recursive);
        ASSERT_TRUE(app->OpenProjectFile(copy / (project.filename().string() + ".hmi")));
        CDrawDoc* projectDoc = app->ProjectDoc();
        ASSERT_NE(projectDoc, nullptr);
        for (const auto* list : {&projectDoc->m_screenNames, &projectDoc->m_subWindowNames}) {
            for (const auto& entry : *list) {
                CDrawDoc* window = app->FindWindowDocByFileName(entry->m_strName);
                ASSERT_NE(window, nullptr) << entry->m_strName;
                for (const auto& obj : window->m_objects) {
                    if (obj->Kind() != ShapeKind::RealTimeNumber)
                        continue;
                    ++fields;
                    const int digits = obj->ParamI32(68);
                    ASSERT_GT(digits, 0);
                    ASSERT_EQ(obj->ParamI32(72), 0) << "whole numbers";
                    std::int32_t address = -1;
                    std::uint8_t type = 0;
                    GetVariableAddress(*app, blockReadI32(obj->m_Params, 84), address, type);
                    ASSERT_GE(address, 0);
                    const int width = hmiVarTypeWidth(type);
                    for (const std::string& typed : {std::string(static_cast<std::size_t>(digits), '9'), std::string("0")}) {
                        SCOPED_TRACE(typed);
                        sim::NumericKeypadKey(*app, *obj, "清除");
                        for (const char digit : typed)
                            sim::NumericKeypadKey(*app, *obj, std::string_view(&digit, 1));
                        ASSERT_TRUE(sim::StoreKeypadEntry(*app, nullptr, *obj)) << "refused";
                        EXPECT_EQ(app->m_VarMemRun.read(address, width), std::stoull(typed));
                    }
                }
            }
        }
        app->CloseAllDocuments();
    }
    EXPECT_GE(fields, 6);
}

} // namespace
} // namespace qv::test
