#include "picture_tool/ui/tessolin_dlg.h"

#include "platform/picture/picture.h"
#include "platform/picture/surface_image.h"
#include "platform/qt/qtext.h"
#include "picture_tool/download/picture_download.h"
#include "picture_tool/flash/flash_geometry.h"
#include "picture_tool/link/usb_tool_link.h"
#include "picture_tool/packed/packed_file.h"
#include "picture_tool/picture/folder_scan.h"
#include "picture_tool/runs/pack_run.h"
#include "picture_tool/runs/usb_runs.h"
#include "picture_tool/ui/tessolin_about_dlg.h"
#include "picture_tool/ui/font_choice_dlg.h"
#include "picture_tool/ui/instr_sim_dlg.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QUrl>
#include <cstdio>

namespace qv::picture_tool {
namespace {

QString q(const std::string& gbk)
{
    return toQString(gbk);
}

// Passes a worker's reports to the dialog by queued calls.
class QueuedReport final : public DownloadReport {
public:
    QueuedReport(CTessolinDlg* dlg, QLabel* status, QProgressBar* bar, QListWidget* list, QComboBox* flash,
                 DownloadKind kind, std::filesystem::path folder)
        : dlg_(dlg), status_(status), bar_(bar), list_(list), flash_(flash), kind_(kind), folder_(std::move(folder))
    {
    }
    void status(int position) override
    {
        // The report lives on the worker's stack: the call takes copies.
        QMetaObject::invokeMethod(dlg_, [s = status_, l = list_, k = kind_, f = folder_, position] {
            s->setText(statusText(l, k, f, position));
        }, Qt::QueuedConnection);
    }
    void progress(int percent) override
    {
        QMetaObject::invokeMethod(bar_, [b = bar_, percent] { b->setValue(percent); }, Qt::QueuedConnection);
    }
    void message(const std::string& gbk) override
    {
        QMetaObject::invokeMethod(dlg_, [d = dlg_, t = q(gbk)] { emit d->messageShown(t); }, Qt::QueuedConnection);
    }
    void openFile(const std::filesystem::path& file) override
    {
        QMetaObject::invokeMethod(dlg_, [d = dlg_, file] { emit d->fileOpened(file); }, Qt::QueuedConnection);
    }
    void flashType(int type) override
    {
        QMetaObject::invokeMethod(flash_, [f = flash_, type] { f->setCurrentIndex(type); }, Qt::QueuedConnection);
    }

private:
    // On the interface thread: the list is read there only.
    static QString statusText(const QListWidget* list, DownloadKind kind, const std::filesystem::path& folder,
                              int position)
    {
        if (kind == DownloadKind::Fonts)
            return position >= 0 && position < kFontSlots
                       ? q("下载字库文件") + QString::fromStdString(fontPath(folder, position).string())
                       : QString();
        const bool listed = position >= 0 && position < list->count();
        return listed ? q("下载图片：") + list->item(position)->text() : QString();
    }
    CTessolinDlg* dlg_;
    QLabel* status_;
    QProgressBar* bar_;
    QListWidget* list_;
    QComboBox* flash_;
    DownloadKind kind_;
    std::filesystem::path folder_;
};

const char* kPreviewFormats[][2] = {
    {"bmp", "BMP位图格式图片"}, {"jpg", "JPEG格式图片"}, {"gif", "GIF格式图片"}, {"jpeg", "JPEP格式图片"}};

} // namespace

CTessolinDlg::CTessolinDlg(TessolinServices services, QWidget* parent) : QDialog(parent), services_(std::move(services))
{
    setWindowTitle(QStringLiteral("Tessolin"));
    auto* grid = new QGridLayout(this);
    auto* listBox = new QGroupBox(q("图片选择"), this);
    auto* lists = new QGridLayout(listBox);
    pictures_ = new QListWidget(listBox);
    downloads_ = new QListWidget(listBox);
    lists->addWidget(pictures_, 0, 0, 5, 1);
    lists->addWidget(downloads_, 0, 2, 5, 1);
    const auto addButton = [&](int id, const char* text, QGridLayout* into, int row, int col, bool visible = true) {
        auto* b = new QPushButton(q(text), this);
        buttons_[id] = b;
        into->addWidget(b, row, col);
        b->setVisible(visible);
        if (!visible)
            b->setAttribute(Qt::WA_WState_ExplicitShowHide);
        return b;
    };
    addButton(1021, "添加图片", lists, 0, 1);
    addButton(1022, "添加全部", lists, 1, 1);
    addButton(1023, "删除指定", lists, 2, 1);
    addButton(1024, "删除全部", lists, 3, 1);
    addButton(1086, "查找图片...", lists, 4, 1);
    grid->addWidget(listBox, 0, 0, 1, 3);

    previewBox_ = new QGroupBox(this);
    auto* pv = new QGridLayout(previewBox_);
    auto* scroll = new QScrollArea(previewBox_);
    preview_ = new QLabel(scroll);
    scroll->setWidget(preview_);
    pv->addWidget(scroll);
    grid->addWidget(previewBox_, 1, 0, 1, 3);

    auto* row = new QGridLayout;
    transport_ = new QComboBox(this);
    transport_->addItems({q("通过USB下载"), q("通过以太网络下载")});
    transport_->setCurrentIndex(1);
    flash_ = new QComboBox(this);
    for (const auto& t : flashCapacityTexts())
        flash_->addItem(q(t));
    flash_->setEnabled(false);
    baud_ = new QComboBox(this);
    baud_->addItems({q("波特率:19200（默认）"), q("波特率:9600"), q("波特率:115200")});
    baud_->setVisible(false);
    row->addWidget(transport_, 0, 0);
    row->addWidget(flash_, 0, 1, 1, 3);
    row->addWidget(new QLabel(q("工控机IP:"), this), 1, 0);
    const int defaults[4] = {192, 168, 1, 18};
    for (int i = 0; i < 4; ++i) {
        ip_[static_cast<std::size_t>(i)] = new QSpinBox(this);
        ip_[static_cast<std::size_t>(i)]->setRange(0, 255);
        ip_[static_cast<std::size_t>(i)]->setValue(defaults[i]);
        row->addWidget(ip_[static_cast<std::size_t>(i)], 1, 1 + i);
    }
    panelPort_ = new QSpinBox(this);
    pcPort_ = new QSpinBox(this);
    for (QSpinBox* s : {panelPort_, pcPort_})
        s->setRange(8000, 20000);
    panelPort_->setValue(8088);
    pcPort_->setValue(8080);
    row->addWidget(new QLabel(q("工控机端口:"), this), 2, 0);
    row->addWidget(panelPort_, 2, 1);
    row->addWidget(new QLabel(q("电脑端口:"), this), 2, 2);
    row->addWidget(pcPort_, 2, 3);
    grid->addLayout(row, 2, 0, 1, 3);

    auto* buttons = new QGridLayout;
    addButton(1025, "连接设备", buttons, 0, 0);
    addButton(1027, "下载图片", buttons, 0, 1);
    addButton(1137, "终止下载", buttons, 0, 2);
    addButton(1026, "下载字库", buttons, 1, 0, false);
    addButton(1041, "指令纺真", buttons, 1, 1, false);
    addButton(1135, "压缩图片和字库", buttons, 1, 2, false);
    addButton(1136, "下载压缩文件", buttons, 1, 3, false);
    addButton(1139, "设置触摸屏上电校准测试", buttons, 1, 4, false);
    addButton(1143, "下载FPGA程序", buttons, 1, 5, false);
    grid->addLayout(buttons, 3, 0, 1, 3);

    auto* progressBox = new QGroupBox(q("进度"), this);
    auto* pg = new QGridLayout(progressBox);
    progress_ = new QProgressBar(progressBox);
    progress_->setRange(0, 100);
    progress_->setValue(0);  // nothing sent yet
    status_ = new QLabel(q("文件"), progressBox);
    pg->addWidget(progress_, 0, 0);
    pg->addWidget(status_, 1, 0);
    grid->addWidget(progressBox, 4, 0, 1, 3);

    connect(button(1021), &QPushButton::clicked, this, [this] {
        if (auto* item = pictures_->currentItem())
            downloads_->addItem(item->text());
        refreshRemoveButtons();
    });
    connect(pictures_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (!busy_)
            downloads_->addItem(item->text());
        refreshRemoveButtons();
    });
    connect(button(1022), &QPushButton::clicked, this, [this] {
        for (int i = 0; i < pictures_->count(); ++i)
            downloads_->addItem(pictures_->item(i)->text());
        refreshRemoveButtons();
    });
    connect(button(1023), &QPushButton::clicked, this, [this] {
        const int row = downloads_->currentRow();
        if (row < 0)
            return;
        delete downloads_->takeItem(row);
        if (downloads_->count() > 0)
            downloads_->setCurrentRow(std::max(0, row - 1));
        refreshRemoveButtons();
    });
    connect(button(1024), &QPushButton::clicked, this, [this] {
        downloads_->clear();
        refreshRemoveButtons();
    });
    connect(button(1086), &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QString(), QString(),
                                                          q("图片(*.jpg;*.jpeg;*.bmp;*.gif)").replace(QLatin1Char(';'), QLatin1Char(' ')));
        if (!file.isEmpty())
            scanFolder(std::filesystem::path(file.toStdString()).parent_path());
    });
    connect(button(1137), &QPushButton::clicked, this, [this] { abort_ = true; });
    connect(button(1027), &QPushButton::clicked, this, [this] { onDownloadPictures(); });
    // Created hidden: nothing shows these, but what is behind them works.
    connect(button(1026), &QPushButton::clicked, this, [this] { onDownloadFonts(); });
    connect(button(1041), &QPushButton::clicked, this, [this] { onInstructions(); });
    connect(button(1135), &QPushButton::clicked, this, [this] { onPack(); });
    connect(button(1136), &QPushButton::clicked, this, [this] { onDownloadPacked(); });
    connect(button(1025), &QPushButton::clicked, this, [this] {
        std::string why;
        const bool ok = services_.usbHost && UsbToolLink::openFirst(*services_.usbHost, &why);
        message(ok ? "USB已经连接上!" : text::kCheckUsb);
    });
    for (int id : {1139, 1143})
        connect(button(id), &QPushButton::clicked, this, [this] { message("所选产品不支持该功能，谢谢!!!"); });
    connect(pictures_, &QListWidget::currentRowChanged, this, [this] { showPreview(pictures_); });
    connect(downloads_, &QListWidget::currentRowChanged, this, [this] { showPreview(downloads_); });
    connect(this, &CTessolinDlg::messageShown, this, [this](const QString& t) {
        if (qEnvironmentVariableIsEmpty("QV_NONINTERACTIVE"))
            QMessageBox::information(this, QStringLiteral("Tessolin"), t);
        else
            std::fprintf(stderr, "Tessolin: %s\n", t.toUtf8().constData());
    });
    connect(this, &CTessolinDlg::fileOpened, this, [](const std::filesystem::path& file) {
        if (qEnvironmentVariableIsEmpty("QV_NONINTERACTIVE"))
            QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
    });
    // The desktop owns the title bar's window menu, so the about entry sits in the dialog's
    // own context menu.
    systemMenu_ = new QMenu(this);
    QAction* about = systemMenu_->addAction(QString::fromUtf8(u8"关于 Tessolin(&A)..."));
    about->setData(kAboutCommand);
    connect(about, &QAction::triggered, this, [this] {
        CTessolinAboutDlg dlg(this);
        dlg.exec();
    });
    refreshRemoveButtons();
    scanFolder(services_.folder / "Pic");
}

void CTessolinDlg::contextMenuEvent(QContextMenuEvent* e)
{
    systemMenu_->popup(e->globalPos());
}

CTessolinDlg::~CTessolinDlg()
{
    abort_ = true;
    if (worker_.joinable())
        worker_.join();
}

QPushButton* CTessolinDlg::button(int id) const
{
    const auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second;
}

void CTessolinDlg::setPanelAddress(const UdpAddress& panel, std::uint16_t localPort)
{
    for (std::size_t i = 0; i < 4; ++i)
        ip_[i]->setValue(panel.ip[i]);
    panelPort_->setRange(0, 65535);
    pcPort_->setRange(0, 65535);
    panelPort_->setValue(panel.port);
    pcPort_->setValue(localPort);
}

void CTessolinDlg::setTransport(int index)
{
    transport_->setCurrentIndex(index);
}

void CTessolinDlg::scanFolder(const std::filesystem::path& folder)
{
    pictures_->clear();
    for (const auto& p : scanPictureFolder(folder))
        pictures_->addItem(QString::fromStdString(p.string()));
    if (pictures_->count() > 0)
        pictures_->setCurrentRow(0);
}

void CTessolinDlg::refreshRemoveButtons()
{
    const bool any = downloads_->count() > 0 && !busy_;
    button(1023)->setEnabled(any);
    button(1024)->setEnabled(any);
}

void CTessolinDlg::showPreview(QListWidget* list)
{
    auto* item = list->currentItem();
    if (!item)
        return;
    const std::string path = item->text().toStdString();
    std::string why;
    const PicturePtr pic = loadPictureFile(path, &why);
    if (!pic) {
        preview_->clear();
        previewBox_->setTitle(q("无法读取图片: ") + QString::fromStdString(why));
        return;
    }
    preview_->setPixmap(QPixmap::fromImage(wrapSurface(pic->pixels).copy()));
    preview_->resize(pic->width(), pic->height());
    const std::string ext = path.substr(path.find_last_of('.') + 1);
    QString format;
    for (const auto& f : kPreviewFormats)
        if (ext == f[0] || QString::fromStdString(ext) == QString::fromLatin1(f[0]).toUpper())
            format = q(f[1]);
    previewBox_->setTitle(QStringLiteral("        ") + q("图片预览效果---------") + format +
                          QStringLiteral("   width(") + q("宽度") + QStringLiteral(")=%1").arg(pic->width()) + q("象素") +
                          QStringLiteral("   higth(") + q("高度") + QStringLiteral(")=%1").arg(pic->height()) + q("象素"));
}

void CTessolinDlg::message(const std::string& gbk)
{
    emit messageShown(q(gbk));
}

void CTessolinDlg::lockControls()
{
    abort_ = false;
    busy_ = true;
    for (auto& [id, b] : buttons_)
        b->setEnabled(id == 1137);
    for (QWidget* w : std::initializer_list<QWidget*>{pictures_, downloads_, transport_})
        w->setEnabled(false);
}

void CTessolinDlg::unlockControls()
{
    for (auto& [id, b] : buttons_)
        b->setEnabled(true);
    for (QWidget* w : std::initializer_list<QWidget*>{pictures_, downloads_, transport_})
        w->setEnabled(true);
    busy_ = false;
    abort_ = false;
    refreshRemoveButtons();
}

void CTessolinDlg::finishWorker()
{
    if (worker_.joinable())
        worker_.join();
    unlockControls();
    emit downloadEnded();
}

std::vector<std::string> CTessolinDlg::listedPaths() const
{
    std::vector<std::string> paths;
    for (int i = 0; i < downloads_->count(); ++i)
        paths.push_back(downloads_->item(i)->text().toStdString());
    return paths;
}

void CTessolinDlg::startWorker(DownloadKind kind, std::function<void(DownloadReport&, TransferContext&)> body)
{
    lockControls();
    progress_->setValue(0);
    worker_ = std::thread([this, kind, body = std::move(body)] {
        QueuedReport report(this, status_, progress_, downloads_, flash_, kind, services_.folder);
        TransferContext context{&abort_, {}};
        context.progress.show = [&report](int p) { report.progress(p); };
        body(report, context);
        QMetaObject::invokeMethod(this, [this] { finishWorker(); }, Qt::QueuedConnection);
    });
}

// The font and packed downloads always go over the panel's USB pipes, start to end.
void CTessolinDlg::overUsb(DownloadReport& report, TransferContext& context, const std::function<void(UsbToolLink&)>& run)
{
    auto pipes = services_.usbHost ? UsbToolLink::openFirst(*services_.usbHost) : nullptr;
    if (!pipes) {
        report.message(text::kCheckUsb);
        return;
    }
    UsbToolLink link(std::move(pipes), context);
    run(link);
    link.command(usbcmd::kRelease);
}

void CTessolinDlg::onDownloadPictures()
{
    if (busy_)
        return;
    const std::vector<std::string> paths = listedPaths();
    if (paths.empty()) {
        message(text::kNoFiles);
        emit downloadEnded();
        return;
    }
    const bool network = transport_->currentIndex() == 1;
    UdpAddress panel;
    for (std::size_t i = 0; i < 4; ++i)
        panel.ip[i] = static_cast<std::uint8_t>(ip_[i]->value());
    panel.port = static_cast<std::uint16_t>(panelPort_->value());
    const auto localPort = static_cast<std::uint16_t>(pcPort_->value());
    startWorker(DownloadKind::Pictures, [this, paths, network, panel, localPort](DownloadReport& report,
                                                                                 TransferContext& context) {
        // Every listed picture is decoded before the panel hears anything.
        const auto pictures = decodePictures(paths, report);
        if (!pictures)
            return;
        if (network) {
            std::string why;
            auto link = UdpToolLink::open(panel, localPort, context, &why, services_.udp);
            if (!link) {
                report.message(why);
                return;
            }
            if (const auto start = startPicturesUdp(*link, paths.size(), report))
                writePictures(paths, *pictures, *start, *link, context, services_.folder, report);
            link->release();
            return;
        }
        auto pipes = services_.usbHost ? UsbToolLink::openFirst(*services_.usbHost) : nullptr;
        if (!pipes) {
            report.message(text::kCheckUsb);
            return;
        }
        UsbToolLink link(std::move(pipes), context);
        if (const auto start = startPicturesUsb(link, paths.size(), report))
            writePictures(paths, *pictures, *start, link, context, services_.folder, report);
        link.command(usbcmd::kRelease);
    });
}

std::optional<std::set<int>> CTessolinDlg::askFonts(bool massProduction)
{
    if (chooseFontBoxes)
        return chooseFontBoxes(fonts_, massProduction);
    CFontChoiceDlg dlg(fonts_, massProduction, services_.folder, this);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.ticked();
}

void CTessolinDlg::onDownloadFonts()
{
    if (busy_)
        return;
    const auto ticked = askFonts(false);
    if (!ticked)
        return;
    fonts_ = chooseFonts(*ticked);
    if (!fonts_.confirmed)
        return;
    startWorker(DownloadKind::Fonts, [this, selection = fonts_](DownloadReport& report, TransferContext& context) {
        overUsb(report, context, [&](UsbToolLink& link) {
            runFontDownload(link, selection, services_.folder, context, report);
        });
    });
}

void CTessolinDlg::onPack()
{
    if (busy_)
        return;
    const auto g = flashGeometry(flash_->currentIndex());
    if (!g) {
        message(text::kNoGeometry);
        return;
    }
    const std::vector<std::string> paths = listedPaths();
    if (paths.size() > static_cast<std::size_t>(g->maxPictures())) {
        message(withNumber(text::kTooMany, g->maxPictures()));
        return;
    }
    status_->setText(q("正在压缩，请不要移动鼠标............."));
    const auto ticked = askFonts(true);
    FontSelection selection;
    if (ticked)
        fonts_ = selection = chooseFonts(*ticked);
    if (!selection.confirmed && paths.empty()) {
        status_->clear();
        return;
    }
    const auto baud = static_cast<std::uint8_t>(baud_->currentIndex());
    startWorker(DownloadKind::Pictures, [this, paths, selection, g, baud](DownloadReport& report, TransferContext&) {
        if (const auto pictures = decodePictures(paths, report))
            packToFolder({paths, *pictures, selection, *g, baud}, services_.folder, report);
        report.status(-1);
    });
}

void CTessolinDlg::onDownloadPacked()
{
    if (busy_)
        return;
    startWorker(DownloadKind::Pictures, [this](DownloadReport& report, TransferContext& context) {
        overUsb(report, context, [&](UsbToolLink& link) { runPackedDownload(link, services_.folder, context, report); });
    });
}

void CTessolinDlg::onInstructions()
{
    CInstrSimDlg dlg(baud_->currentIndex(), services_.usbHost, services_.folder, this);
    if (services_.playSound)
        dlg.playSound = services_.playSound;
    if (runInstructions)
        runInstructions(dlg);
    else
        dlg.exec();
}

void CTessolinDlg::closeEvent(QCloseEvent* e)
{
    if (busy_)
        e->ignore();
    else
        QDialog::closeEvent(e);
}

void CTessolinDlg::reject()
{
    if (!busy_)
        QDialog::reject();
}

void CTessolinDlg::done(int r)
{
    if (!busy_)
        QDialog::done(r);
}

} // namespace qv::picture_tool
