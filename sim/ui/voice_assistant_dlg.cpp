#include "sim/ui/voice_assistant_dlg.h"

#include "platform/files/confined_folder.h"
#include "platform/qt/qtext.h"
#include "platform/text/gbk.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QUrl>
#include <QVBoxLayout>

namespace qv {
namespace {

QString u8(const char8_t* text) { return QString::fromUtf8(reinterpret_cast<const char*>(text)); }

const char8_t* const kBuildText = u8"点击生成语音库文件......";
const char8_t* const kAbortText = u8"中止创建";

} // namespace

CDlgVoiceAssistant::CDlgVoiceAssistant(VoiceAssistantServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services))
{
    setWindowTitle(u8(u8"语音助手"));
    voice_ = new QComboBox(this);
    format_ = new QComboBox(this);
    format_->addItem(u8(u8"8kHz 8位 单声道"));
    format_->hide(); // the library's format is fixed
    rate_ = new QSlider(Qt::Horizontal, this);
    rate_->setRange(-10, 10);
    rate_->setValue(0);
    rate_->setTickInterval(5);
    rate_->setTickPosition(QSlider::TicksBelow);
    text_ = new QPlainTextEdit(u8(u8"请在这里输入您要朗读的文字。"), this);
    build_ = new QPushButton(u8(kBuildText), this);
    close_ = new QPushButton(u8(u8"关闭"), this);
    speak_ = new QPushButton(u8(u8"朗读文本"), this);
    stop_ = new QPushButton(u8(u8"停止朗读"), this);
    wave_ = new QPushButton(u8(u8"点击生成生成wave文件......"), this);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setValue(0);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(u8(u8"语音"), this), 0, 0);
    grid->addWidget(voice_, 0, 1);
    grid->addWidget(new QLabel(u8(u8"语速"), this), 1, 0);
    grid->addWidget(rate_, 1, 1);
    auto* speakRow = new QHBoxLayout;
    speakRow->addWidget(speak_);
    speakRow->addWidget(stop_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(format_);
    layout->addWidget(text_);
    layout->addLayout(speakRow);
    layout->addWidget(wave_);
    layout->addWidget(build_);
    layout->addWidget(progress_);
    layout->addWidget(close_);

    if (services_.engine)
        voices_ = services_.engine->Voices();
    for (const SpeechVoice& v : voices_)
        voice_->addItem(QString::fromStdString(v.name));
    voice_->setCurrentIndex(PreselectedVoice(voices_));

    connect(speak_, &QPushButton::clicked, this, [this] { Speak(); });
    connect(stop_, &QPushButton::clicked, this, [this] { Stop(); });
    connect(wave_, &QPushButton::clicked, this, [this] { WriteWave(); });
    connect(build_, &QPushButton::clicked, this, [this] { BuildOrAbort(); });
    connect(close_, &QPushButton::clicked, this, &CDlgVoiceAssistant::reject);
}

CDlgVoiceAssistant::~CDlgVoiceAssistant()
{
    worker_.Abort();
    worker_.Join();
}

SpeechRequest CDlgVoiceAssistant::Request(const QString& text) const
{
    SpeechRequest request;
    request.textUtf8 = text.toStdString();
    const int voice = voice_->currentIndex();
    if (voice >= 0 && static_cast<std::size_t>(voice) < voices_.size())
        request.voice = voices_[static_cast<std::size_t>(voice)].identifier;
    request.rate = rate_->value();
    return request;
}

void CDlgVoiceAssistant::Tell(const QString& message)
{
    if (services_.showMessage)
        services_.showMessage(message);
    else
        QMessageBox::information(this, windowTitle(), message);
}

std::optional<VoiceStorage> CDlgVoiceAssistant::ChooseStorage(const QString& presetName)
{
    if (services_.chooseStorage)
        return services_.chooseStorage(presetName);
    return AskVoiceStorage(services_.projectFolder, presetName, this);
}

void CDlgVoiceAssistant::OpenFolder(const std::filesystem::path& folder)
{
    if (services_.openFolder)
        services_.openFolder(folder);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder.string())));
}

void CDlgVoiceAssistant::Speak()
{
    Stop();
    std::vector<std::uint8_t> wave;
    if (services_.engine && services_.player && services_.engine->SynthesizeWave(Request(text_->toPlainText()), wave))
        services_.player->PlayWaveBytes(std::move(wave));
}

void CDlgVoiceAssistant::Stop()
{
    if (services_.player)
        services_.player->Close();
}

void CDlgVoiceAssistant::WriteWave()
{
    const auto storage = ChooseStorage(QStringLiteral("output"));
    if (!storage)
        return;
    const auto name = gbkToUtf8(storage->nameGbk);
    std::vector<std::uint8_t> wave;
    const std::filesystem::path file = storage->folder / (name.value_or("output") + ".wav");
    // Below the project folder: a link planted at the name is refused, never written through.
    if (services_.engine && services_.engine->SynthesizeWave(Request(text_->toPlainText()), wave) &&
        ConfinedFolder(services_.projectFolder).replaceWhole(file, {reinterpret_cast<const char*>(wave.data()), wave.size()})) {
        Tell(u8(u8"成功创建wave文件"));
        OpenFolder(storage->folder);
    } else {
        Tell(u8(u8"创建wave文件失败"));
    }
}

void CDlgVoiceAssistant::BuildOrAbort()
{
    if (building_) {
        worker_.Abort();
        return;
    }
    // The question comes first: nothing is touched until the user has chosen.
    const auto storage = ChooseStorage(QStringLiteral("SOUND"));
    if (!storage) {
        Tell(u8(u8"创建语音库失败2"));
        return;
    }
    if (!services_.engine || !services_.reports) {
        Tell(toQString(sim::VoiceLibraryMessage(sim::VoiceLibraryResult::EngineFailed)));
        return;
    }
    Stop();
    sim::VoiceLibraryRequest request{storage->folder, storage->nameGbk, storage->cacheFolder, Request({}).voice, rate_->value()};
    QPointer<CDlgVoiceAssistant> self(this);
    SetBuilding(true);
    const bool started = worker_.Start(
        *services_.engine, std::move(request), *services_.reports,
        [self](int percent) {
            if (self)
                self->progress_->setValue(percent);
        },
        [self](const sim::VoiceLibraryOutcome& outcome) {
            if (self)
                self->Finished(outcome);
        });
    if (!started) {
        services_.reports->appendText("计算机内存不足\r\n");
        SetBuilding(false);
    }
}

void CDlgVoiceAssistant::Finished(const sim::VoiceLibraryOutcome& outcome)
{
    worker_.Join();
    SetBuilding(false);
    if (const std::string message = sim::VoiceLibraryMessage(outcome.result); !message.empty())
        Tell(toQString(message));
    if (outcome.result == sim::VoiceLibraryResult::Built)
        OpenFolder(outcome.library.parent_path());
}

void CDlgVoiceAssistant::SetBuilding(bool building)
{
    building_ = building;
    for (QWidget* w : {static_cast<QWidget*>(voice_), static_cast<QWidget*>(rate_), static_cast<QWidget*>(speak_),
                       static_cast<QWidget*>(stop_), static_cast<QWidget*>(wave_), static_cast<QWidget*>(close_)})
        w->setEnabled(!building);
    progress_->setValue(0);
    build_->setText(u8(building ? kAbortText : kBuildText));
}

void CDlgVoiceAssistant::reject()
{
    if (building_)
        return;
    Stop();
    QDialog::reject();
}

void CDlgVoiceAssistant::closeEvent(QCloseEvent* event)
{
    if (building_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace qv
