// The stored record of a shape object: CDrawObj's fields, then CDrawRect's kind and corners.
// Writer and reader walk the same order; 16-bit fields widen without sign extension.
#include "model/shape/draw_obj.h"
#include "platform/archive/archive.h"

namespace qv {

using archive::ArchiveReader;
using archive::ArchiveWriter;

namespace {

void writeFont(ArchiveWriter& ar, const LogFont& f)
{
    ar.WriteI32(f.lfHeight);
    ar.WriteI32(f.lfWidth);
    ar.WriteI32(f.lfEscapement);
    ar.WriteI32(f.lfOrientation);
    ar.WriteI32(f.lfWeight);
    for (std::uint8_t b : {f.lfItalic, f.lfUnderline, f.lfStrikeOut, f.lfCharSet, f.lfOutPrecision,
                           f.lfClipPrecision, f.lfQuality, f.lfPitchAndFamily})
        ar.WriteU8(b);
    ar.WriteBytes({reinterpret_cast<const std::uint8_t*>(f.lfFaceName.data()), f.lfFaceName.size()});
}

void readFont(ArchiveReader& ar, LogFont& f)
{
    f.lfHeight = ar.ReadI32();
    f.lfWidth = ar.ReadI32();
    f.lfEscapement = ar.ReadI32();
    f.lfOrientation = ar.ReadI32();
    f.lfWeight = ar.ReadI32();
    for (std::uint8_t* b : {&f.lfItalic, &f.lfUnderline, &f.lfStrikeOut, &f.lfCharSet, &f.lfOutPrecision,
                            &f.lfClipPrecision, &f.lfQuality, &f.lfPitchAndFamily})
        *b = ar.ReadU8();
    ar.ReadBytes({reinterpret_cast<std::uint8_t*>(f.lfFaceName.data()), f.lfFaceName.size()});
}

void writeWord(ArchiveWriter& ar, std::int32_t v) { ar.WriteU16(static_cast<std::uint16_t>(v)); }
std::int32_t readWord(ArchiveReader& ar) { return ar.ReadU16(); }

} // namespace

void CDrawObj::SerializeBase(ArchiveWriter& ar)
{
    ar.WriteI32(m_bControl);
    for (std::int32_t v : {m_rcPosition.left, m_rcPosition.top, m_rcPosition.right, m_rcPosition.bottom})
        ar.WriteI32(v);
    writeWord(ar, m_bHasPen);
    ar.WriteU32(m_penInfo.style);
    ar.WriteI32(m_penInfo.widthX);
    ar.WriteI32(m_penInfo.widthY);
    ar.WriteU32(m_penInfo.color);
    writeWord(ar, m_bHasBrush);
    ar.WriteU32(m_brushInfo.style);
    ar.WriteU32(m_brushInfo.color);
    ar.WriteU32(m_brushInfo.hatch);
    ar.WriteStringArray(m_strFiles);
    writeWord(ar, m_bOriginalSize);
    writeWord(ar, m_bLocked);
    ar.WriteU32(m_clrTransparent);
    writeWord(ar, m_bTransparent);
    ar.WriteString(m_strName);
    writeFont(ar, m_logfont);
    ar.WriteBytes(m_Params);
}

void CDrawObj::SerializeBase(ArchiveReader& ar)
{
    m_bControl = ar.ReadI32();
    for (std::int32_t* v : {&m_rcPosition.left, &m_rcPosition.top, &m_rcPosition.right, &m_rcPosition.bottom})
        *v = ar.ReadI32();
    m_bHasPen = readWord(ar);
    m_penInfo.style = ar.ReadU32();
    m_penInfo.widthX = ar.ReadI32();
    m_penInfo.widthY = ar.ReadI32();
    m_penInfo.color = ar.ReadU32();
    m_bHasBrush = readWord(ar);
    m_brushInfo.style = ar.ReadU32();
    m_brushInfo.color = ar.ReadU32();
    m_brushInfo.hatch = ar.ReadU32();
    m_strFiles = ar.ReadStringArray();
    m_bOriginalSize = readWord(ar);
    m_bLocked = readWord(ar);
    m_clrTransparent = ar.ReadU32();
    m_bTransparent = readWord(ar);
    m_strName = ar.ReadString();
    readFont(ar, m_logfont);
    ar.ReadBytes(m_Params);
}

void CDrawObj::Serialize(ArchiveWriter& ar) { SerializeBase(ar); }
void CDrawObj::Serialize(ArchiveReader& ar) { SerializeBase(ar); }

void CDrawRect::Serialize(ArchiveWriter& ar)
{
    PadStateTexts();
    SerializeBase(ar);
    writeWord(ar, m_nKind);
    ar.WriteI32(m_cornerSize.cx);
    ar.WriteI32(m_cornerSize.cy);
}

void CDrawRect::Serialize(ArchiveReader& ar)
{
    SerializeBase(ar);
    m_nKind = readWord(ar);
    m_cornerSize.cx = ar.ReadI32();
    m_cornerSize.cy = ar.ReadI32();
    PadStateTexts();
}

} // namespace qv
