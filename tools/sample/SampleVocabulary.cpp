#include "tools/sample/SampleVocabulary.h"

#include <span>

namespace plw::sample {
namespace {

struct NameText {
    const char16_t* kanji;
    const char16_t* kana;
    const char* romaji;
};

// Common surnames; 髙橋 and 山﨑 use characters found only in CP932's extension rows.
constexpr NameText kSurnames[] = {
    {u"佐藤", u"ｻﾄｳ", "sato"},         {u"鈴木", u"ｽｽﾞｷ", "suzuki"},
    {u"高橋", u"ﾀｶﾊｼ", "takahashi"},   {u"田中", u"ﾀﾅｶ", "tanaka"},
    {u"伊藤", u"ｲﾄｳ", "ito"},          {u"渡辺", u"ﾜﾀﾅﾍﾞ", "watanabe"},
    {u"山本", u"ﾔﾏﾓﾄ", "yamamoto"},    {u"中村", u"ﾅｶﾑﾗ", "nakamura"},
    {u"小林", u"ｺﾊﾞﾔｼ", "kobayashi"},  {u"加藤", u"ｶﾄｳ", "kato"},
    {u"吉田", u"ﾖｼﾀﾞ", "yoshida"},     {u"山田", u"ﾔﾏﾀﾞ", "yamada"},
    {u"佐々木", u"ｻｻｷ", "sasaki"},     {u"山口", u"ﾔﾏｸﾞﾁ", "yamaguchi"},
    {u"松本", u"ﾏﾂﾓﾄ", "matsumoto"},   {u"井上", u"ｲﾉｳｴ", "inoue"},
    {u"木村", u"ｷﾑﾗ", "kimura"},       {u"林", u"ﾊﾔｼ", "hayashi"},
    {u"斎藤", u"ｻｲﾄｳ", "saito"},       {u"清水", u"ｼﾐｽﾞ", "shimizu"},
    {u"山崎", u"ﾔﾏｻﾞｷ", "yamazaki"},   {u"森", u"ﾓﾘ", "mori"},
    {u"池田", u"ｲｹﾀﾞ", "ikeda"},       {u"橋本", u"ﾊｼﾓﾄ", "hashimoto"},
    {u"阿部", u"ｱﾍﾞ", "abe"},          {u"石川", u"ｲｼｶﾜ", "ishikawa"},
    {u"山下", u"ﾔﾏｼﾀ", "yamashita"},   {u"中島", u"ﾅｶｼﾏ", "nakashima"},
    {u"石井", u"ｲｼｲ", "ishii"},        {u"小川", u"ｵｶﾞﾜ", "ogawa"},
    {u"前田", u"ﾏｴﾀﾞ", "maeda"},       {u"岡田", u"ｵｶﾀﾞ", "okada"},
    {u"長谷川", u"ﾊｾｶﾞﾜ", "hasegawa"}, {u"藤田", u"ﾌｼﾞﾀ", "fujita"},
    {u"後藤", u"ｺﾞﾄｳ", "goto"},        {u"近藤", u"ｺﾝﾄﾞｳ", "kondo"},
    {u"髙橋", u"ﾀｶﾊｼ", "takahashi"},   {u"山﨑", u"ﾔﾏｻﾞｷ", "yamazaki"},
};

constexpr NameText kMaleNames[] = {
    {u"太郎", u"ﾀﾛｳ", "taro"},      {u"一郎", u"ｲﾁﾛｳ", "ichiro"},   {u"健太", u"ｹﾝﾀ", "kenta"},
    {u"翔太", u"ｼｮｳﾀ", "shota"},    {u"大輔", u"ﾀﾞｲｽｹ", "daisuke"}, {u"誠", u"ﾏｺﾄ", "makoto"},
    {u"浩", u"ﾋﾛｼ", "hiroshi"},     {u"拓也", u"ﾀｸﾔ", "takuya"},    {u"直樹", u"ﾅｵｷ", "naoki"},
    {u"蓮", u"ﾚﾝ", "ren"},          {u"悠真", u"ﾕｳﾏ", "yuma"},      {u"隆", u"ﾀｶｼ", "takashi"},
    {u"修", u"ｵｻﾑ", "osamu"},       {u"和夫", u"ｶｽﾞｵ", "kazuo"},    {u"茂", u"ｼｹﾞﾙ", "shigeru"},
    {u"博之", u"ﾋﾛﾕｷ", "hiroyuki"},
};

constexpr NameText kFemaleNames[] = {
    {u"花子", u"ﾊﾅｺ", "hanako"},   {u"陽子", u"ﾖｳｺ", "yoko"},     {u"恵子", u"ｹｲｺ", "keiko"},
    {u"美咲", u"ﾐｻｷ", "misaki"},   {u"愛", u"ｱｲ", "ai"},          {u"彩", u"ｱﾔ", "aya"},
    {u"由美", u"ﾕﾐ", "yumi"},      {u"真由美", u"ﾏﾕﾐ", "mayumi"}, {u"久美子", u"ｸﾐｺ", "kumiko"},
    {u"さくら", u"ｻｸﾗ", "sakura"}, {u"結衣", u"ﾕｲ", "yui"},       {u"陽菜", u"ﾋﾅ", "hina"},
    {u"幸子", u"ｻﾁｺ", "sachiko"},  {u"和子", u"ｶｽﾞｺ", "kazuko"},  {u"明美", u"ｱｹﾐ", "akemi"},
    {u"千尋", u"ﾁﾋﾛ", "chihiro"},
};

struct RegionText {
    const char16_t* prefecture;
    const char16_t* city;
    const char* zip3;
    const char* areaCode;
    const char16_t* towns; // separated by "/"
    int weight;
};

// The shop stands in Setagaya: most customers live nearby, a few far away.
constexpr RegionText kRegions[] = {
    {u"東京都", u"世田谷区", "154", "03", u"三軒茶屋/太子堂/下馬/駒沢/上馬/若林", 40},
    {u"東京都", u"目黒区", "152", "03", u"自由が丘/八雲/中根/柿の木坂", 14},
    {u"東京都", u"新宿区", "160", "03", u"西新宿/歌舞伎町/四谷/新宿", 8},
    {u"神奈川県", u"川崎市高津区", "213", "044", u"溝口/二子/久本/末長", 10},
    {u"神奈川県", u"横浜市港北区", "222", "045", u"日吉/綱島西/菊名/大倉山", 8},
    {u"埼玉県", u"さいたま市浦和区", "330", "048", u"高砂/常盤/岸町", 4},
    {u"千葉県", u"千葉市中央区", "260", "043", u"富士見/中央/新町", 3},
    {u"大阪府", u"大阪市北区", "530", "06", u"梅田/天神橋/中崎", 3},
    {u"愛知県", u"名古屋市中区", "460", "052", u"栄/錦/大須", 2},
    {u"京都府", u"京都市中京区", "604", "075", u"西ノ京/壬生/二条", 2},
    {u"兵庫県", u"神戸市中央区", "650", "078", u"三宮町/元町通/北野町", 2},
    {u"福岡県", u"福岡市博多区", "812", "092", u"博多駅前/中洲/祇園町", 2},
    {u"北海道", u"札幌市中央区", "060", "011", u"北一条西/南三条西/大通西", 1},
    {u"宮城県", u"仙台市青葉区", "980", "022", u"一番町/国分町/中央", 1},
};

constexpr const char16_t* kBuildings[] = {
    u"サンハイツ２０１",
    u"コーポ若林１０２",
    u"グランメゾン三軒茶屋５０３",
    u"パークサイド駒沢３０２",
    u"第二松本ビル４Ｆ",
    u"St.Mary's Court 305",
    u"O'Hara Heights 102",
    u"ﾊｲﾂ'ｸﾞﾘｰﾝ 2F",
    u"メゾン・ド・フルール１１",
    u"ライオンズマンション７０８",
    u"",
};

constexpr const char16_t* kMemos[] = {
    u"誕生日10%OFF券 送付済", u"*住所確認中*",         u"[VIP] 来店時に声かけ", u"LINE_ID 登録済",
    u"家族カード#2",          u"ｺﾒﾝﾄ:'要連絡'",        u"転居のため住所変更",   u"ポイント合算済",
    u"O'Hara様ご紹介",        u"DM不要（電話で連絡）", u"50%引きセールで入会",  u"ギフト包装希望",
};

QList<PersonName> names(std::span<const NameText> list) {
    QList<PersonName> out;
    for (const NameText& n : list)
        out.append({QString::fromUtf16(n.kanji), QString::fromUtf16(n.kana),
                    QString::fromLatin1(n.romaji)});
    return out;
}

SampleVocabulary build() {
    SampleVocabulary v;
    v.surnames = names(kSurnames);
    v.maleNames = names(kMaleNames);
    v.femaleNames = names(kFemaleNames);
    for (const RegionText& r : kRegions)
        v.regions.append({QString::fromUtf16(r.prefecture), QString::fromUtf16(r.city),
                          QString::fromLatin1(r.zip3), QString::fromLatin1(r.areaCode),
                          QString::fromUtf16(r.towns).split(QLatin1Char('/')), r.weight});
    for (const char16_t* b : kBuildings)
        v.buildings.append(QString::fromUtf16(b));
    for (const char16_t* m : kMemos)
        v.memos.append(QString::fromUtf16(m));
    return v;
}

} // namespace

const SampleVocabulary& SampleVocabulary::instance() {
    static const SampleVocabulary vocabulary = build();
    return vocabulary;
}

} // namespace plw::sample
