#pragma once
// "字库选择": one check box per font pair or font, ticked where the previous choice chose its
// first slot. In mass-production mode the caption and the OK button read "生成量产文件".
#include "tool/fonts/font_download.h"

#include <QDialog>
#include <map>
#include <set>

class QCheckBox;
class QPushButton;

namespace qv::tool {

class CFontChoiceDlg final : public QDialog {
    Q_OBJECT
public:
    CFontChoiceDlg(const FontSelection& previous, bool massProduction, QWidget* parent = nullptr);

    std::set<int> ticked() const;
    QCheckBox* box(int id) const;
    QPushButton* okButton() const { return ok_; }

private:
    std::map<int, QCheckBox*> boxes_;
    QPushButton* ok_ = nullptr;
};

} // namespace qv::tool
