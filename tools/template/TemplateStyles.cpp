#include "tools/template/TemplateStyles.h"

namespace plw::TemplateStyles {

// Fills 3 to 8 are the group colours A, B, C, D, E, X of the report: Excel palette indices 3, 45,
// 10, 8, 24, 15, written as OOXML indexed colours (palette index + 7). Fill 2 tints captions
// (palette 34, light turquoise).
QByteArray Xml() {
    return QByteArrayLiteral(
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<numFmts count="1"><numFmt numFmtId="164" formatCode="0.0%"/></numFmts>)"
        R"(<fonts count="6">)"
        R"(<font><sz val="11"/><name val="IPAPGothic"/><family val="3"/><charset val="128"/><scheme val="none"/></font>)"
        R"(<font><b/><sz val="11"/><name val="IPAPGothic"/><family val="3"/><charset val="128"/><scheme val="none"/></font>)"
        R"(<font><b/><sz val="16"/><name val="IPAPGothic"/><family val="3"/><charset val="128"/><scheme val="none"/></font>)"
        R"(<font><b/><sz val="12"/><name val="IPAPGothic"/><family val="3"/><charset val="128"/><scheme val="none"/></font>)"
        R"(<font><sz val="9"/><name val="IPAPGothic"/><family val="3"/><charset val="128"/><scheme val="none"/></font>)"
        R"(<font><b/><sz val="9"/><name val="IPAPGothic"/><family val="3"/><charset val="128"/><scheme val="none"/></font>)"
        R"(</fonts>)"
        R"(<fills count="9">)"
        R"(<fill><patternFill patternType="none"/></fill>)"
        R"(<fill><patternFill patternType="gray125"/></fill>)"
        R"(<fill><patternFill patternType="solid"><fgColor indexed="41"/><bgColor indexed="64"/></patternFill></fill>)"
        R"(<fill><patternFill patternType="solid"><fgColor indexed="10"/><bgColor indexed="64"/></patternFill></fill>)"
        R"(<fill><patternFill patternType="solid"><fgColor indexed="52"/><bgColor indexed="64"/></patternFill></fill>)"
        R"(<fill><patternFill patternType="solid"><fgColor indexed="17"/><bgColor indexed="64"/></patternFill></fill>)"
        R"(<fill><patternFill patternType="solid"><fgColor indexed="15"/><bgColor indexed="64"/></patternFill></fill>)"
        R"(<fill><patternFill patternType="solid"><fgColor indexed="31"/><bgColor indexed="64"/></patternFill></fill>)"
        R"(<fill><patternFill patternType="solid"><fgColor indexed="22"/><bgColor indexed="64"/></patternFill></fill>)"
        R"(</fills>)"
        R"(<borders count="2">)"
        R"(<border><left/><right/><top/><bottom/><diagonal/></border>)"
        R"(<border><left style="thin"><color indexed="64"/></left><right style="thin"><color indexed="64"/></right>)"
        R"(<top style="thin"><color indexed="64"/></top><bottom style="thin"><color indexed="64"/></bottom><diagonal/></border>)"
        R"(</borders>)"
        R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
        R"(<cellXfs count="18">)"
        R"(<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>)"
        R"(<xf numFmtId="0" fontId="2" fillId="0" borderId="0" xfId="0" applyFont="1"/>)"
        R"(<xf numFmtId="0" fontId="3" fillId="0" borderId="0" xfId="0" applyFont="1"/>)"
        R"(<xf numFmtId="0" fontId="1" fillId="2" borderId="1" xfId="0" applyFont="1" applyFill="1" applyBorder="1" applyAlignment="1"><alignment horizontal="center" vertical="center"/></xf>)"
        R"(<xf numFmtId="3" fontId="0" fillId="0" borderId="1" xfId="0" applyNumberFormat="1" applyBorder="1"/>)"
        R"(<xf numFmtId="0" fontId="0" fillId="0" borderId="1" xfId="0" applyBorder="1" applyAlignment="1"><alignment horizontal="center" vertical="center"/></xf>)"
        R"(<xf numFmtId="0" fontId="0" fillId="0" borderId="1" xfId="0" applyBorder="1" applyAlignment="1"><alignment horizontal="right" vertical="center"/></xf>)"
        R"(<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0" applyAlignment="1"><alignment horizontal="right"/></xf>)"
        R"(<xf numFmtId="3" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>)"
        R"(<xf numFmtId="0" fontId="1" fillId="3" borderId="1" xfId="0" applyFont="1" applyFill="1" applyBorder="1" applyAlignment="1"><alignment horizontal="center"/></xf>)"
        R"(<xf numFmtId="0" fontId="1" fillId="4" borderId="1" xfId="0" applyFont="1" applyFill="1" applyBorder="1" applyAlignment="1"><alignment horizontal="center"/></xf>)"
        R"(<xf numFmtId="0" fontId="1" fillId="5" borderId="1" xfId="0" applyFont="1" applyFill="1" applyBorder="1" applyAlignment="1"><alignment horizontal="center"/></xf>)"
        R"(<xf numFmtId="0" fontId="1" fillId="6" borderId="1" xfId="0" applyFont="1" applyFill="1" applyBorder="1" applyAlignment="1"><alignment horizontal="center"/></xf>)"
        R"(<xf numFmtId="0" fontId="1" fillId="7" borderId="1" xfId="0" applyFont="1" applyFill="1" applyBorder="1" applyAlignment="1"><alignment horizontal="center"/></xf>)"
        R"(<xf numFmtId="0" fontId="1" fillId="8" borderId="1" xfId="0" applyFont="1" applyFill="1" applyBorder="1" applyAlignment="1"><alignment horizontal="center"/></xf>)"
        R"(<xf numFmtId="0" fontId="5" fillId="2" borderId="1" xfId="0" applyFont="1" applyFill="1" applyBorder="1" applyAlignment="1"><alignment horizontal="center" vertical="center"/></xf>)"
        R"(<xf numFmtId="0" fontId="4" fillId="0" borderId="0" xfId="0" applyFont="1"/>)"
        R"(<xf numFmtId="164" fontId="0" fillId="0" borderId="1" xfId="0" applyNumberFormat="1" applyBorder="1"/>)"
        R"(</cellXfs>)"
        R"(<cellStyles count="1"><cellStyle name="標準" xfId="0" builtinId="0"/></cellStyles>)"
        R"(<dxfs count="0"/><tableStyles count="0" defaultTableStyle="TableStyleMedium9" defaultPivotStyle="PivotStyleLight16"/>)"
        R"(</styleSheet>)");
}

} // namespace plw::TemplateStyles
