#include "props/ui/recipe_dialogs.h"

#include "props/ui/page_seams.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace qv {
namespace {

QString u8text(const char8_t* s) { return QString::fromUtf8(s); }

QDialogButtonBox* okCancel(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(dialog);
    buttons->addButton(u8text(u8"确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(u8text(u8"取消"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QComboBox* sortedCombo(QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::InsertAlphabetically);
    return combo;
}

} // namespace

CDlgPeiFangParam::CDlgPeiFangParam(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(u8text(u8"配方参数"));
    auto* form = new QFormLayout(this);
    auto* port = new QComboBox(this);
    port->addItems({u8text(u8"串口一"), u8text(u8"串口二")});
    form->addRow(u8text(u8"串口选择："), port);
    form->addRow(u8text(u8"配方类型名字："), new QLineEdit(this));
    form->addRow(u8text(u8"配方数据HMI变量首地址："), sortedCombo(this));
    form->addRow(u8text(u8"设备寄存器（字类型）首地址："), new QLineEdit(this));
    form->addRow(u8text(u8"映射数量（字为单位）："), new QLineEdit(this));
    form->addRow(u8text(u8"配方组索引HMI变量地址："), sortedCombo(this));
    form->addRow(u8text(u8"最大组数量："), new QLineEdit(this));
    form->addRow(new QCheckBox(u8text(u8"当<配方组索引>改变时自动读取配方数据到HMI变量数据区"), this));
    form->addRow(new QCheckBox(u8text(u8"允许为每一组配方记录命名"), this));
    form->addRow(u8text(u8"配方组名字HMI变量首地址："), sortedCombo(this));
    form->addRow(u8text(u8"长度（字节）："), new QLineEdit(this));
    form->addRow(new QCheckBox(u8text(u8"允许为每一组配方记录做备注"), this));
    form->addRow(u8text(u8"配方组备注HMI变量首地址："), sortedCombo(this));
    form->addRow(u8text(u8"长度（字节）："), new QLineEdit(this));
    form->addRow(new QRadioButton(u8text(u8"配方数据保存到FLASH"), this));
    form->addRow(new QRadioButton(u8text(u8"配方数据保存到TF卡"), this));
    form->addRow(okCancel(this));
}

CDlgPeiFangMgr::CDlgPeiFangMgr(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(u8text(u8"配方管理"));
    auto* box = new QVBoxLayout(this);
    auto* group = new QGroupBox(u8text(u8"配方类型"), this);
    auto* groupBox = new QVBoxLayout(group);
    groupBox->addWidget(new QTableWidget(0, 1, group));
    box->addWidget(group);
    auto* row = new QHBoxLayout;
    auto* add = new QPushButton(u8text(u8"添加"), this);
    add->setObjectName(QStringLiteral("add"));
    row->addWidget(add);
    row->addWidget(new QPushButton(u8text(u8"删除"), this));
    row->addWidget(new QPushButton(u8text(u8"编辑"), this));
    box->addLayout(row);
    box->addWidget(okCancel(this));
    connect(add, &QPushButton::clicked, this, &CDlgPeiFangMgr::AddRecipe);
}

void CDlgPeiFangMgr::AddRecipe()
{
    CDlgPeiFangParam dialog(this);
    RunPageDialog(dialog);
}

void RunRecipeManager(QWidget* parent)
{
    CDlgPeiFangMgr dialog(parent);
    RunPageDialog(dialog);
}

} // namespace qv
