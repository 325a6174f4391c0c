#pragma once
// The dialogs the appearance pages of the button, bit switch, indicator light, radio button
// and real-time number open (fill style, picture font). The pages themselves are filled in
// control_page_widgets.cpp and declared with the builder (page_builder.h). Controls carry
// object names so tests find them.
#include "props/ui/page_builder.h"

#include <QDialog>

#include <array>
#include <filesystem>

class QRadioButton;
class QTableWidget;

namespace qv {

// "填充样式": the style (0 vertical, 1 horizontal gradient) from the fill to the highlight colour.
class CDlgFillStyle : public QDialog {
    Q_OBJECT
public:
    CDlgFillStyle(ColorRef fill, ColorRef highlight, std::uint32_t style, QWidget* parent = nullptr);
    std::uint32_t style() const;
    QRadioButton* styleRadio(int i) const { return m_radios[i]; }

private:
    QRadioButton* m_radios[2];
    std::uint32_t m_initial;
};

// "自制字体": one picture per symbol of the real-time number's picture font, and its
// transparency. Works on copies; the caller takes them on OK.
class CDlgPicFont : public QDialog {
    Q_OBJECT
public:
    CDlgPicFont(const std::array<PictureSlot, kPictureFontSymbols>& symbols, std::uint32_t transparent,
                ColorRef transparentColor, QWidget* parent = nullptr);
    // "修改": a picture for the selected symbol (the user is told when none is selected).
    void ChangeSelected();
    QTableWidget* list() const { return m_list; }
    std::array<std::filesystem::path, kPictureFontSymbols> paths() const { return m_paths; }
    std::uint32_t transparent() const;
    ColorRef transparentColor() const;

private:
    void showRow(int row);
    QTableWidget* m_list;
    std::array<std::filesystem::path, kPictureFontSymbols> m_paths;
    class QCheckBox* m_transparent;
    ColorButton* m_color;
    class QLabel* m_preview;
};

} // namespace qv
