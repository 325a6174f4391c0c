#pragma once
// The tool's about box: its icon, name and version, and "确定".
#include <QDialog>

namespace qv::picture_tool {

class CTessolinAboutDlg final : public QDialog {
public:
    explicit CTessolinAboutDlg(QWidget* parent = nullptr);
};

} // namespace qv::picture_tool
