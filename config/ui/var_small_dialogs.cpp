#include "config/ui/var_small_dialogs.h"

#include "model/vars/var_types.h"
#include "platform/qt/qtext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

namespace qv {

namespace {

// The combo's order and the range shown beside it, by entry.
struct TypeEntry {
    std::string_view type;
    const char8_t* range;
};
constexpr TypeEntry kTypeEntries[] = {
    {"signed char", u8"(8位有符号数-128～+127)"},
    {"unsigned char", u8"(8位无符号数0～+255)"},
    {"signed short", u8"(16位有符号数-32768～+32767)"},
    {"unsigned short", u8"(16位无符号数0～+65535)"},
    {"signed int", u8"(32位有符号数-2147483648～+2147483647)"},
    {"unsigned int", u8"(32位无符号数0～+4294967295)"},
};

QString u8q(const char8_t* s) { return QString::fromUtf8(reinterpret_cast<const char*>(s)); }

QDialogButtonBox* okCancel(QDialog* dlg, const char8_t* okText = nullptr)
{
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dlg);
    if (okText)
        box->button(QDialogButtonBox::Ok)->setText(u8q(okText));
    QObject::connect(box, &QDialogButtonBox::accepted, dlg, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dlg, &QDialog::reject);
    return box;
}

} // namespace

CHmiVarDlg::CHmiVarDlg(const HmiVarInput& input, bool showAddSeveral, QWidget* parent)
    : QDialog(parent), m_base(input), m_showAddSeveral(showAddSeveral)
{
    setWindowTitle(u8q(u8"HMI变量......"));
    auto* form = new QFormLayout;
    m_name = new QLineEdit(toQString(input.name), this);
    m_type = new QComboBox(this);
    m_type->setEditable(true);
    for (const TypeEntry& e : kTypeEntries)
        m_type->addItem(toQString(e.type));
    m_type->setCurrentText(toQString(input.type));
    m_range = new QLabel(this);
    m_init = new QLineEdit(toQString(input.initValue), this);
    m_description = new QPlainTextEdit(toQString(input.description), this);
    m_count = new QSpinBox(this);
    m_count->setRange(1, kMaxBatchCount);
    m_count->setValue(std::max(1, input.count));
    m_several = new QCheckBox(u8q(u8"一次添加多个"), this);
    m_several->setChecked(input.addSeveral);

    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(m_type);
    typeRow->addWidget(m_range);
    auto* initRow = new QHBoxLayout;
    initRow->addWidget(m_init);
    initRow->addWidget(new QLabel(u8q(u8"(十进制值)"), this));
    auto* severalRow = new QHBoxLayout;
    severalRow->addWidget(m_several);
    severalRow->addWidget(m_count);
    form->addRow(u8q(u8"变量名字："), m_name);
    form->addRow(u8q(u8"变量类型："), typeRow);
    form->addRow(u8q(u8"初始化值："), initRow);
    form->addRow(u8q(u8"变量解释："), m_description);
    form->addRow(severalRow);
    m_several->setVisible(showAddSeveral);
    m_count->setVisible(showAddSeveral);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
    connect(m_type, &QComboBox::currentTextChanged, this, [this] { ShowRange(); });
    ShowRange();
}

void CHmiVarDlg::ShowRange()
{
    const QString current = m_type->currentText();
    for (const TypeEntry& e : kTypeEntries)
        if (toQString(e.type) == current) {
            m_range->setText(u8q(e.range));
            return;
        }
    m_range->clear();
}

std::optional<HmiVarInput> CHmiVarDlg::Input() const
{
    HmiVarInput in = m_base;
    struct Field {
        const char8_t* label;
        QString text;
        std::string* out;
    };
    const Field fields[] = {
        {u8"变量名字", m_name->text(), &in.name},
        {u8"变量类型", m_type->currentText(), &in.type},
        {u8"初始化值", m_init->text().trimmed(), &in.initValue},
        {u8"变量解释", m_description->toPlainText(), &in.description},
    };
    for (const Field& f : fields) {
        const auto gbk = fromQString(f.text);
        if (!gbk) {
            QMessageBox::warning(const_cast<CHmiVarDlg*>(this), windowTitle(),
                                 u8q(f.label) + u8q(u8"含有GBK编码不能表示的文字，请修改"));
            return std::nullopt;
        }
        *f.out = *gbk;
    }
    in.count = m_count->value();
    // Read after the dialog closed too, when no child counts as visible any more.
    in.addSeveral = m_showAddSeveral && m_several->isChecked();
    return in;
}

void CHmiVarDlg::accept()
{
    if (Input())
        QDialog::accept();
}

CDlgPassword::CDlgPassword(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(u8q(u8"确认"));
    m_edit = new QLineEdit(this);
    m_edit->setEchoMode(QLineEdit::Password);
    m_edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_edit));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(u8q(u8"请输入密码！！！"), this));
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(u8q(u8"密码："), this));
    row->addWidget(m_edit);
    layout->addLayout(row);
    layout->addWidget(okCancel(this));
}

std::string CDlgPassword::Password() const { return m_edit->text().toStdString(); }

CDlgVarName::CDlgVarName(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(u8q(u8"请输入变量名字"));
    m_edit = new QLineEdit(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    layout->addWidget(okCancel(this, u8"查找"));
}

std::optional<std::string> CDlgVarName::Name() const { return fromQString(m_edit->text()); }

} // namespace qv
