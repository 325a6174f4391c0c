#pragma once
// The per-object upkeep the documents broadcast after the variable table changed: renumber,
// clear and refresh a control's references against the project's table, raise the curve
// and string maxima, rescale positions.
#include "model/document/document_environment.h"
#include "model/document/draw_doc.h"
#include "model/params/var_refs.h"

#include <functional>

namespace qv {

// New position of a rectangle when its window goes from old to new size: scaled about the
// page margin plus window origin, then shifted by (dx, dy). Integer arithmetic, truncating;
// an old size of 0 leaves that axis unscaled.
struct RescaleFrame {
    Point margin;  // the application's page margins
    Point origin;  // the owner window's origin
};
Rect rescaleRect(const Rect& r, const RescaleFrame& frame, int oldWidth, int oldHeight, int newWidth,
                 int newHeight, int dx, int dy);

// The variable references of one object against a variable table.
VarResolver resolverFor(const HmiVarTable* table);
VarExtentResolver extentResolverFor(const HmiVarTable* table);

bool IsBindingValid(const CDrawObj& obj);
void CollectVarSizes(const CDrawObj& obj, std::span<unsigned> sizes, const HmiVarTable& table);

class VarReferenceOps final : public ObjectVarReferenceOps {
public:
    // `projectTable` gives the project's variable table at each call (nullptr: none open);
    // by default the project document of the installed document environment.
    explicit VarReferenceOps(std::function<const HmiVarTable*()> projectTable = {});

    void RenumberAfterVarDelete(CDrawObj& obj, int row) override;
    void ClearVarReferences(CDrawObj& obj) override;
    void RefreshVarReferences(CDrawObj& obj, std::string_view text) override;
    void RenumberAfterVarSwap(CDrawObj& obj, int row) override;
    void RenumberAfterVarMove(CDrawObj& obj, int target) override;
    void UpdateCurveAddressMax(CDrawObj& obj) override;
    void UpdateStringAddressMax(CDrawObj& obj) override;
    void RescaleRect(CDrawObj& obj, int oldWidth, int oldHeight, int newWidth, int newHeight, int dx, int dy) override;

    // The row a cut-and-paste moves from (set by the variable manager before the paste).
    void SetMoveSource(int row) { m_nMoveSource = row; }
    int MoveSource() const { return m_nMoveSource; }

    // Highest end addresses of curve buffers and character strings the broadcasts found.
    void ResetAddressMaxima() { m_nCurveAddressMax = m_nStringAddressMax = 0; }
    std::int64_t CurveAddressMax() const { return m_nCurveAddressMax; }
    std::int64_t StringAddressMax() const { return m_nStringAddressMax; }

private:
    const HmiVarTable* Table() const;

    std::function<const HmiVarTable*()> m_projectTable;
    int m_nMoveSource = -1;
    std::int64_t m_nCurveAddressMax = 0;
    std::int64_t m_nStringAddressMax = 0;
};

} // namespace qv
