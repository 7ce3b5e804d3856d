#include "tools/explanation/ExplanationDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QDate>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QTextDocument>

#include <array>

namespace plw::explanation {

namespace {

// Page coordinates are points (the writer's resolution is 72 dots per inch) on A4 portrait.
constexpr int Resolution = 72;
constexpr qreal PageWidth = 595;
constexpr qreal PageHeight = 842;
constexpr qreal Margin = 42;
constexpr qreal TextWidth = PageWidth - 2 * Margin;

const QString FontFamily = QStringLiteral("IPAGothic");

const QColor LastVisitColour(30, 80, 200);
const QColor DetailColour(0, 140, 60);
const QColor DetailFill(215, 245, 220);
const QColor BaseDateColour(210, 30, 30);

QFont font(qreal points, bool bold = false) {
    QFont f(FontFamily);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// The example customer's visits: date and purchase amount in yen.
struct Visit {
    QDate Date;
    int Amount;
};
const std::array<Visit, 5> Visits{{
    {QDate(2024, 9, 14), 8000},
    {QDate(2025, 3, 8), 12000},
    {QDate(2025, 10, 25), 9000},
    {QDate(2026, 6, 20), 6000},
    {QDate(2026, 9, 12), 15000},
}};
const QDate BaseDate(2026, 11, 30);
const QDate LastVisitFrom(2024, 12, 1);
const QDate LastVisitTo(2026, 11, 30);
const QDate DetailFrom(2025, 1, 1);
const QDate DetailTo(2025, 12, 31);

QString circled(int n) {
    return QString(QChar(0x2460 + n - 1));
}

QString slash(const QDate& date) {
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

QString yen(int amount) {
    return QLocale(QLocale::Japanese).toString(amount) + QStringLiteral("円");
}

// Draws rich text at the top-left corner, width wide; the height it took.
qreal drawHtml(QPainter& painter, const QString& html, QPointF at, qreal width,
               qreal points = 9.5) {
    QTextDocument document;
    document.documentLayout()->setPaintDevice(painter.device());
    document.setDefaultFont(font(points));
    document.setDocumentMargin(0);
    document.setTextWidth(width);
    document.setHtml(html);
    painter.save();
    painter.translate(at);
    document.drawContents(&painter);
    painter.restore();
    return document.size().height();
}

void drawArrow(QPainter& painter, QPointF from, QPointF to) {
    painter.drawLine(from, to);
    const qreal direction = to.x() >= from.x() ? 1 : -1;
    QPainterPath head;
    head.moveTo(to);
    head.lineTo(to - QPointF(6 * direction, 3));
    head.lineTo(to - QPointF(6 * direction, -3));
    head.closeSubpath();
    painter.fillPath(head, painter.pen().color());
}

// The time line of the example: the two periods, the base date, the visits and the two ways
// R is counted. Returns the height used.
qreal drawTimeLine(QPainter& painter, qreal top) {
    const QDate first(2024, 7, 1);
    const QDate last(2027, 1, 31);
    const qreal left = Margin + 6;
    const qreal width = TextWidth - 12;
    const auto x = [&](const QDate& date) {
        return left + width * qreal(first.daysTo(date)) / qreal(first.daysTo(last));
    };
    const qreal axis = top + 150;

    // The detailed purchase period: a band down to the axis.
    painter.setPen(Qt::NoPen);
    painter.setBrush(DetailFill);
    painter.drawRect(QRectF(QPointF(x(DetailFrom), top + 44), QPointF(x(DetailTo), axis)));
    painter.setPen(DetailColour);
    painter.setFont(font(8.5, true));
    painter.drawText(
        QRectF(x(DetailFrom) + 3, top + 47, x(DetailTo) - x(DetailFrom) - 6, 24),
        Qt::AlignLeft | Qt::TextWordWrap,
        QStringLiteral("購買日付詳細範囲\n%1～%2").arg(slash(DetailFrom), slash(DetailTo)));

    // The last-visit period: a bracket above everything.
    painter.setPen(QPen(LastVisitColour, 1.6));
    const qreal bracket = top + 24;
    painter.drawLine(QPointF(x(LastVisitFrom), bracket), QPointF(x(LastVisitTo), bracket));
    painter.drawLine(QPointF(x(LastVisitFrom), bracket - 5), QPointF(x(LastVisitFrom), axis));
    painter.drawLine(QPointF(x(LastVisitTo), bracket - 5), QPointF(x(LastVisitTo), bracket + 5));
    painter.setFont(font(8.5, true));
    painter.drawText(QRectF(x(LastVisitFrom), top + 2, x(LastVisitTo) - x(LastVisitFrom), 18),
                     Qt::AlignCenter,
                     QStringLiteral("最終来店日の範囲 %1～%2（分析するお客様を選ぶ）")
                         .arg(slash(LastVisitFrom), slash(LastVisitTo)));

    // The base date: where R is counted to.
    painter.setPen(QPen(BaseDateColour, 1.6));
    painter.drawLine(QPointF(x(BaseDate), bracket + 8), QPointF(x(BaseDate), axis + 10));
    painter.setFont(font(8.5, true));
    painter.drawText(QRectF(x(BaseDate) - 150, top + 30, 146, 14), Qt::AlignRight,
                     QStringLiteral("基準日 %1").arg(slash(BaseDate)));

    // R: from the last visit to the base date, and from the last purchase in the detailed period.
    painter.setFont(font(8.5));
    painter.setPen(QPen(BaseDateColour, 1.2));
    const qreal r1 = axis - 22;
    drawArrow(painter, QPointF(x(Visits[4].Date), r1), QPointF(x(BaseDate) - 1, r1));
    painter.drawText(QRectF(x(Visits[4].Date) - 70, r1 - 15, 66, 14), Qt::AlignRight,
                     QStringLiteral("R＝79日"));
    const qreal r2 = axis - 58;
    painter.setPen(QPen(BaseDateColour, 1.2, Qt::DashLine));
    drawArrow(painter, QPointF(x(Visits[2].Date), r2), QPointF(x(BaseDate) - 1, r2));
    // The text is wider than its arrow: it ends at the base date and reaches back over the band.
    painter.drawText(QRectF(left, r2 - 15, x(BaseDate) - 4 - left, 14), Qt::AlignRight,
                     QStringLiteral("R＝401日（最終来店日を購買日付詳細範囲の日付とするとき）"));

    // The axis with its years.
    painter.setPen(QPen(Qt::black, 1.4));
    drawArrow(painter, QPointF(left - 4, axis), QPointF(left + width + 4, axis));
    painter.setFont(font(8));
    for (int year = 2025; year <= 2027; ++year) {
        const qreal at = x(QDate(year, 1, 1));
        painter.drawLine(QPointF(at, axis - 4), QPointF(at, axis + 4));
        painter.drawText(QRectF(at - 30, axis + 66, 60, 12), Qt::AlignCenter,
                         QStringLiteral("%1年").arg(year));
        painter.setPen(QPen(Qt::gray, 0.5, Qt::DotLine));
        painter.drawLine(QPointF(at, axis + 4), QPointF(at, axis + 64));
        painter.setPen(QPen(Qt::black, 1.4));
    }

    // The visits: a dot on the axis, the number, date and amount below (two rows, so that
    // close visits do not overlap).
    for (std::size_t i = 0; i < Visits.size(); ++i) {
        const Visit& visit = Visits[i];
        const bool inDetail = visit.Date >= DetailFrom && visit.Date <= DetailTo;
        const QColor colour = inDetail ? DetailColour : Qt::black;
        painter.setPen(QPen(colour, 1));
        painter.setBrush(colour);
        painter.drawEllipse(QPointF(x(visit.Date), axis), 4, 4);
        const qreal row = axis + (i % 2 == 0 ? 10 : 36);
        painter.setFont(font(8));
        painter.drawText(QRectF(x(visit.Date) - 40, row, 80, 24), Qt::AlignHCenter | Qt::AlignTop,
                         circled(int(i) + 1) + slash(visit.Date) + QChar(u'\n') +
                             yen(visit.Amount));
    }
    return 230;
}

QString exampleTable() {
    const QString head = QStringLiteral("background-color:#e8e8e8;");
    return QStringLiteral(
               "<table border='1' cellspacing='0' cellpadding='3' width='100%' "
               "style='border-collapse:collapse;'>"
               "<tr><th style='%1'></th><th style='%1'>詳細指定なし</th>"
               "<th style='%1'>「購買日付詳細指定をする」<br>範囲 2025/01/01～2025/12/31</th>"
               "<th "
               "style='%1'>さらに<br>「最終来店日を購買日付<br>詳細範囲の日付とする。」</th></tr>"
               "<tr><td>分析の対象</td><td colspan='3'>対象になる（お客様マスタの最終来店日 "
               "2026/09/12 が最終来店日の範囲にある）。どの列でも同じです。</td></tr>"
               "<tr><td><b>R</b>：最終来店日から<br>基準日までの日数</td>"
               "<td>2026/09/12 から <b>79日</b></td>"
               "<td>2026/09/12 から <b>79日</b><br>（変わらない）</td>"
               "<td>詳細範囲内の最後の購買<br>2025/10/25 から <b>401日</b></td></tr>"
               "<tr><td><b>F</b>：来店回数</td>"
               "<td><b>5回</b>（①～⑤。範囲より前の①も数える）</td>"
               "<td><b>2回</b>（詳細範囲内の②③）</td><td><b>2回</b></td></tr>"
               "<tr><td><b>M</b>：購買額</td><td>50,000円 → <b>5万</b></td>"
               "<td>12,000円＋9,000円＝21,000円 → <b>2万</b></td><td><b>2万</b></td></tr>"
               "</table>")
        .arg(head);
}

} // namespace

bool WriteExplanationDocument(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    QPdfWriter writer(&file);
    writer.setTitle(QStringLiteral("説明：RFM分析日付の関係"));
    writer.setCreator(QStringLiteral("PLWAN40"));
    writer.setResolution(Resolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Point));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = QStringLiteral("cannot start the PDF writer for %1").arg(path);
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing);

    qreal y = Margin;
    painter.setFont(font(17, true));
    painter.drawText(QRectF(Margin, y, TextWidth, 26), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("説明：RFM分析日付の関係"));
    y += 28;
    painter.setFont(font(9.5));
    painter.drawText(QRectF(Margin, y, TextWidth, 16), Qt::AlignLeft,
                     QStringLiteral("ポイント顧客分析（ＲＦＭ分析）のパラメータ画面で指定する"
                                    "三つの日付と、R・F・M の数え方"));
    y += 20;
    painter.setPen(QPen(Qt::black, 0.8));
    painter.drawLine(QPointF(Margin, y), QPointF(PageWidth - Margin, y));
    y += 10;

    y += drawHtml(
        painter,
        QStringLiteral(
            "<p style='font-size:11.5pt;'><b>１．三つの日付</b></p>"
            "<p><b><span style='color:#d21e1e;'>基準日</span></b>："
            "R（最終来店日から何日たったか）を数える終わりの日です。"
            "最終来店日の範囲の終わりより前の日や、本日より後の日は指定できません。</p>"
            "<p><b><span style='color:#1e50c8;'>最終来店日</span></b>（範囲）："
            "分析するお客様を選ぶ範囲です。お客様マスタの最終来店日がこの範囲にあるお客様だけが"
            "分析されます。来店回数や購買額を数える期間ではありません。</p>"
            "<p><b><span style='color:#008c3c;'>購買日付詳細指定</span></b>（範囲）："
            "「購買日付詳細指定をする」にチェックすると、F（来店回数）と M（購買額）を"
            "ポイント履歴のこの範囲の記録だけで数え直します。分析するお客様を選ぶのは、"
            "このときも最終来店日の範囲です。</p>"),
        QPointF(Margin, y), TextWidth);
    y += 10;

    y += drawHtml(painter,
                  QStringLiteral("<p style='font-size:11.5pt;'><b>２．例：お客様Ａの来店</b></p>"
                                 "<p>お客様Ａは ①～⑤ の５回来店しました（お客様マスタでは "
                                 "最終来店日 2026/09/12、来店回数 5回、累計購買額 50,000円）。"
                                 "緑の点は購買日付詳細範囲の中の来店です。</p>"),
                  QPointF(Margin, y), TextWidth);
    y += 8;
    y += drawTimeLine(painter, y);
    y += 8;
    y += drawHtml(painter, exampleTable(), QPointF(Margin, y), TextWidth, 9);
    y += 14;

    y += drawHtml(
        painter,
        QStringLiteral(
            "<p style='font-size:11.5pt;'><b>３．ご注意</b></p><ul style='margin-left:-16px;'>"
            "<li>詳細指定がなければ、F と M はお客様マスタの来店回数と累計購買額（これまでの"
            "すべて）です。最終来店日の範囲より前の来店も含みます。</li>"
            "<li>詳細範囲で数え直すとき、来店回数は購買の記録の数、購買額は購買の金額に"
            "返品・訂正などの記録の金額を加えた合計です。範囲の初日と最終日も含みます。</li>"
            "<li>M は購買額を１万円単位に丸めて（ちょうど半分のときは偶数の側へ）しきい値と"
            "比べます。45,000円は 4万、55,000円は 6万です。</li>"
            "<li>「最終来店日を購買日付詳細範囲の日付とする。」が変えるのは R だけです。"
            "詳細範囲の中に購買がないお客様は、範囲の最終日を最終来店日とします"
            "（例では 2025/12/31 から 334日）。</li></ul>"),
        QPointF(Margin, y), TextWidth);

    if (!painter.end()) {
        if (error)
            *error = QStringLiteral("cannot finish %1").arg(path);
        return false;
    }
    return true;
}

} // namespace plw::explanation
