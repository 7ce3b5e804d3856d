#include "tools/helppicture/ConditionHelpPicture.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace plw {

namespace {

constexpr int Width = 960;
constexpr int Height = 610;

const QColor Ink(0x20, 0x20, 0x20);
const QColor AndColour(0x2f, 0x6f, 0xc0);     // 指定（かつ）
const QColor IncludeColour(0x2e, 0x9a, 0x4a); // 指定（含める）
const QColor ExcludeColour(0xc8, 0x3a, 0x32); // 除外する
const QColor NoneColour(0x90, 0x90, 0x90);    // 指定しない
const QColor Taken(0xff, 0xd8, 0x60);         // the customers taken

class Drawer {
public:
    Drawer(QPainter& painter, const QString& family) : mPainter(painter), mFamily(family) {}

    void font(int pixels, bool bold = false) {
        QFont f(mFamily);
        f.setPixelSize(pixels);
        f.setBold(bold);
        mPainter.setFont(f);
    }
    void text(int x, int y, const QString& s, const QColor& colour = Ink) {
        mPainter.setPen(colour);
        mPainter.drawText(x, y, s);
    }
    void boxedText(const QRect& r, const QString& s, const QColor& colour, int flags) {
        mPainter.setPen(colour);
        mPainter.drawText(r, flags, s);
    }
    // A rounded label in the kind's colour.
    void badge(int x, int y, int w, const QString& s, const QColor& colour) {
        mPainter.setPen(Qt::NoPen);
        mPainter.setBrush(colour);
        mPainter.drawRoundedRect(QRect(x, y, w, 26), 6, 6);
        font(15, true);
        boxedText(QRect(x, y, w, 26), s, Qt::white, Qt::AlignCenter);
    }

    QPainter& painter() { return mPainter; }

private:
    QPainter& mPainter;
    QString mFamily;
};

void DrawKinds(Drawer& d) {
    struct Kind {
        const char16_t* Caption;
        QColor Colour;
        const char16_t* Meaning;
    };
    const std::array<Kind, 4> kinds{{
        {u"指定しない", NoneColour, u"この条件は使いません。"},
        {u"指定（かつ）", AndColour,
         u"この条件にあてはまる人に絞り込みます。「かつ」が複数あれば、すべてにあてはまる人です。"},
        {u"指定（含める）", IncludeColour,
         u"「かつ」で選んだ人に、この条件にあてはまる人を加えます。「かつ」が１つもなければ働きませ"
         u"ん。"},
        {u"除外する", ExcludeColour, u"最後に、この条件にあてはまる人を除きます。"},
    }};
    int y = 62;
    for (const Kind& k : kinds) {
        d.badge(24, y, 150, QString::fromUtf16(k.Caption), k.Colour);
        d.font(15);
        d.text(188, y + 19, QString::fromUtf16(k.Meaning));
        y += 34;
    }

    // The formula of the customers taken.
    QPainter& p = d.painter();
    const QRect formula(24, y + 6, Width - 48, 58);
    p.setPen(QPen(Ink, 1.5));
    p.setBrush(QColor(0xff, 0xf6, 0xd8));
    p.drawRoundedRect(formula, 8, 8);
    d.font(17, true);
    int x = formula.left() + 16;
    const int baseline = formula.top() + 25;
    const auto part = [&](const QString& s, const QColor& colour) {
        d.text(x, baseline, s, colour);
        x += p.fontMetrics().horizontalAdvance(s);
    };
    part(QStringLiteral("対象 ＝ （ "), Ink);
    part(QStringLiteral("かつ①"), AndColour);
    part(QStringLiteral(" と "), Ink);
    part(QStringLiteral("かつ②"), AndColour);
    part(QStringLiteral(" の両方 … "), Ink);
    part(QStringLiteral("）＋ "), Ink);
    part(QStringLiteral("含める①"), IncludeColour);
    part(QStringLiteral(" ＋ "), Ink);
    part(QStringLiteral("含める②"), IncludeColour);
    part(QStringLiteral(" … － "), Ink);
    part(QStringLiteral("除外①"), ExcludeColour);
    part(QStringLiteral(" － "), Ink);
    part(QStringLiteral("除外②"), ExcludeColour);
    part(QStringLiteral(" …"), Ink);
    d.font(13);
    d.text(formula.left() + 16, formula.top() + 47,
           QStringLiteral("「かつ」がなければ（ ）は全員です。その場合「含める」は加わりません。"
                          "最終来店日（分析期間）は、いつも「かつ」の条件です。"));
}

void DrawExample(Drawer& d) {
    QPainter& p = d.painter();
    const int top = 290;
    d.font(18, true);
    d.text(24, top, QStringLiteral("例：３つの条件を指定したとき"));
    d.font(15);
    d.badge(24, top + 14, 130, QStringLiteral("指定（かつ）"), AndColour);
    d.text(166, top + 33, QStringLiteral("性別 ＝ 女"));
    d.badge(24, top + 48, 130, QStringLiteral("指定（含める）"), IncludeColour);
    d.font(15);
    d.text(166, top + 67, QStringLiteral("誕生月 ＝ 12月"));
    d.badge(24, top + 82, 130, QStringLiteral("除外する"), ExcludeColour);
    d.font(15);
    d.text(166, top + 101, QStringLiteral("ＤＭ送付許諾 ＝ 拒否の者"));

    // The diagram: (women + born in December) − refused direct mail.
    const QRectF women(40, top + 120, 190, 165);
    const QRectF december(170, top + 120, 190, 165);
    const QRectF refused(105, top + 200, 190, 110);
    QPainterPath a;
    a.addEllipse(women);
    QPainterPath b;
    b.addEllipse(december);
    QPainterPath c;
    c.addEllipse(refused);
    p.setPen(Qt::NoPen);
    p.setBrush(Taken);
    p.drawPath(a.united(b).subtracted(c));
    p.setBrush(Qt::NoBrush);
    const auto outline = [&](const QRectF& r, const QColor& colour) {
        p.setPen(QPen(colour, 2.5));
        p.drawEllipse(r);
    };
    outline(women, AndColour);
    outline(december, IncludeColour);
    outline(refused, ExcludeColour);
    d.font(14, true);
    d.text(62, top + 165, QStringLiteral("女性"), AndColour);
    d.text(270, top + 165, QStringLiteral("12月生まれ"), IncludeColour);
    d.text(172, top + 300, QStringLiteral("ＤＭ拒否"), ExcludeColour);
    p.setPen(Qt::NoPen);
    p.setBrush(Taken);
    p.drawRect(QRect(400, top + 14, 22, 16));
    d.font(14);
    d.text(430, top + 28, QStringLiteral("＝ 分析の対象になるお客様"));

    // Five customers and what becomes of them.
    struct Customer {
        const char16_t* Name;
        const char16_t* Sex;
        const char16_t* Month;
        const char16_t* Mail;
        bool TakenIn;
        const char16_t* Why;
    };
    const std::array<Customer, 5> customers{{
        {u"Ａさん", u"女", u"3月", u"許諾", true, u"「かつ」にあてはまる"},
        {u"Ｂさん", u"男", u"12月", u"許諾", true, u"「含める」で加わる"},
        {u"Ｃさん", u"女", u"12月", u"拒否", false, u"「除外」で除かれる"},
        {u"Ｄさん", u"男", u"5月", u"許諾", false, u"どれにもあてはまらない"},
        {u"Ｅさん", u"男", u"12月", u"拒否", false, u"加わっても「除外」で除かれる"},
    }};
    const std::array<int, 6> columns{400, 480, 530, 600, 680, 760};
    const std::array<const char16_t*, 6> headings{u"お客様", u"性別", u"誕生月",
                                                  u"ＤＭ",   u"結果", u"理由"};
    int y = top + 74;
    d.font(14, true);
    for (size_t i = 0; i < headings.size(); ++i)
        d.text(columns[i], y, QString::fromUtf16(headings[i]));
    p.setPen(QPen(Ink, 1));
    p.drawLine(columns[0], y + 8, Width - 24, y + 8);
    d.font(14);
    for (const Customer& customer : customers) {
        y += 34;
        if (customer.TakenIn) {
            p.setPen(Qt::NoPen);
            p.setBrush(Taken);
            p.drawRect(QRect(columns[0] - 6, y - 21, Width - 24 - columns[0] + 6, 30));
        }
        d.text(columns[0], y, QString::fromUtf16(customer.Name));
        d.text(columns[1], y, QString::fromUtf16(customer.Sex));
        d.text(columns[2], y, QString::fromUtf16(customer.Month));
        d.text(columns[3], y, QString::fromUtf16(customer.Mail));
        d.font(14, true);
        d.text(columns[4], y, customer.TakenIn ? QStringLiteral("対象") : QStringLiteral("対象外"),
               customer.TakenIn ? Ink : ExcludeColour);
        d.font(13);
        d.text(columns[5], y, QString::fromUtf16(customer.Why));
        d.font(14);
    }
}

} // namespace

QImage DrawConditionHelpPicture(const QString& fontFamily) {
    QImage image(Width, Height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    Drawer d(painter, fontFamily);
    d.font(22, true);
    d.text(24, 36, QStringLiteral("抽出条件の指定方法と、分析の対象になるお客様"));
    DrawKinds(d);
    DrawExample(d);
    return image;
}

} // namespace plw
