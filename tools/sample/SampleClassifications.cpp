#include "tools/sample/SampleClassifications.h"

#include <QStringList>

namespace plw::sample {
namespace {

constexpr int MaxEntries = 20;

ClassificationLevel
level(const char16_t* key, const char16_t* name,
      std::initializer_list<std::pair<const char16_t*, const char16_t*>> entries) {
    ClassificationLevel out{QString::fromUtf16(key), QString::fromUtf16(name), {}};
    for (const auto& [code, entryName] : entries)
        out.entries.append({QString::fromUtf16(code), QString::fromUtf16(entryName)});
    return out;
}

// Quoted as a text field: a double quote inside is written twice.
QString quoted(const QString& field) {
    QString inner = field;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QList<ClassificationLevel> build() {
    // The codes of the first, second and fourth level differ from the entry positions on purpose:
    // only the position ("01" to "20") is stored with the customer.
    return {
        level(u"1", u"来店動機",
              {{u"A1", u"チラシ・広告"},
               {u"A2", u"知人の紹介"},
               {u"A3", u"通りがかり"},
               {u"A4", u"ホームページ"},
               {u"A5", u"ＳＮＳ"},
               {u"A6", u"雑誌・フリーペーパー"},
               {u"A7", u"テレビ・ラジオ"},
               {u"A8", u"その他"}}),
        level(u"2", u"職業",
              {{u"11", u"会社員"},
               {u"12", u"公務員"},
               {u"13", u"自営業"},
               {u"14", u"会社役員"},
               {u"15", u"学生"},
               {u"16", u"主婦・主夫"},
               {u"17", u"パート,アルバイト"},
               {u"18", u"医療・福祉"},
               {u"19", u"無職"},
               {u"20", u"その他"}}),
        level(u"3", u"趣味", {{u"01", u"スポーツ"},   {u"02", u"音楽"},         {u"03", u"映画"},
                              {u"04", u"読書"},       {u"05", u"旅行"},         {u"06", u"料理"},
                              {u"07", u"ゴルフ"},     {u"08", u"釣り"},         {u"09", u"園芸"},
                              {u"10", u"手芸"},       {u"11", u"写真"},         {u"12", u"ゲーム"},
                              {u"13", u"アウトドア"}, {u"14", u"ファッション"}, {u"15", u"美容"},
                              {u"16", u"ペット"},     {u"17", u"カラオケ"},     {u"18", u"ダンス"},
                              {u"19", u"茶道・華道"}, {u"20", u"その他"}}),
        level(u"4", u"居住地区",
              {{u"T1", u"三軒茶屋周辺"},
               {u"T2", u"駒沢周辺"},
               {u"T3", u"世田谷区内"},
               {u"T4", u"目黒区"},
               {u"T5", u"川崎・横浜"},
               {u"T6", u"その他"}}),
    };
}

} // namespace

const QList<ClassificationLevel>& SampleClassificationLevels() {
    static const QList<ClassificationLevel> levels = build();
    return levels;
}

QString ClassificationFileText(const QList<ClassificationLevel>& levels) {
    QString text;
    for (const ClassificationLevel& l : levels) {
        QStringList fields{quoted(l.key), quoted(l.name)};
        for (int i = 0; i < MaxEntries; ++i) {
            const bool present = i < l.entries.size();
            fields << quoted(present ? l.entries[i].code : QString())
                   << quoted(present ? l.entries[i].name : QString());
        }
        text += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text;
}

} // namespace plw::sample
