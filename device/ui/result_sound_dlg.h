#pragma once
// "语音播放结果提示": announces the end of a long task by sound, again every 3 seconds until
// either button closes it. m_result: 1 finished, 0 failed, anything else silent; the
// opener sets it before showing the dialog.
#include "device/sound/result_sound.h"

#include <QDialog>

#include <filesystem>
#include <functional>
#include <memory>

// What repeats the sound; the dialog's own uses a QTimer, tests drive a fake.
class ResultSoundTicker {
public:
    virtual ~ResultSoundTicker() = default;
    virtual void start(int milliseconds, std::function<void()> tick) = 0;
    virtual void stop() = 0;
};

class CDlgResultSound : public QDialog {
    Q_OBJECT
public:
    CDlgResultSound(qv::device::ResultSoundPlayer& player, std::filesystem::path baseDir,
                    std::unique_ptr<ResultSoundTicker> ticker = nullptr, QWidget* parent = nullptr);
    ~CDlgResultSound() override;

    unsigned char m_result = 0;
    void OnInitDialog();
    void OnTimer();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void play();
    qv::device::ResultSoundPlayer& player_;
    std::filesystem::path baseDir_;
    std::unique_ptr<ResultSoundTicker> ticker_;
    bool started_ = false;
};
