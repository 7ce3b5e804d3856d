#include "workbook/EngineError.h"

#include <algorithm>
#include <iterator>

namespace plw {

namespace {

using F = EngineFault;

constexpr EngineFaultText kFaults[] = {
    {F::PackageUnreadable, u"ブックのファイル %1 を読めません: %2"},
    {F::PackageNotZip, u"%1 はブックのファイル（zip形式）ではありません: %2"},
    {F::PackageEntryUnreadable, u"%1 に読めない項目があります: %2"},
    {F::PackagePartUnreadable, u"%2 の部品 %1 を読めません: %3"},
    {F::PackageWithoutContentTypes, u"%1 はブックのファイルではありません（%2 がありません）"},
    {F::PackageNotBuilt, u"ブック %1 を組み立てられません: %2"},
    {F::PackagePartNotAdded, u"ブック %2 に部品 %1 を追加できません: %3"},
    {F::PackageNotSaved, u"ブック %1 を保存できません: %2"},
    {F::PartWithoutRelationships, u"部品 %1 に関連付けがありません"},
    {F::RelationshipMissing, u"部品 %1 に関連付け %2 がありません"},

    {F::PartNotXml, u"部品 %1 のXMLが壊れています: %2（位置 %3）"},
    {F::PartMissing, u"部品 %1 がありません"},

    {F::NoWorkbook, u"%1 にはブックがありません"},
    {F::SheetWithoutPart, u"シート「%1」のワークシート部品がありません"},
    {F::SheetMissing, u"ブックにシート「%1」がありません"},
    {F::CopySourceMissing, u"コピー元のシート「%1」がブックにありません"},
    {F::SheetNameEmpty, u"シート名が空です"},
    {F::SheetNameTooLong, u"シート名「%1」が31文字を超えています"},
    {F::SheetNameCharacter, u"シート名「%1」に使えない文字 %2 があります"},
    {F::SheetNameApostrophe, u"シート名「%1」がアポストロフィ（'）で始まるか終わっています"},
    {F::SheetNameReserved, u"シート名 History は使えません"},
    {F::SheetNameTaken, u"ブックには既にシート「%1」があります"},
    {F::SheetNotMovable, u"シート「%1」を %2 番目に移動できません"},
    {F::NoSheetLeft, u"ブックにはシートが１つ以上必要です"},

    {F::NotCellAddress, u"%1 はセルの番地ではありません"},
    {F::RangeTooLarge, u"範囲 %1 が大きすぎます"},
    {F::SheetWithoutCells, u"シート「%1」にセルのデータがありません"},
    {F::WorksheetWithoutCells, u"ワークシートにセルのデータがありません"},
    {F::FillRefused, u"塗りつぶし（色 %1、パターン %2、パターンの色 %3）はセルに設定できません"},
    {F::FontSizeRefused, u"%1 はフォントサイズとして使えません"},
    {F::NotColumnList, u"%1 は列全体の並びではありません"},
    {F::ChartMissing, u"シート「%1」にグラフ「%2」がありません"},
    {F::WorksheetNotXml, u"ワークシートを読めません: %1"},
    {F::SharedStringMissing, u"セル %1 が存在しない共有文字列 %2 を指しています"},
    {F::CellNotNumber, u"セル %1 の値「%2」は数値ではありません"},
    {F::RowOutOfOrder, u"ワークシートの行の順序が正しくありません: %1"},
    {F::CellReferenceUnusable, u"ワークシートの %2 行目にあるセル参照「%1」は使えません"},
    {F::RowTooWide, u"%1 行目のセルがシートの列数を超えています"},
    {F::DimensionUnreadable, u"ワークシートの範囲（dimension）を読めません"},
    {F::SharedStringsNotXml, u"共有文字列を読めません: %1"},
    {F::SharedStringsWithoutTable, u"共有文字列の部品に文字列の表がありません"},

    {F::NotStylesheet, u"部品 %1 はスタイルシートではありません"},
    {F::StylesWithoutCellFormats, u"部品 %1 にセルの書式がありません"},

    {F::NotChart, u"部品はグラフではありません（グラフ領域とプロットエリアがありません）"},
    {F::SeriesMissing, u"グラフに系列 %1 がありません（系列は %2 個です）"},
    {F::ScaleNotRange, u"数値軸の目盛 %1 ～ %2 は範囲になっていません"},
    {F::ValueAxisMissing, u"グラフに数値軸がありません"},
    {F::ColourNotInPalette, u"色番号 %1 はパレット（1～56）にありません"},
    {F::PointMissing, u"グラフの系列 %1 に要素 %2 がありません"},
    {F::SeriesAxisMissing, u"グラフに系列軸（奥行きの軸）がありません"},
    {F::ChartTypeRefused, u"グラフの種類 %1 は設定できません"},
    {F::ChartTypeNotChangeable, u"グラフに種類を変更できるプロットがありません"},

    {F::ConverterMissing, u"LibreOffice がインストールされていません（検索パス PATH に soffice も "
                          u"libreoffice もありません）。LibreOffice Calc（パッケージ "
                          u"libreoffice-calc-nogui）をインストールしてください"},
    {F::ConversionInputMissing, u"変換するブックがありません: %1"},
    {F::ConversionFolderRefused, u"%1 に一時フォルダを作れません: %2"},
    {F::ConversionProfileRefused, u"%1 に LibreOffice の一時プロファイルを作れません: %2"},
    {F::ConverterNotStarted, u"LibreOffice（%1）を起動できません: %2"},
    {F::ConversionTimedOut, u"LibreOffice が %1 の変換を %2 秒以内に終えなかったため止めました"},
    {F::ConversionFailed, u"LibreOffice が %1 を変換できませんでした（%2）:\n%3"},
    {F::ConversionWithoutOutput, u"LibreOffice が %2 から %1 ファイルを作りませんでした:\n%3"},
    {F::ConversionNotPlaced, u"変換したブックで %1 を置き換えられません: %2"},

    {F::SaveFolderRefused, u"フォルダ %1 に書き込めません: %2"},
    {F::SaveConversionFailed,
     u"ブックに .xls 形式へ書き出せない %1 があり、変換もできませんでした: %2"},
    {F::SaveXlsFailed, u"ブック %1 を .xls 形式で書き出せません: %2"},
};

} // namespace

std::span<const EngineFaultText> EngineFaults() {
    return kFaults;
}

QString EngineErrorText(EngineFault fault, const QStringList& details) {
    const auto entry = std::find_if(std::begin(kFaults), std::end(kFaults),
                                    [fault](const EngineFaultText& e) { return e.fault == fault; });
    const QString text = entry == std::end(kFaults) ? QString() : QString::fromUtf16(entry->text);
    // One pass over the text, so that a detail is never read for markers itself.
    QString filled = QString::number(int(fault)) + u' ';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
        if (text.at(i) == u'%' && next >= u'1' && next <= u'9') {
            filled += details.value(next.digitValue() - 1);
            ++i;
        } else {
            filled += text.at(i);
        }
    }
    return filled;
}

void SetEngineError(QString* error, EngineFault fault, const QStringList& details) {
    if (error)
        *error = EngineErrorText(fault, details);
}

} // namespace plw
