#pragma once
// The one builder of a sheet's pages. A page of bound controls is a ControlPageWidget titled
// by where its model sits ("外观" for the appearance, "基本控制" for the control model);
// each model's `FillPage` lays out its controls in the page's box. Models with a page class
// of their own (the shapes, the dynamic picture's frames) have `OwnPage` instead. The small
// helpers every page file uses are here too.
#include "props/sheet_values.h"
#include "props/ui/address_group_widget.h"
#include "props/ui/page_binder.h"

#include <QFormLayout>
#include <QString>
#include <QVBoxLayout>

#include <functional>
#include <memory>
#include <vector>

namespace qv {

inline QString u8text(const char8_t* s) { return QString::fromUtf8(s); }

// Gives the widget the object name tests find it by.
template <class W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A labelled row in a form.
inline void addRow(QFormLayout* form, const char8_t* label, QWidget* field) { form->addRow(u8text(label), field); }

// A page made of bound controls and address groups in one vertical box, with page-specific
// rules run on Validate and Apply.
class ControlPageWidget : public PropertyPage {
    Q_OBJECT
public:
    explicit ControlPageWidget(const QString& title, QWidget* parent = nullptr);
    PageBinder& binder() { return m_binder; }
    QVBoxLayout* box() const { return m_box; }
    AddressGroupWidget* addGroup(AddressGroup& group, const SheetSources& sources, const GroupTexts& texts,
                                 const char* objectName);
    void onValidate(std::function<bool()> check) { m_checks.push_back(std::move(check)); }
    void onApply(std::function<void()> apply) { m_applies.push_back(std::move(apply)); }
    bool Validate() override;
    void Apply() override;

private:
    PageBinder m_binder;
    QVBoxLayout* m_box;
    std::vector<AddressGroupWidget*> m_groups;
    std::vector<std::function<bool()>> m_checks;
    std::vector<std::function<void()>> m_applies;
};

// The pages of bound controls, one a model, written in the page file of the control family
// (control_page_widgets.cpp: button, bit switch, indicator light, radio button, real-time
// number; data_control_page_widgets.cpp: character control, curve, dynamic picture, progress
// bar, area control).
void FillPage(ControlPageWidget* self, ButtonShapePage& p, const SheetSources& sources);
void FillPage(ControlPageWidget* self, ButtonControlPage& p, const SheetSources& sources);
void FillPage(ControlPageWidget* self, SwitchShapePage& p, const SheetSources& sources);
void FillPage(ControlPageWidget* self, SwitchControlPage& p, const SheetSources& sources);
void FillPage(ControlPageWidget* self, IndicatorControlPage& p, const SheetSources& sources);
void FillPage(ControlPageWidget* self, RadioShapePage& p, const SheetSources& sources);
void FillPage(ControlPageWidget* self, RadioControlPage& p, const SheetSources& sources);
void FillPage(ControlPageWidget* self, NumberShapePage& p, const SheetSources& sources);
void FillPage(ControlPageWidget* self, NumberControlPage& p, const SheetSources& sources);
void FillPage(ControlPageWidget* self, CharacterShapePage& p, const SheetSources& sources);
void FillPage(ControlPageWidget* self, CharacterControlPage& p, const SheetSources& sources);
void FillPage(ControlPageWidget* self, CurveShapePage& p, const SheetSources& sources);
void FillPage(ControlPageWidget* self, CurveControlPage& p, const SheetSources& sources);
void FillPage(ControlPageWidget* self, PictureDisplayControlPage& p, const SheetSources& sources);
void FillPage(ControlPageWidget* self, ProgressShapePage& p, const SheetSources& sources);
void FillPage(ControlPageWidget* self, ProgressControlPage& p, const SheetSources& sources);
void FillPage(ControlPageWidget* self, AreaControlPage& p, const SheetSources& sources);
// The dynamic picture's frame page, which follows the control page's location (nullptr
// without it).
std::unique_ptr<PropertyPage> OwnPage(PictureGroupPage& p, SheetValues& values);

// The page of `id` over `values`; nullptr when its values are missing (a common page whose
// address group the object lacks, a model the sheet did not load).
std::unique_ptr<PropertyPage> MakePage(PageId id, SheetValues& values);

} // namespace qv
