// The voice assistant on screen: a fake engine for the library build, the real one for
// what a user hears and writes.
#include "platform/sound/mixer_player.h"
#include "platform/speech/espeak_engine.h"
#include "sim/ui/voice_assistant_dlg.h"
#include "sim/voice/yyk_library.h"
#include "tests/app/qt_app.h"
#include "tests/fixtures/disk_audio.h"
#include "tests/fixtures/planted_files.h"
#include "tests/sim/sound_fixture.h"
#include "tests/sim/voice_fake_engine.h"

#include <QComboBox>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace qv::test {
namespace {

QString u8(const char8_t* text) { return QString::fromUtf8(reinterpret_cast<const char*>(text)); }

class VoiceAssistantTest : public ::testing::Test {
protected:
    VoiceAssistantTest()
    {
        qtApp();
        // The GUI drains the queue as the application's report pump does.
        reports.setWakeup([this] {
            QMetaObject::invokeMethod(qApp, [this] {
                reports.drain([this](Report& r) {
                    if (auto* call = std::get_if<ReportCall>(&r))
                        call->run();
                    else if (auto* text = std::get_if<ReportText>(&r))
                        lines.push_back(text->gbk);
                });
            }, Qt::QueuedConnection);
        });
    }
    ~VoiceAssistantTest() override { reports.setWakeup(nullptr); }

    VoiceAssistantServices Services(SpeechEngine& engine, SoundPlayer& player)
    {
        VoiceAssistantServices s;
        s.engine = &engine;
        s.player = &player;
        s.reports = &reports;
        s.projectFolder = project.path();
        s.chooseStorage = [this](const QString& preset) -> std::optional<VoiceStorage> {
            presets.push_back(preset);
            if (!storageAnswer)
                return std::nullopt;
            return ConfinedVoiceStorage(project.path(), CDlgVoicePath::StorageOf(project.path(), 0, preset));
        };
        s.openFolder = [this](const std::filesystem::path& folder) { opened.push_back(folder); };
        s.showMessage = [this](const QString& m) { messages.push_back(m); };
        return s;
    }

    TempDir project;
    ReportQueue reports;
    std::vector<std::string> lines;
    std::vector<QString> presets, messages;
    std::vector<std::filesystem::path> opened;
    bool storageAnswer = true;
};

TEST_F(VoiceAssistantTest, BuildsTheLibraryWithItsControlsDisabled)
{
    FakeSpeechEngine engine;
    RecordingPlayer player;
    std::filesystem::create_directories(project.path() / "temp" / "UsbDiskTemp");
    WriteBytes(project.path() / "temp" / "UsbDiskTemp" / "1", {1});
    CDlgVoiceAssistant dlg(Services(engine, player));
    EXPECT_EQ(dlg.voiceCombo()->currentText(), QStringLiteral("Fake Mandarin"));
    EXPECT_TRUE(dlg.formatCombo()->isHidden());
    EXPECT_EQ(dlg.rateSlider()->minimum(), -10);
    EXPECT_EQ(dlg.rateSlider()->maximum(), 10);

    QTest::mouseClick(dlg.buildButton(), Qt::LeftButton);
    EXPECT_EQ(presets, std::vector<QString>{QStringLiteral("SOUND")});
    EXPECT_TRUE(dlg.Building());
    EXPECT_EQ(dlg.buildButton()->text(), u8(u8"中止创建"));
    for (QWidget* w : {static_cast<QWidget*>(dlg.voiceCombo()), static_cast<QWidget*>(dlg.rateSlider()),
                       static_cast<QWidget*>(dlg.speakButton()), static_cast<QWidget*>(dlg.stopButton()),
                       static_cast<QWidget*>(dlg.waveButton()), static_cast<QWidget*>(dlg.closeButton())})
        EXPECT_FALSE(w->isEnabled());
    dlg.reject(); // no closing while building
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dlg.Building(); }, 60000));
    EXPECT_EQ(dlg.buildButton()->text(), u8(u8"点击生成语音库文件......"));
    EXPECT_TRUE(dlg.closeButton()->isEnabled());
    EXPECT_EQ(dlg.progressBar()->value(), 0);
    EXPECT_EQ(messages, std::vector<QString>{u8(u8"成功创建语音库")});
    EXPECT_TRUE(sim::YykReader::Open(ConfinedFolder(project.path()), project.path() / "UsbDisk" / "SOUND.YYK"));
    EXPECT_EQ(opened, std::vector<std::filesystem::path>{project.path() / "UsbDisk"});
    EXPECT_FALSE(std::filesystem::exists(project.path() / "temp" / "UsbDiskTemp" / "1"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "成功创建语音库\r\n");
}

TEST_F(VoiceAssistantTest, ACancelledStorageQuestionLeavesNothing)
{
    FakeSpeechEngine engine;
    RecordingPlayer player;
    storageAnswer = false;
    CDlgVoiceAssistant dlg(Services(engine, player));
    QTest::mouseClick(dlg.buildButton(), Qt::LeftButton);
    EXPECT_FALSE(dlg.Building());
    EXPECT_EQ(messages, std::vector<QString>{u8(u8"创建语音库失败2")});
    EXPECT_TRUE(engine.texts.empty());
    EXPECT_TRUE(std::filesystem::is_empty(project.path()));
    QTest::mouseClick(dlg.waveButton(), Qt::LeftButton);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_empty(project.path()));
}

TEST_F(VoiceAssistantTest, SpeaksAndStopsThroughTheSoundDevice)
{
    FakeSpeechEngine engine;
    RecordingPlayer player;
    CDlgVoiceAssistant dlg(Services(engine, player));
    dlg.rateSlider()->setValue(-7);
    QTest::mouseClick(dlg.speakButton(), Qt::LeftButton);
    ASSERT_EQ(engine.texts.size(), 1u);
    EXPECT_EQ(engine.texts[0], std::string(reinterpret_cast<const char*>(u8"请在这里输入您要朗读的文字。")));
    EXPECT_EQ(engine.rates[0], -7);
    ASSERT_EQ(player.played.size(), 1u);
    EXPECT_TRUE(player.IsOpen());
    QTest::mouseClick(dlg.stopButton(), Qt::LeftButton);
    EXPECT_FALSE(player.IsOpen());
}

TEST_F(VoiceAssistantTest, AFailingEngineWritesNoWaveFile)
{
    FakeSpeechEngine engine;
    engine.failAtCall = 0;
    RecordingPlayer player;
    CDlgVoiceAssistant dlg(Services(engine, player));
    QTest::mouseClick(dlg.waveButton(), Qt::LeftButton);
    EXPECT_EQ(messages, std::vector<QString>{u8(u8"创建wave文件失败")});
    EXPECT_FALSE(std::filesystem::exists(project.path() / "UsbDisk" / "output.wav"));
    EXPECT_TRUE(opened.empty());
}

// A stranger's project: a link at the wave file's name or in place of the drive folder is
// refused, and what it leads to stays as it was.
TEST_F(VoiceAssistantTest, AWaveFileNeverGoesThroughALink)
{
    struct Case {
        const char* link;       // below the project folder
        bool folder;            // the link leads to the outside folder, else to a file in it
        const char8_t* message; // what the dialog tells; empty: nothing (the storage is refused)
    };
    const Case cases[] = {
        {"UsbDisk/output.wav", false, u8"创建wave文件失败"},
        {"UsbDisk", true, u8""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        TempDir outside;
        writeText(outside.path() / "output.wav", "the user's own data");
        const auto before = snapshotOf(outside.path());
        plantLink(c.folder ? outside.path() : outside.path() / "output.wav", project.path() / c.link);
        messages.clear();
        opened.clear();
        FakeSpeechEngine engine;
        RecordingPlayer player;
        CDlgVoiceAssistant dlg(Services(engine, player));
        QTest::mouseClick(dlg.waveButton(), Qt::LeftButton);
        if (*c.message)
            EXPECT_EQ(messages, std::vector<QString>{u8(c.message)});
        else
            EXPECT_TRUE(messages.empty());
        EXPECT_TRUE(opened.empty());
        EXPECT_EQ(snapshotOf(outside.path()), before);
        EXPECT_TRUE(std::filesystem::is_symlink(project.path() / c.link));
        if (c.folder) {
            EXPECT_FALSE(ConfinedVoiceStorage(project.path(), CDlgVoicePath::StorageOf(project.path(), 0, QStringLiteral("output"))));
        }
        std::filesystem::remove_all(project.path() / "UsbDisk"); // the link itself, never its target
    }
}

// As a new user: the default text read aloud and written as a wave file, with the real engine.
TEST_F(VoiceAssistantTest, ReadsItsDefaultTextAloudAndWritesAWaveFile)
{
    DiskAudio audio;
    {
        MixerSoundPlayer player;
        CDlgVoiceAssistant dlg(Services(EspeakSpeechEngine(), player));
        QTest::mouseClick(dlg.speakButton(), Qt::LeftButton);
        ASSERT_TRUE(player.IsOpen()) << player.LastError();
        EXPECT_TRUE(QTest::qWaitFor([&] {
            const auto status = player.Status();
            return status && status->position >= status->length;
        }, 60000));

        QTest::mouseClick(dlg.waveButton(), Qt::LeftButton);
        EXPECT_EQ(messages, std::vector<QString>{u8(u8"成功创建wave文件")});
        EXPECT_EQ(presets, std::vector<QString>{QStringLiteral("output")});
        const auto wave = ReadBytes(project.path() / "UsbDisk" / "output.wav");
        EXPECT_GT(VoiceWaveSamples(wave).size(), 8000u); // more than a second of speech
        EXPECT_EQ(opened, std::vector<std::filesystem::path>{project.path() / "UsbDisk"});
    }
    EXPECT_GT(LoudestSample(audio.raw()), 1000);
}

} // namespace
} // namespace qv::test
