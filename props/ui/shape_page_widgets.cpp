#include "props/ui/shape_page_widgets.h"

#include "platform/picture/picture.h"
#include "platform/picture/surface_image.h"
#include "platform/qt/qtext.h"
#include "props/ui/page_builder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include <climits>

namespace qv {
namespace {

// Writes a check back only when the user changed it, so a stored flag other than 0/1 stays.
void applyCheck(const QCheckBox* check, std::uint32_t& member)
{
    if (check->isChecked() != (member != 0))
        member = check->isChecked() ? 1 : 0;
}

} // namespace

// ---- line and fill -----------------------------------------------------------------------

RectPageWidget::RectPageWidget(RectPage& model, QWidget* parent)
    : PropertyPage(u8text(u8"外观"), parent), m_model(model), m_width(new QSpinBox(this)),
      m_lineColor(new ColorButton(u8text(u8"线条色"), model.lineColor, this)), m_lineType(new QComboBox(this)),
      m_noFill(new QCheckBox(u8text(u8"不填充"), this)),
      m_fillColor(new ColorButton(u8text(u8"填充色"), model.fillColor, this))
{
    auto* box = new QVBoxLayout(this);
    auto* line = new QGroupBox(u8text(u8"线条"), this);
    auto* lineForm = new QFormLayout(line);
    m_width->setRange(0, static_cast<int>(RectPage::kMaxLineWidth));
    m_width->setValue(static_cast<int>(std::min(model.lineWidth, RectPage::kMaxLineWidth)));
    lineForm->addRow(u8text(u8"线宽:"), m_width);
    m_lineColor->setLineSwatch(true);
    lineForm->addRow(m_lineColor);
    for (const char8_t* type : kLineTypes)
        m_lineType->addItem(u8text(type));
    m_lineType->setCurrentIndex(model.lineType < std::size(kLineTypes) ? static_cast<int>(model.lineType) : -1);
    auto* typeLabel = new QLabel(u8text(u8"线型:"), line);
    lineForm->addRow(typeLabel, m_lineType);
    typeLabel->setVisible(model.showLineType);
    m_lineType->setVisible(model.showLineType);
    box->addWidget(line);

    auto* fill = new QGroupBox(u8text(u8"填充"), this);
    auto* fillBox = new QVBoxLayout(fill);
    m_noFill->setChecked(model.noFill != 0);
    fillBox->addWidget(m_noFill);
    fillBox->addWidget(m_fillColor);
    fill->setVisible(model.showFill);
    box->addWidget(fill);
    box->addStretch();
}

void RectPageWidget::Apply()
{
    // The spin box holds the width to 0..100; a stored width past it stays unless changed.
    if (static_cast<std::uint32_t>(m_width->value()) != std::min(m_model.lineWidth, RectPage::kMaxLineWidth))
        m_model.lineWidth = static_cast<std::uint32_t>(m_width->value());
    m_model.lineColor = m_lineColor->color();
    if (m_lineType->currentIndex() >= 0 && static_cast<std::uint32_t>(m_lineType->currentIndex()) != m_model.lineType)
        m_model.lineType = static_cast<std::uint32_t>(m_lineType->currentIndex());
    applyCheck(m_noFill, m_model.noFill);
    m_model.fillColor = m_fillColor->color();
}

// ---- picture -----------------------------------------------------------------------------

PicturePageWidget::PicturePageWidget(PicturePage& model, QWidget* parent)
    : PropertyPage(u8text(u8"外观"), parent), m_model(model), m_pathEdit(new QLineEdit(this)),
      m_transparent(new QCheckBox(u8text(u8"透明"), this)),
      m_transparentColor(new ColorButton(u8text(u8"透明色"), model.transparentColor, this)),
      m_preview(new QLabel(this))
{
    auto* box = new QVBoxLayout(this);
    m_pathEdit->setReadOnly(true);
    auto* change = new QPushButton(u8text(u8"更改路径"), this);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_pathEdit);
    pathRow->addWidget(change);
    box->addLayout(pathRow);
    auto* transparency = new QGroupBox(u8text(u8"透明功能"), this);
    auto* tBox = new QHBoxLayout(transparency);
    m_transparent->setChecked(model.transparent != 0);
    tBox->addWidget(m_transparent);
    tBox->addWidget(m_transparentColor);
    box->addWidget(transparency);
    auto* preview = new QGroupBox(u8text(u8"预览"), this);
    auto* pBox = new QVBoxLayout(preview);
    m_preview->setMinimumSize(160, 120);
    m_preview->setScaledContents(true);
    pBox->addWidget(m_preview);
    box->addWidget(preview);

    connect(change, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QString(), QString(),
                                                          u8text(u8"图片(*.jpg *.jpeg *.bmp *.gif *.wmf)"));
        if (!file.isEmpty())
            ChoosePicture(std::filesystem::path(file.toStdU16String()));
    });
    ChoosePicture(model.path);
}

void PicturePageWidget::ChoosePicture(const std::filesystem::path& path)
{
    m_path = path;
    m_pathEdit->setText(QString::fromStdU16String(path.u16string()));
    std::string error;
    const PicturePtr picture = path.empty() ? nullptr : loadPictureFile(path, &error);
    // A picture that cannot be read leaves the preview empty and the known size as it was.
    if (!picture) {
        m_preview->clear();
        return;
    }
    m_model.pictureWidth = picture->width();
    m_model.pictureHeight = picture->height();
    m_preview->setPixmap(QPixmap::fromImage(wrapSurface(picture->pixels).copy()));
}

void PicturePageWidget::Apply()
{
    m_model.path = m_path;
    applyCheck(m_transparent, m_model.transparent);
    m_model.transparentColor = m_transparentColor->color();
}

// ---- text --------------------------------------------------------------------------------

namespace {

// The sample: "Quorvane" in the chosen font and colour, on the background colour or on the
// page's own colour when the text is transparent.
class TextSample : public QWidget {
public:
    explicit TextSample(const TextPageWidget& page, QWidget* parent) : QWidget(parent), m_page(page)
    {
        setMinimumSize(200, 60);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), toQColor(0x00D8E9EC));
        const QRect inner = rect().adjusted(2, 2, -2, -2);
        painter.setFont(toQFont(m_page.font()));
        QFontMetrics metrics(painter.font());
        const QString text = QString::fromUtf8(u8"Quorvane");
        const QRect textRect(inner.topLeft(), QSize(metrics.horizontalAdvance(text), metrics.height()));
        if (!m_page.transparent()->isChecked())
            painter.fillRect(textRect.intersected(inner), toQColor(m_page.backColor()));
        painter.setPen(toQColor(m_page.textColor()));
        painter.setClipRect(inner);
        painter.drawText(inner, Qt::AlignLeft | Qt::AlignTop, text);
    }

private:
    const TextPageWidget& m_page;
};

} // namespace

TextPageWidget::TextPageWidget(TextPage& model, QWidget* parent)
    : PropertyPage(u8text(u8"外观"), parent), m_model(model), m_text(new QPlainTextEdit(this)),
      m_transparent(new QCheckBox(u8text(u8"透明"), this)),
      m_backColor(new ColorButton(u8text(u8"......"), model.backColor, this)), m_font(model.font),
      m_textColor(model.textColor)
{
    m_sample = new TextSample(*this, this);
    auto* box = new QVBoxLayout(this);
    box->addWidget(new QLabel(u8text(u8"内容"), this));
    m_text->setPlainText(toQString(model.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box->addWidget(m_text);
    auto* back = new QGroupBox(u8text(u8"背景色"), this);
    auto* bBox = new QHBoxLayout(back);
    m_transparent->setChecked(model.transparent != 0);
    bBox->addWidget(m_transparent);
    bBox->addWidget(m_backColor);
    box->addWidget(back);
    auto* fontButton = new QPushButton(u8text(u8"字体..."), this);
    box->addWidget(fontButton);
    auto* sample = new QGroupBox(u8text(u8"示例"), this);
    auto* sBox = new QVBoxLayout(sample);
    sBox->addWidget(m_sample);
    box->addWidget(sample);

    connect(m_transparent, &QCheckBox::toggled, m_sample, qOverload<>(&QWidget::update));
    connect(m_backColor, &ColorButton::colorChanged, m_sample, qOverload<>(&QWidget::update));
    connect(fontButton, &QPushButton::clicked, this, [this] {
        bool ok = false;
        const QFont picked = QFontDialog::getFont(&ok, toQFont(m_font), this);
        if (ok) {
            m_font = fromQFont(picked, m_font);
            m_sample->update();
        }
    });
}

ColorRef TextPageWidget::backColor() const { return m_backColor->color(); }

bool TextPageWidget::Validate()
{
    // The text is stored as GBK; a character it cannot hold is refused, not turned into '?'.
    if (!fromQString(m_text->toPlainText())) {
        QMessageBox::warning(this, u8text(u8"Quorvane"), u8text(u8"内容中有无法保存的字符。"));
        m_text->setFocus();
        return false;
    }
    return true;
}

void TextPageWidget::Apply()
{
    QString text = m_text->toPlainText();
    // Unchanged text keeps its stored bytes (line breaks as stored).
    if (text != toQString(m_model.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")))
        m_model.text = fromQString(text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"))).value_or(m_model.text);
    applyCheck(m_transparent, m_model.transparent);
    m_model.backColor = m_backColor->color();
    m_model.font = m_font;
    m_model.textColor = m_textColor;
}

// ---- position ----------------------------------------------------------------------------

PositionPageWidget::PositionPageWidget(PositionPage& model, QWidget* parent)
    : PropertyPage(u8text(u8"位置"), parent), m_model(model), m_locked(new QCheckBox(u8text(u8"锁定位置和大小"), this)),
      m_originalSize(new QCheckBox(u8text(u8"设置为原始图片大小"), this))
{
    auto* box = new QVBoxLayout(this);
    auto* group = new QGroupBox(u8text(u8"位置"), this);
    auto* form = new QFormLayout(group);
    const char8_t* labels[] = {u8"左部:", u8"顶部:", u8"右部:", u8"下部:"};
    const int values[] = {model.position.left, model.position.top, model.position.right, model.position.bottom};
    for (int i = 0; i < 4; ++i) {
        m_edges[i] = new QSpinBox(group);
        m_edges[i]->setRange(INT_MIN, INT_MAX);
        m_edges[i]->setValue(values[i]);
        form->addRow(u8text(labels[i]), m_edges[i]);
    }
    box->addWidget(group);
    m_locked->setChecked(model.locked != 0);
    box->addWidget(m_locked);
    m_originalSize->setChecked(model.originalSize != 0);
    m_originalSize->setVisible(model.showOriginalSize);
    box->addWidget(m_originalSize);
    box->addStretch();
}

void PositionPageWidget::Apply()
{
    m_model.position = {m_edges[0]->value(), m_edges[1]->value(), m_edges[2]->value(), m_edges[3]->value()};
    applyCheck(m_locked, m_model.locked);
    if (m_model.showOriginalSize)
        applyCheck(m_originalSize, m_model.originalSize);
}

} // namespace qv
