#pragma once
// "语音存放路径": where a voice library or a wave file goes: the project's USB disk, SD card or
// flash folder, and a file name of at most 8 characters without extension.
#include <QDialog>

#include <array>
#include <filesystem>
#include <optional>
#include <string>

class QLineEdit;
class QRadioButton;

namespace qv {

struct VoiceStorage {
    int choice = 0;                    // 0 USB disk, 1 SD card, 2 flash
    std::filesystem::path folder;      // the drive's folder below the project
    std::filesystem::path cacheFolder; // the simulator's wave cache of that drive
    std::string nameGbk;               // without extension
};

class CDlgVoicePath : public QDialog {
    Q_OBJECT
public:
    CDlgVoicePath(std::filesystem::path projectFolder, const QString& presetName, QWidget* parent = nullptr);

    // The choice as made; nullopt for a name that is empty, holds a path separator or a
    // character GBK cannot hold.
    std::optional<VoiceStorage> Storage() const;
    // The storage of a choice and a name, without a dialog.
    static std::optional<VoiceStorage> StorageOf(const std::filesystem::path& projectFolder, int choice, const QString& name);

    QRadioButton* choiceButton(int i) const { return choices_[static_cast<std::size_t>(i)]; }
    QLineEdit* pathEdit(int i) const { return paths_[static_cast<std::size_t>(i)]; }
    QLineEdit* nameEdit() const { return name_; }

    void accept() override;

private:
    std::filesystem::path projectFolder_;
    std::array<QRadioButton*, 3> choices_{};
    std::array<QLineEdit*, 3> paths_{};
    QLineEdit* name_ = nullptr;
};

// Runs the dialog; nullopt when cancelled or the chosen folder is refused (see below). The
// chosen folder is created.
std::optional<VoiceStorage> AskVoiceStorage(const std::filesystem::path& projectFolder, const QString& presetName, QWidget* parent);
// `storage` with its drive folder made below the project folder; nullopt when that folder
// (or one above it) is a link or cannot be made.
std::optional<VoiceStorage> ConfinedVoiceStorage(const std::filesystem::path& projectFolder, std::optional<VoiceStorage> storage);

} // namespace qv
