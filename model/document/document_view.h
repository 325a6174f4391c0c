#pragma once
// How a document reaches the views that show it: views register themselves and are told to
// update, to drop a removed object from their selection and to take a new scroll extent.
#include "platform/surface/geometry.h"

#include <vector>

namespace qv {

class CDrawObj;

class DocumentView {
public:
    virtual ~DocumentView() = default;
    // "Update all views": `hint` 0 and `obj` nullptr repaint everything.
    virtual void OnUpdate(DocumentView* sender, int hint, CDrawObj* obj) = 0;
    // The object left the document: it must leave the view's selection.
    virtual void Deselect(CDrawObj* obj) {}
    virtual void SetScrollExtent(Size extent) {}
    virtual bool IsRunMode() const { return false; }
    // Selects the object (alone unless `add`), as a click would.
    virtual void SelectShape(CDrawObj* obj, bool add = false) {}
    // The objects selected in this view, in selection order.
    virtual std::vector<CDrawObj*> SelectedShapes() const { return {}; }
};

} // namespace qv
