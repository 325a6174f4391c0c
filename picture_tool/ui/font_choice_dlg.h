#pragma once
// "字库选择": one check box per font pair or font, ticked where the previous choice chose its
// first slot. In mass-production mode the caption and the OK button read "生成量产文件".
#include "picture_tool/fonts/font_download.h"

#include <QDialog>
#include <filesystem>
#include <map>
#include <set>

class QCheckBox;
class QPushButton;

namespace qv::picture_tool {

class CFontChoiceDlg final : public QDialog {
    Q_OBJECT
public:
    // `folder` holds "zk" for the font maker behind "编辑制作自己的字库" (created disabled).
    CFontChoiceDlg(const FontSelection& previous, bool massProduction, std::filesystem::path folder,
                   QWidget* parent = nullptr);

    std::set<int> ticked() const;
    QCheckBox* box(int id) const;
    QPushButton* okButton() const { return ok_; }
    QPushButton* makerButton() const { return maker_; }

private:
    std::map<int, QCheckBox*> boxes_;
    QPushButton* ok_ = nullptr;
    QPushButton* maker_ = nullptr;
};

} // namespace qv::picture_tool
