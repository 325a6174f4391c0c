#pragma once
// The curve's record dialog and the character batch dialog. The pages of the character
// control, curve, dynamic picture, progress bar and area control are filled in
// data_control_page_widgets.cpp and declared with the builder (page_builder.h); their lists
// are edited on copies that reach the page model only in Apply (the sheet's OK).
#include "props/character_batch.h"
#include "props/sheet_values.h"
#include "props/ui/control_page_widgets.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace qv {

// "曲线属性": one curve's first variable, colour, style and line width.
class CDlgCurveProp : public QDialog {
    Q_OBJECT
public:
    CDlgCurveProp(const CurveRecord& record, const std::vector<std::string>& varNames, QWidget* parent = nullptr);
    // The record as edited; nullopt (the user told why) while the line width is refused.
    std::optional<CurveRecord> record() const;
    QComboBox* variable() const { return m_variable; }
    QComboBox* style() const { return m_style; }
    QLineEdit* lineWidth() const { return m_width; }
    void done(int result) override;

private:
    CurveRecord m_record;
    QComboBox* m_variable;
    QComboBox* m_style;
    QLineEdit* m_width;
    ColorButton* m_color;
};

// "批量编辑字符控件": the seven options, all clear at start.
class CDlgZiFuBatch : public QDialog {
    Q_OBJECT
public:
    explicit CDlgZiFuBatch(QWidget* parent = nullptr);
    CharacterBatchOptions options() const;
    QCheckBox* option(int i) const { return m_checks[i]; }

private:
    QCheckBox* m_checks[7];
};

} // namespace qv
