#include "app/mainframe/property_sheet.h"

#include <QDialogButtonBox>
#include <QLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qv {

namespace {

// The largest page shown whole: with the tabs, OK and Cancel and the window's frame the sheet
// then fits a 1366 x 768 screen. A longer page scrolls inside its tab.
constexpr QSize kLargestPage(1200, 520);

// A scroll area as tall as the page allows and as wide as its content, not Qt's default.
class PageScroller : public QScrollArea {
public:
    explicit PageScroller(QWidget* parent) : QScrollArea(parent) {}
    QSize sizeHint() const override
    {
        const QSize content = widget() ? widget()->sizeHint() : QSize();
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        return {std::min(content.width() + bar, kLargestPage.width()), std::min(content.height(), kLargestPage.height())};
    }
    QSize minimumSizeHint() const override { return {sizeHint().width(), 0}; }
};

// Moves a long page's layout, with the controls it holds, into a scroll area inside the
// page: the page stays the tab's widget (the sheet's users find their controls in it).
void scrollWhenLong(QWidget* page)
{
    QLayout* layout = page->layout();
    const QSize hint = page->sizeHint();
    if (layout == nullptr || (hint.height() <= kLargestPage.height() && hint.width() <= kLargestPage.width()))
        return;
    auto* content = new QWidget;
    content->setLayout(layout);  // takes it from the page, with the widgets it lays out
    auto* scroller = new PageScroller(page);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(content);
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(scroller);
}

} // namespace

CMyPropertySheet::CMyPropertySheet(const QString& title, QWidget* parent, int selectPage)
    : QDialog(parent), tabs_(new QTabWidget(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)),
      selectPage_(selectPage)
{
    setWindowTitle(title);
    buttons_->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8(u8"确定"));
    buttons_->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8(u8"取消"));
    auto* box = new QVBoxLayout(this);
    box->addWidget(tabs_);
    box->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CMyPropertySheet::AddPage(QWidget* page, const QString& title)
{
    scrollWhenLong(page);
    tabs_->addTab(page, title);
}

void CMyPropertySheet::showEvent(QShowEvent* event)
{
    // A page number past the last page opens the first one.
    tabs_->setCurrentIndex(selectPage_ >= 0 && selectPage_ < tabs_->count() ? selectPage_ : 0);
    QDialog::showEvent(event);
}

} // namespace qv
