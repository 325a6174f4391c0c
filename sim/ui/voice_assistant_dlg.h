#pragma once
// "语音助手": reads a text aloud with the speech engine, writes it as a wave file, and builds
// the panel's voice library on a worker thread. Where the library or the file goes is asked
// before any work starts; the worker reports through the report queue only.
#include "platform/report/report_queue.h"
#include "platform/sound/sound_player.h"
#include "platform/speech/speech_engine.h"
#include "sim/ui/voice_path_dlg.h"
#include "sim/voice/voice_library_builder.h"

#include <QDialog>

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSlider;

namespace qv {

struct VoiceAssistantServices {
    SpeechEngine* engine = nullptr;
    SoundPlayer* player = nullptr;
    ReportQueue* reports = nullptr; // drained on the GUI thread
    std::filesystem::path projectFolder;
    // Each may stay empty: the dialog then uses its own (storage dialog, the desktop's file
    // manager, a message box).
    std::function<std::optional<VoiceStorage>(const QString& presetName)> chooseStorage;
    std::function<void(const std::filesystem::path& folder)> openFolder;
    std::function<void(const QString& message)> showMessage;
};

class CDlgVoiceAssistant : public QDialog {
    Q_OBJECT
public:
    explicit CDlgVoiceAssistant(VoiceAssistantServices services, QWidget* parent = nullptr);
    ~CDlgVoiceAssistant() override;

    bool Building() const { return building_; }

    QComboBox* voiceCombo() const { return voice_; }
    QComboBox* formatCombo() const { return format_; }
    QSlider* rateSlider() const { return rate_; }
    QPlainTextEdit* textEdit() const { return text_; }
    QPushButton* buildButton() const { return build_; }
    QPushButton* closeButton() const { return close_; }
    QPushButton* speakButton() const { return speak_; }
    QPushButton* stopButton() const { return stop_; }
    QPushButton* waveButton() const { return wave_; }
    QProgressBar* progressBar() const { return progress_; }

    void reject() override; // refused while a library is being built

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    SpeechRequest Request(const QString& text) const;
    void Speak();
    void Stop();
    void WriteWave();
    void BuildOrAbort();
    void Finished(const sim::VoiceLibraryOutcome& outcome);
    void SetBuilding(bool building);
    void Tell(const QString& message);
    std::optional<VoiceStorage> ChooseStorage(const QString& presetName);
    void OpenFolder(const std::filesystem::path& folder);

    VoiceAssistantServices services_;
    std::vector<SpeechVoice> voices_;
    bool building_ = false;
    sim::VoiceLibraryWorker worker_;

    QComboBox* voice_ = nullptr;
    QComboBox* format_ = nullptr;
    QSlider* rate_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QPushButton* build_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* speak_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* wave_ = nullptr;
    QProgressBar* progress_ = nullptr;
};

} // namespace qv
