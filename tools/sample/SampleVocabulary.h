#pragma once

#include <QList>
#include <QString>

namespace plw::sample {

// The words the sample customers are made of: names, places, buildings and memos.
struct PersonName {
    QString kanji;
    QString kana; // half-width katakana, as the suite's card terminals write names
    QString romaji;
};

struct Region {
    QString prefecture;
    QString city;
    QString zip3;     // leading three digits of the postal codes
    QString areaCode; // telephone area code with its leading 0
    QStringList towns;
    int weight; // how many of the shop's customers live there, relatively
};

struct SampleVocabulary {
    QList<PersonName> surnames;
    QList<PersonName> maleNames;
    QList<PersonName> femaleNames;
    QList<Region> regions;
    // Building and room lines; some hold a quote, as real addresses do.
    QStringList buildings;
    // Memo texts; some hold the characters that SQL patterns treat specially (' % * _ [ #).
    QStringList memos;

    // Built once; every text is representable in CP932.
    static const SampleVocabulary& instance();
};

} // namespace plw::sample
