#pragma once
// The one shape object. Every drawn shape and every control of a screen or sub-window is a
// CDrawRect; its kind code decides what it is. A plain CDrawObj serves as an entry of the
// document's screen and sub-window name lists. All data lives in CDrawObj.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/params/param_field.h"
#include "model/shape/shape_kind.h"
#include "platform/surface/color.h"
#include "platform/surface/gdi.h"
#include "platform/surface/geometry.h"

namespace qv::archive {
class ArchiveReader;
class ArchiveWriter;
} // namespace qv::archive

namespace qv {

class CDrawDoc;
class CDrawObj;

struct LogPen {
    std::uint32_t style = 0;
    std::int32_t widthX = 0;
    std::int32_t widthY = 0;
    ColorRef color = 0;
    friend bool operator==(const LogPen&, const LogPen&) = default;
};

struct LogBrush {
    std::uint32_t style = 0;
    ColorRef color = 0;
    std::uint32_t hatch = 0;
    friend bool operator==(const LogBrush&, const LogBrush&) = default;
};

constexpr std::size_t kLogFontStoredSize = 60;

// Raw per-kind parameter block; its layout belongs to the kind (variable references,
// colours, options), read and written by byte offset.
constexpr std::size_t kParamBlockSize = 1024;
using ParamBlock = std::array<std::uint8_t, kParamBlockSize>;

// Mouse cursor shown over a handle.
enum class HandleCursor { SizeNS, SizeNESW, SizeWE, SizeNWSE, SizeAll };

// What shape operations need of the editing view that shows them. Without a view
// (nullptr) document and client coordinates are the same and nothing is clamped.
class ShapeView {
public:
    virtual ~ShapeView() = default;
    virtual Point DocToClientPoint(Point p) const = 0;
    virtual Rect ClientToDocRect(const Rect& r) const = 0;
    virtual Rect ClampRectToWindow(const Rect& r) const = 0;
    virtual void InvalidateObject(CDrawObj* obj) = 0;
};

class CDrawObj {
public:
    // Loading: every stored field is filled by the reader; all else stays zero.
    CDrawObj();
    // A new shape at `position` with the editor's defaults.
    explicit CDrawObj(const Rect& position);
    // A name entry of the screen or sub-window list: only the name is meaningful, every
    // other field is zero.
    explicit CDrawObj(std::string nameGbk);
    virtual ~CDrawObj() = default;

    CDrawObj(const CDrawObj&) = default;
    CDrawObj& operator=(const CDrawObj&) = default;

    // Class name as stored in the files ("CDrawObj", "CDrawRect").
    virtual std::string_view ClassName() const { return "CDrawObj"; }
    // A full copy of this object, of its own class, every field kept (undo and copies).
    virtual std::unique_ptr<CDrawObj> Clone() const { return std::make_unique<CDrawObj>(*this); }

    // Stored record, writer and reader walking the same order. Saving pads the string
    // array of bit switches and indicator lights (see PadStateTexts), so it is not const.
    virtual void Serialize(archive::ArchiveWriter& ar);
    virtual void Serialize(archive::ArchiveReader& ar);

    // Handles 1..8 run clockwise from the top-left corner.
    virtual int CountHandles() const { return 8; }
    virtual Point HandlePoint(int handle) const;
    virtual HandleCursor HandleCursorFor(int handle) const;
    Rect HandleRect(int handle, const ShapeView* view) const;
    // Selected: the first handle whose square holds the point, else 0. Not selected: 1 when
    // the point lies in the position as stored (not normalised), else 0.
    int HandleAtPoint(Point p, const ShapeView* view, bool selected) const;

    void SetPenColor(ColorRef color);
    void SetBrushColor(ColorRef color);
    void SetPosition(const Rect& position, ShapeView* view);
    virtual bool Overlaps(const Rect& r) const;
    bool IsInsideRect(const Rect& r) const;
    virtual void DragHandle(int handle, Point p, ShapeView* view);
    // A copy with the editor's rectangle defaults and this object's pen, brush, strings and
    // parameter block (CDrawRect copies more).
    virtual std::unique_ptr<CDrawObj> Duplicate() const;
    // Duplicate() added to `doc`; returns the copy, now owned by the document.
    CDrawObj* DuplicateInto(CDrawDoc& doc) const;
    // Asks the owner document's views to repaint this object.
    void Redraw();

    bool IsControl() const { return m_bControl != 0; }
    // The kind m_nKind stores (possibly a code outside the kind table, read from a file).
    ShapeKind Kind() const { return KindFromCode(m_nKind); }
    void SetKind(ShapeKind kind) { m_nKind = KindCode(kind); }

    // Parameter-block access by byte offset (little-endian); out-of-block reads give 0 and
    // out-of-block writes are ignored.
    std::int32_t ParamI32(std::size_t offset) const;
    void SetParamI32(std::size_t offset, std::int32_t value);
    std::uint8_t ParamU8(std::size_t offset) const;
    void SetParamU8(std::size_t offset, std::uint8_t value);
    // The same through a kind's named field (model/params/blocks/).
    template <class T, class Kind>
    T Param(ParamField<T, Kind> f) const { return paramGet(std::span<const std::uint8_t>(m_Params), f); }
    template <class T, class Kind>
    void SetParam(ParamField<T, Kind> f, std::type_identity_t<T> value) { paramSet(std::span<std::uint8_t>(m_Params), f, value); }

    // Fields, in stored order where stored, but for the kind: every walk over a project's
    // objects reads it first, so it sits on the object's first cache line beside the vtable
    // pointer instead of behind the parameter block (CDrawRect stores it after the others).
    std::int32_t m_nRunState = 0;            // simulator state (pressed, toggled); not stored
    std::int32_t m_nKind = KindCode(ShapeKind::Rectangle); // stored as 16 bits by CDrawRect
    std::string m_strName;                   // GBK: text, sample text or name-entry file name
    ParamBlock m_Params{};                   // per-kind parameter block
    std::int32_t m_bControl = 0;             // 1 for a control (set by the painter)
    Rect m_rcPosition;                       // document coordinates, not normalised
    std::int32_t m_bHasPen = 0;              // stored as 16 bits
    LogPen m_penInfo;
    std::int32_t m_bHasBrush = 0;            // stored as 16 bits
    LogBrush m_brushInfo;
    Size m_cornerSize;                       // corner ellipse of round rectangles and buttons
    std::int32_t m_nFontKey = 0;             // compiler's font usage key; not stored
    std::vector<std::string> m_strFiles;     // GBK picture names and state texts, per kind
    std::int32_t m_bTransparent = 0;         // stored as 16 bits
    std::int32_t m_bOriginalSize = 0;        // stored as 16 bits
    std::int32_t m_bLocked = 0;              // stored as 16 bits
    LogFont m_logfont;
    ColorRef m_clrTransparent = 0;
    CDrawDoc* m_pOwnerDoc = nullptr;         // set by CDrawDoc::AddObject and by loading

protected:
    void SerializeBase(archive::ArchiveWriter& ar);
    void SerializeBase(archive::ArchiveReader& ar);
    void Invalidate(ShapeView* view);
};

// The shape and control class: CDrawObj's data plus the kind and corner fields in the file.
class CDrawRect : public CDrawObj {
public:
    CDrawRect() = default;
    explicit CDrawRect(const Rect& position);

    std::string_view ClassName() const override { return "CDrawRect"; }
    std::unique_ptr<CDrawObj> Clone() const override { return std::make_unique<CDrawRect>(*this); }

    void Serialize(archive::ArchiveWriter& ar) override;
    void Serialize(archive::ArchiveReader& ar) override;

    int CountHandles() const override;
    Point HandlePoint(int handle) const override;
    HandleCursor HandleCursorFor(int handle) const override;
    bool Overlaps(const Rect& r) const override;
    void DragHandle(int handle, Point p, ShapeView* view) override;
    std::unique_ptr<CDrawObj> Duplicate() const override;

    // Bit switches and indicator lights hold four state texts; an object of those kinds
    // with exactly two gets two empty ones appended.
    void PadStateTexts();
};

// Default corner ellipse of a new CDrawRect.
constexpr Size kDefaultCornerSize{48, 16};

} // namespace qv
