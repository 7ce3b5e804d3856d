#pragma once

#include <cstdint>

// The BIFF8 record types the writer produces.
namespace plw::xls::Rec {

constexpr std::uint16_t Formula = 0x0006;
constexpr std::uint16_t Eof = 0x000A;
constexpr std::uint16_t CalcCount = 0x000C;
constexpr std::uint16_t CalcMode = 0x000D;
constexpr std::uint16_t Precision = 0x000E;
constexpr std::uint16_t CalcRefMode = 0x000F;
constexpr std::uint16_t CalcDelta = 0x0010;
constexpr std::uint16_t CalcIter = 0x0011;
constexpr std::uint16_t Protect = 0x0012;
constexpr std::uint16_t Password = 0x0013;
constexpr std::uint16_t Header = 0x0014;
constexpr std::uint16_t Footer = 0x0015;
constexpr std::uint16_t ExternSheet = 0x0017;
constexpr std::uint16_t Lbl = 0x0018;
constexpr std::uint16_t WinProtect = 0x0019;
constexpr std::uint16_t VerticalPageBreaks = 0x001A;
constexpr std::uint16_t HorizontalPageBreaks = 0x001B;
constexpr std::uint16_t Selection = 0x001D;
constexpr std::uint16_t Date1904 = 0x0022;
constexpr std::uint16_t LeftMargin = 0x0026;
constexpr std::uint16_t RightMargin = 0x0027;
constexpr std::uint16_t TopMargin = 0x0028;
constexpr std::uint16_t BottomMargin = 0x0029;
constexpr std::uint16_t PrintRowCol = 0x002A;
constexpr std::uint16_t PrintGrid = 0x002B;
constexpr std::uint16_t Font = 0x0031;
constexpr std::uint16_t Continue = 0x003C;
constexpr std::uint16_t Window1 = 0x003D;
constexpr std::uint16_t Backup = 0x0040;
constexpr std::uint16_t Pane = 0x0041;
constexpr std::uint16_t CodePage = 0x0042;
constexpr std::uint16_t DefColWidth = 0x0055;
constexpr std::uint16_t WriteAccess = 0x005C;
constexpr std::uint16_t Obj = 0x005D;
constexpr std::uint16_t CalcSaveRecalc = 0x005F;
constexpr std::uint16_t ColInfo = 0x007D;
constexpr std::uint16_t Guts = 0x0080;
constexpr std::uint16_t WsBool = 0x0081;
constexpr std::uint16_t GridSet = 0x0082;
constexpr std::uint16_t HCenter = 0x0083;
constexpr std::uint16_t VCenter = 0x0084;
constexpr std::uint16_t BoundSheet8 = 0x0085;
constexpr std::uint16_t Country = 0x008C;
constexpr std::uint16_t HideObj = 0x008D;
constexpr std::uint16_t Palette = 0x0092;
constexpr std::uint16_t BuiltInFnGroupCount = 0x009C;
constexpr std::uint16_t Scl = 0x00A0;
constexpr std::uint16_t Setup = 0x00A1;
constexpr std::uint16_t MulRk = 0x00BD;
constexpr std::uint16_t MulBlank = 0x00BE;
constexpr std::uint16_t Mms = 0x00C1;
constexpr std::uint16_t DbCell = 0x00D7;
constexpr std::uint16_t BookBool = 0x00DA;
constexpr std::uint16_t XF = 0x00E0;
constexpr std::uint16_t InterfaceHdr = 0x00E1;
constexpr std::uint16_t InterfaceEnd = 0x00E2;
constexpr std::uint16_t MergeCells = 0x00E5;
constexpr std::uint16_t MsoDrawingGroup = 0x00EB;
constexpr std::uint16_t MsoDrawing = 0x00EC;
constexpr std::uint16_t SST = 0x00FC;
constexpr std::uint16_t LabelSst = 0x00FD;
constexpr std::uint16_t ExtSST = 0x00FF;
constexpr std::uint16_t TabId = 0x013D;
constexpr std::uint16_t UsesELFs = 0x0160;
constexpr std::uint16_t Dsf = 0x0161;
constexpr std::uint16_t SupBook = 0x01AE;
constexpr std::uint16_t Prot4Rev = 0x01AF;
constexpr std::uint16_t RefreshAll = 0x01B7;
constexpr std::uint16_t HLink = 0x01B8;
constexpr std::uint16_t Prot4RevPass = 0x01BC;
constexpr std::uint16_t Excel9File = 0x01C0;
constexpr std::uint16_t RecalcId = 0x01C1;
constexpr std::uint16_t Dimensions = 0x0200;
constexpr std::uint16_t Blank = 0x0201;
constexpr std::uint16_t Number = 0x0203;
constexpr std::uint16_t Row = 0x0208;
constexpr std::uint16_t Index = 0x020B;
constexpr std::uint16_t DefaultRowHeight = 0x0225;
constexpr std::uint16_t Window2 = 0x023E;
constexpr std::uint16_t Rk = 0x027E;
constexpr std::uint16_t Style = 0x0293;
constexpr std::uint16_t Format = 0x041E;
constexpr std::uint16_t BookExt = 0x0863;
constexpr std::uint16_t FeatHdr = 0x0867;
constexpr std::uint16_t Bof = 0x0809;

} // namespace plw::xls::Rec
