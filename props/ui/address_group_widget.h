#pragma once
// One address group on a page: the use check (common pages), the link target, station,
// element type and number, "允许连接至其它HMI变量", the variable combo and, for bit groups,
// the bit edit. Every change refreshes the group through its fill operation; the group
// goes back to the page model only when the user changed it.
#include "props/sheet_values.h"

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace qv {

struct GroupTexts {
    const char8_t* caption;        // the group box
    const char8_t* use = nullptr;  // the use check, nullptr when the group has none
    bool bitEdit = false;
};

class AddressGroupWidget : public QGroupBox {
    Q_OBJECT
public:
    AddressGroupWidget(AddressGroup& model, const SheetSources& sources, const GroupTexts& texts,
                       QWidget* parent = nullptr);

    // The write group of a two-group page: shown only with the different-write flag set.
    void setActive(bool active);
    bool Validate();
    void Apply();

    QCheckBox* use() const { return m_use; }
    QComboBox* target() const { return m_target; }
    QLineEdit* station() const { return m_station; }
    QComboBox* elementType() const { return m_elementType; }
    QLineEdit* elementNumber() const { return m_number; }
    QCheckBox* allowOther() const { return m_allowOther; }
    QComboBox* variable() const { return m_variable; }
    QLineEdit* bit() const { return m_bit; }
    const AddressGroup& working() const { return m_work; }

signals:
    void changed();

private:
    void userChanged();
    void refresh();

    AddressGroup& m_model;
    AddressGroup m_work;
    const SheetSources& m_sources;
    bool m_touched = false;
    bool m_updating = false;
    bool m_active = true;
    QCheckBox* m_use = nullptr;
    QComboBox* m_target;
    QLabel* m_stationLabel;
    QLineEdit* m_station;
    QLabel* m_typeLabel;
    QComboBox* m_elementType;
    QLineEdit* m_number;
    QCheckBox* m_allowOther;
    QLabel* m_variableLabel;
    QComboBox* m_variable;
    QLabel* m_targetLabel;
    QLabel* m_bitLabel = nullptr;
    QLineEdit* m_bit = nullptr;
};

} // namespace qv
