#include "device/ui/result_sound_dlg.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

class QtTicker final : public ResultSoundTicker {
public:
    void start(int ms, std::function<void()> tick) override
    {
        QObject::disconnect(&timer_, nullptr, nullptr, nullptr);
        QObject::connect(&timer_, &QTimer::timeout, std::move(tick));
        timer_.start(ms);
    }
    void stop() override { timer_.stop(); }

private:
    QTimer timer_;
};

constexpr int kRepeatMs = 3000;

} // namespace

CDlgResultSound::CDlgResultSound(qv::device::ResultSoundPlayer& player, std::filesystem::path baseDir,
                                 std::unique_ptr<ResultSoundTicker> ticker, QWidget* parent)
    : QDialog(parent), player_(player), baseDir_(std::move(baseDir)),
      ticker_(ticker ? std::move(ticker) : std::make_unique<QtTicker>())
{
    setWindowTitle(QString::fromUtf8(u8"语音播放结果提示"));
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QString::fromUtf8(u8"确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QString::fromUtf8(u8"取消"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(this, &QDialog::finished, this, [this] { ticker_->stop(); });
}

CDlgResultSound::~CDlgResultSound()
{
    ticker_->stop();
}

void CDlgResultSound::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        OnInitDialog();
    }
}

void CDlgResultSound::OnInitDialog()
{
    play();
    ticker_->start(kRepeatMs, [this] { OnTimer(); });
}

void CDlgResultSound::OnTimer()
{
    play();
}

void CDlgResultSound::play()
{
    if (const auto file = qv::device::ResultSoundFile(baseDir_, m_result))
        player_.PlayWave(*file);
}
