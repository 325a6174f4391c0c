#pragma once
// The pages of the plain shapes (line and fill, picture, text) and the position page.
#include "props/shape_pages.h"
#include "props/ui/property_page.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace qv {

class RectPageWidget : public PropertyPage {
    Q_OBJECT
public:
    RectPageWidget(RectPage& model, QWidget* parent = nullptr);
    void Apply() override;

    QSpinBox* lineWidth() const { return m_width; }
    ColorButton* lineColor() const { return m_lineColor; }
    QComboBox* lineType() const { return m_lineType; }
    QCheckBox* noFill() const { return m_noFill; }
    ColorButton* fillColor() const { return m_fillColor; }

private:
    RectPage& m_model;
    QSpinBox* m_width;
    ColorButton* m_lineColor;
    QComboBox* m_lineType;
    QCheckBox* m_noFill;
    ColorButton* m_fillColor;
};

class PicturePageWidget : public PropertyPage {
    Q_OBJECT
public:
    PicturePageWidget(PicturePage& model, QWidget* parent = nullptr);
    void Apply() override;
    // Shows `path` (the "更改路径" button's result) and its preview.
    void ChoosePicture(const std::filesystem::path& path);

private:
    PicturePage& m_model;
    std::filesystem::path m_path;
    QLineEdit* m_pathEdit;
    QCheckBox* m_transparent;
    ColorButton* m_transparentColor;
    QLabel* m_preview;
};

class TextPageWidget : public PropertyPage {
    Q_OBJECT
public:
    TextPageWidget(TextPage& model, QWidget* parent = nullptr);
    bool Validate() override;
    void Apply() override;

    QPlainTextEdit* text() const { return m_text; }
    QCheckBox* transparent() const { return m_transparent; }
    QWidget* sample() const { return m_sample; }
    // What the sample shows, for the page and its tests.
    LogFont font() const { return m_font; }
    ColorRef textColor() const { return m_textColor; }
    ColorRef backColor() const;

private:
    TextPage& m_model;
    QPlainTextEdit* m_text;
    QCheckBox* m_transparent;
    ColorButton* m_backColor;
    QWidget* m_sample;
    LogFont m_font;
    ColorRef m_textColor;
};

class PositionPageWidget : public PropertyPage {
    Q_OBJECT
public:
    PositionPageWidget(PositionPage& model, QWidget* parent = nullptr);
    void Apply() override;
    QSpinBox* edge(int i) const { return m_edges[i]; }  // left, top, right, bottom
    QCheckBox* originalSize() const { return m_originalSize; }

private:
    PositionPage& m_model;
    QSpinBox* m_edges[4];
    QCheckBox* m_locked;
    QCheckBox* m_originalSize;
};

} // namespace qv
