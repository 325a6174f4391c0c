#include "sim/ui/voice_path_dlg.h"

#include "platform/files/confined_folder.h"
#include "platform/files/stored_path.h"
#include "platform/qt/qtext.h"
#include "sim/sound/sound_drives.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QVBoxLayout>


namespace qv {
namespace {

constexpr int kMaxName = 8;
constexpr std::array kChoiceLetters{'U', 'S', 'F'};
constexpr std::array<const char8_t*, 3> kChoiceLabels{u8"U  盘  里", u8"SD 卡 里", u8"FLASH里"};

QString u8(const char8_t* text) { return QString::fromUtf8(reinterpret_cast<const char*>(text)); }

} // namespace

CDlgVoicePath::CDlgVoicePath(std::filesystem::path projectFolder, const QString& presetName, QWidget* parent)
    : QDialog(parent), projectFolder_(std::move(projectFolder))
{
    setWindowTitle(u8(u8"语音存放路径"));
    auto* grid = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        choices_[static_cast<std::size_t>(i)] = new QRadioButton(u8(kChoiceLabels[static_cast<std::size_t>(i)]), this);
        auto* path = new QLineEdit(this);
        path->setReadOnly(true);
        const sim::SoundDrive* drive = sim::SoundDriveOf(kChoiceLetters[static_cast<std::size_t>(i)]);
        path->setText(QString::fromStdString((projectFolder_ / drive->folder).string()) + QStringLiteral("/"));
        paths_[static_cast<std::size_t>(i)] = path;
        grid->addWidget(choices_[static_cast<std::size_t>(i)], i, 0);
        grid->addWidget(path, i, 1);
    }
    choices_[0]->setChecked(true);
    name_ = new QLineEdit(presetName, this);
    name_->setMaxLength(kMaxName);
    grid->addWidget(new QLabel(u8(u8"文件名"), this), 3, 0);
    grid->addWidget(name_, 3, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgVoicePath::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgVoicePath::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

std::optional<VoiceStorage> CDlgVoicePath::StorageOf(const std::filesystem::path& projectFolder, int choice, const QString& name)
{
    if (choice < 0 || choice >= 3 || name.isEmpty() || name.size() > kMaxName || name.contains(QLatin1Char('/')) ||
        name.contains(QLatin1Char('\\')) || name.startsWith(QLatin1Char('.')))
        return std::nullopt;
    const auto gbk = fromQString(name);
    const sim::SoundDrive* drive = sim::SoundDriveOf(kChoiceLetters[static_cast<std::size_t>(choice)]);
    if (!gbk)
        return std::nullopt;
    const auto folder = resolveStoredPath(projectFolder, drive->folder);
    const auto cache = sim::VoiceCachePath(projectFolder, *drive);
    if (!folder || !cache)
        return std::nullopt;
    return VoiceStorage{choice, *folder, *cache, *gbk};
}

std::optional<VoiceStorage> CDlgVoicePath::Storage() const
{
    int choice = 0;
    for (int i = 0; i < 3; ++i)
        if (choices_[static_cast<std::size_t>(i)]->isChecked())
            choice = i;
    return StorageOf(projectFolder_, choice, name_->text().trimmed());
}

void CDlgVoicePath::accept()
{
    if (!Storage()) {
        QMessageBox::warning(this, windowTitle(), u8(u8"文件名无效"));
        return;
    }
    QDialog::accept();
}

std::optional<VoiceStorage> AskVoiceStorage(const std::filesystem::path& projectFolder, const QString& presetName, QWidget* parent)
{
    CDlgVoicePath dlg(projectFolder, presetName, parent);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return ConfinedVoiceStorage(projectFolder, dlg.Storage());
}

std::optional<VoiceStorage> ConfinedVoiceStorage(const std::filesystem::path& projectFolder, std::optional<VoiceStorage> storage)
{
    // Made below the project folder, never through a link; a drive folder that is one is refused.
    if (storage && !ConfinedFolder(projectFolder).openFolder(storage->folder, true))
        return std::nullopt;
    return storage;
}

} // namespace qv
