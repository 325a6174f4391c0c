#include "picture_tool/ui/font_choice_dlg.h"

#include "platform/qt/qtext.h"
#include "picture_tool/ui/font_maker_dlg.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace qv::picture_tool {

CFontChoiceDlg::CFontChoiceDlg(const FontSelection& previous, bool massProduction, std::filesystem::path folder,
                               QWidget* parent)
    : QDialog(parent)
{
    const QString action = toQString(massProduction ? "生成量产文件" : "确定下载选中字库");
    setWindowTitle(massProduction ? action : toQString("字库选择"));
    auto* layout = new QVBoxLayout(this);
    for (const FontBoxView& b : fontBoxes()) {
        auto* box = new QCheckBox(toQString(b.text), this);
        box->setChecked(previous.chosen[static_cast<std::size_t>(b.slot)]);
        boxes_[b.id] = box;
        layout->addWidget(box);
    }
    maker_ = new QPushButton(toQString("编辑制作自己的字库"), this);
    maker_->setEnabled(false);
    layout->addWidget(maker_);
    connect(maker_, &QPushButton::clicked, this, [this, folder = std::move(folder)] {
        CFontMakerDlg maker(folder, this);
        maker.exec();
    });
    ok_ = new QPushButton(action, this);
    auto* cancel = new QPushButton(toQString("取消"), this);
    layout->addWidget(ok_);
    layout->addWidget(cancel);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::set<int> CFontChoiceDlg::ticked() const
{
    std::set<int> out;
    for (const auto& [id, box] : boxes_)
        if (box->isChecked())
            out.insert(id);
    return out;
}

QCheckBox* CFontChoiceDlg::box(int id) const
{
    const auto it = boxes_.find(id);
    return it == boxes_.end() ? nullptr : it->second;
}

} // namespace qv::picture_tool
