#include "app/project_commands/project_commands.h"

#include "app/commands/command_actions.h"
#include "app/mainframe/folder_dialog.h"
#include "app/mainframe/main_frame.h"
#include "app/startup/message_box.h"
#include "model/app/editor_app.h"
#include "platform/qt/qtext.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

namespace qv {

namespace {

QString u8q(const char8_t* text) { return QString::fromUtf8(reinterpret_cast<const char*>(text)); }

std::filesystem::path toPath(const QString& s) { return std::filesystem::path(s.toStdU16String()); }

QString fromPath(const std::filesystem::path& p) { return QString::fromStdU16String(p.u16string()); }

// The new-project dialog: name, location with a folder button, and the display resolution.
class NewProjectDialog : public QDialog {
public:
    NewProjectDialog(QWidget* parent, const std::filesystem::path& location) : QDialog(parent)
    {
        setWindowTitle(u8q(u8"新建工程"));
        name_ = new QLineEdit(u8q(u8"PrjName"), this);
        location_ = new QLineEdit(fromPath(location), this);
        auto* browse = new QPushButton(u8q(u8"..."), this);
        width_ = new QSpinBox(this);
        height_ = new QSpinBox(this);
        for (QSpinBox* box : {width_, height_})
            box->setRange(1, 8192);
        width_->setValue(1024);
        height_->setValue(768);
        auto* locationRow = new QHBoxLayout;
        locationRow->addWidget(location_);
        locationRow->addWidget(browse);
        auto* form = new QFormLayout(this);
        form->addRow(u8q(u8"工程名称:"), name_);
        form->addRow(u8q(u8"存放位置:"), locationRow);
        form->addRow(u8q(u8"显示器宽度:"), width_);
        form->addRow(u8q(u8"显示器高度:"), height_);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        form->addRow(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(browse, &QPushButton::clicked, this, [this] {
            CFolderDialog picker(u8q(u8"请选择目录："), location_->text(), this);
            if (picker.DoModal() == CFolderDialog::Ok)
                location_->setText(picker.GetFolderPath());
        });
    }

    // nullopt when the name cannot be held in the project's GBK text (the user is told).
    std::optional<NewProjectChoice> choice()
    {
        const auto name = fromQString(name_->text());
        if (!name) {
            showMessageBox(this, "工程名称含有GBK不能表示的字符", QMessageBox::Warning);
            return std::nullopt;
        }
        return NewProjectChoice{toPath(location_->text()), *name, width_->value(), height_->value()};
    }

private:
    QLineEdit* name_;
    QLineEdit* location_;
    QSpinBox* width_;
    QSpinBox* height_;
};

} // namespace

std::optional<NewProjectChoice> QtProjectDialogs::NewProject(const std::filesystem::path& presetLocation)
{
    if (nonInteractive())
        return std::nullopt;
    NewProjectDialog dlg(parent_, presetLocation);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.choice();
}

std::optional<std::filesystem::path> QtProjectDialogs::ChooseProjectFile()
{
    if (nonInteractive())
        return std::nullopt;
    QFileDialog dlg(parent_, u8q(u8"打开工程"), QString(), u8q(u8"工程(*.hmi)"));
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setDefaultSuffix(u8q(u8"hmi"));
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    return toPath(dlg.selectedFiles().front());
}

std::optional<std::filesystem::path> QtProjectDialogs::ChooseFolder(std::string_view titleGbk)
{
    if (nonInteractive())
        return std::nullopt;
    CFolderDialog picker(toQString(titleGbk), QString(), parent_);
    if (picker.DoModal() != CFolderDialog::Ok)
        return std::nullopt;
    return toPath(picker.GetFolderPath());
}

ProjectDialogs::SaveChoice QtProjectDialogs::AskSaveProject()
{
    if (nonInteractive())
        return Cancel;
    QMessageBox box(QMessageBox::Question, u8q(u8"工程保存"), u8q(u8"工程已被修改，是否要保存？"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
    box.button(QMessageBox::Yes)->setText(u8q(u8"是"));
    box.button(QMessageBox::No)->setText(u8q(u8"否"));
    box.button(QMessageBox::Cancel)->setText(u8q(u8"取消"));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Save;
    case QMessageBox::No:
        return DontSave;
    default:
        return Cancel;
    }
}

void bindProjectCommands(CMainFrame& frame, CEditorApp& app)
{
    // The dialogs live as long as the frame; the application forgets them first.
    auto* holder = new QObject(&frame);
    auto dialogs = std::make_shared<QtProjectDialogs>(&frame);
    app.SetProjectDialogs(dialogs.get());
    QObject::connect(holder, &QObject::destroyed, [&app, dialogs] { app.SetProjectDialogs(nullptr); });

    using cmd::Owner;
    struct Binding {
        int id;
        bool (CEditorApp::*run)();
    };
    // Ids of the no-document menu and of the project menu.
    static constexpr Binding kBindings[] = {
        {32825, &CEditorApp::OnFileNewProject}, {32826, &CEditorApp::OnFileOpenProject},
        {32819, &CEditorApp::OnProjectNew},     {32820, &CEditorApp::OnProjectOpen},
        {32821, &CEditorApp::OnProjectClose},   {32822, &CEditorApp::SaveModifiedDocuments},
        {32823, &CEditorApp::OnProjectSaveAs},
    };
    CMainFrame* f = &frame;
    for (const Binding& b : kBindings)
        frame.commands().bind({Owner::App, b.id}, [&app, f, run = b.run] {
            (app.*run)();
            f->RefreshCommands();
        });
}

} // namespace qv
