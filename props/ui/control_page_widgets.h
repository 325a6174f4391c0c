#pragma once
// The Qt pages of the controls' sheets: the common address-group pages (hide, write
// enable, move, colour), the basic-control and appearance pages of the button, bit switch,
// indicator light, radio button and real-time number, and the fill style and picture font
// dialogs the appearance pages open. Controls carry object names so tests find them.
#include "props/sheet_values.h"
#include "props/ui/address_group_widget.h"
#include "props/ui/page_binder.h"

#include <QDialog>

#include <memory>
#include <vector>

class QRadioButton;
class QTableWidget;

namespace qv {

// A page made of bound controls and address groups, with page-specific rules run on
// Validate and Apply.
class ControlPageWidget : public PropertyPage {
    Q_OBJECT
public:
    explicit ControlPageWidget(const QString& title, QWidget* parent = nullptr);
    PageBinder& binder() { return m_binder; }
    AddressGroupWidget* addGroup(AddressGroup& group, const SheetSources& sources, const GroupTexts& texts,
                                 const char* objectName);
    void onValidate(std::function<bool()> check) { m_checks.push_back(std::move(check)); }
    void onApply(std::function<void()> apply) { m_applies.push_back(std::move(apply)); }
    bool Validate() override;
    void Apply() override;

private:
    PageBinder m_binder;
    std::vector<AddressGroupWidget*> m_groups;
    std::vector<std::function<bool()>> m_checks;
    std::vector<std::function<void()>> m_applies;
};

// The page of `id` for the kind's values; nullptr for pages built elsewhere.
std::unique_ptr<PropertyPage> MakeControlPage(PageId id, SheetValues& values);

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
