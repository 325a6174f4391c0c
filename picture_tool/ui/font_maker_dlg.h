#pragma once
// "点阵字库生成器": puts the cell width and height in front of one of the user's font files
// "zk/28.zk" .. "zk/58.zk". The font-kind list, the font button and the progress bar are
// shown but do nothing.
#include <QDialog>
#include <filesystem>
#include <functional>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace qv::picture_tool {

class CFontMakerDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CFontMakerDlg(std::filesystem::path folder, QWidget* parent = nullptr);

    std::function<void(const QString&)> showMessage; // tests replace it

    QLineEdit* widthEdit() const { return width_; }
    QLineEdit* heightEdit() const { return height_; }
    QListWidget* fileList() const { return files_; }
    QPushButton* makeButton() const { return make_; }

private:
    void make();

    std::filesystem::path folder_;
    QLineEdit* width_ = nullptr;
    QLineEdit* height_ = nullptr;
    QListWidget* files_ = nullptr;
    QPushButton* make_ = nullptr;
};

} // namespace qv::picture_tool
