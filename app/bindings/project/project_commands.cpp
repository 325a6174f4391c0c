#include "app/bindings/project/project_commands.h"

#include "app/commands/command_actions.h"
#include "app/mainframe/folder_dialog.h"
#include "app/mainframe/main_frame.h"
#include "app/startup/message_box.h"
#include "model/app/editor_app.h"
#include "model/project/resolution_range.h"
#include "props/ui/property_page.h"
#include "platform/qt/qtext.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QGroupBox>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace qv {

namespace {

QString u8q(const char8_t* text) { return QString::fromUtf8(reinterpret_cast<const char*>(text)); }

std::filesystem::path toPath(const QString& s) { return std::filesystem::path(s.toStdU16String()); }

QString fromPath(const std::filesystem::path& p) { return QString::fromStdU16String(p.u16string()); }

// The new-project dialog: name and location under "工程路径", the display size under
// "显示器分辨率". A size outside the range is refused with the range message, never replaced.
class NewProjectDialog : public QDialog {
public:
    NewProjectDialog(QWidget* parent, const std::filesystem::path& location) : QDialog(parent)
    {
        setWindowTitle(u8q(u8"新建工程"));
        name_ = new QLineEdit(u8q(u8"PrjName"), this);
        location_ = new QLineEdit(fromPath(location), this);
        location_->setMinimumWidth(location_->fontMetrics().averageCharWidth() * 40);
        auto* browse = new QPushButton(u8q(u8"..."), this);
        auto* locationRow = new QHBoxLayout;
        locationRow->addWidget(location_);
        locationRow->addWidget(browse);
        auto* pathGroup = new QGroupBox(u8q(u8"工程路径"), this);
        auto* pathForm = new QFormLayout(pathGroup);
        pathForm->addRow(u8q(u8"工程名称:"), name_);
        pathForm->addRow(u8q(u8"存放位置:"), locationRow);

        auto* sizeGroup = new QGroupBox(u8q(u8"显示器分辨率"), this);
        auto* sizeForm = new QFormLayout(sizeGroup);
        for (SizeField& f : sizes_) {
            f.edit = new QLineEdit(QString::number(f.initial), this);
            f.edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), f.edit));
            sizeForm->addRow(u8q(f.label), f.edit);
        }

        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(pathGroup);
        layout->addWidget(sizeGroup);
        layout->addWidget(buttons);
        layout->setSizeConstraint(QLayout::SetMinimumSize);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(browse, &QPushButton::clicked, this, [this] {
            CFolderDialog picker(u8q(u8"请选择目录："), location_->text(), this);
            if (picker.DoModal() == CFolderDialog::Ok)
                location_->setText(picker.GetFolderPath());
        });
    }

    void accept() override
    {
        for (const SizeField& f : sizes_) {
            bool ok = false;
            const int value = f.edit->text().toInt(&ok);
            if (!ok || value < kMinProjectResolution || value > kMaxProjectResolution) {
                ShowRangePrompt(this, kMinProjectResolution, kMaxProjectResolution, u8q(f.label));
                f.edit->setFocus();
                f.edit->selectAll();
                return;
            }
        }
        QDialog::accept();
    }

    QLineEdit* sizeEdit(int i) const { return sizes_[i].edit; }

    // nullopt when the name cannot be held in the project's GBK text (the user is told).
    std::optional<NewProjectChoice> choice()
    {
        const auto name = fromQString(name_->text());
        if (!name) {
            showMessageBox(this, "工程名称含有GBK不能表示的字符", QMessageBox::Warning);
            return std::nullopt;
        }
        return NewProjectChoice{toPath(location_->text()), *name, sizes_[0].edit->text().toInt(),
                                sizes_[1].edit->text().toInt()};
    }

private:
    struct SizeField {
        const char8_t* label;
        int initial;
        QLineEdit* edit = nullptr;
    };
    QLineEdit* name_;
    QLineEdit* location_;
    SizeField sizes_[2] = {{u8"显示器宽度:", 1024}, {u8"显示器高度:", 768}};
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

    struct Binding {
        cmd::CommandKey key;
        bool (CEditorApp::*run)();
    };
    // Commands of the no-document menu and of the project menu.
    static constexpr Binding kBindings[] = {
        {cmd::FileNewProject, &CEditorApp::OnFileNewProject}, {cmd::FileOpenProject, &CEditorApp::OnFileOpenProject},
        {cmd::ProjectNew, &CEditorApp::OnProjectNew},         {cmd::ProjectOpen, &CEditorApp::OnProjectOpen},
        {cmd::ProjectClose, &CEditorApp::OnProjectClose},     {cmd::ProjectSave, &CEditorApp::SaveModifiedDocuments},
        {cmd::ProjectSaveAs, &CEditorApp::OnProjectSaveAs},
    };
    CMainFrame* f = &frame;
    for (const Binding& b : kBindings)
        frame.commands().bind(b.key, [&app, f, run = b.run] {
            (app.*run)();
            f->RefreshCommands();
        });
}

} // namespace qv
