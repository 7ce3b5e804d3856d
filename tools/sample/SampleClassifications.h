#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace plw::sample {

// The four classification levels of the sample shop and their entries, as S3BUNRU.DAT holds them.
struct ClassificationEntry {
    QString code; // shown to the operator; customers carry the entry's position, not this code
    QString name;
};

struct ClassificationLevel {
    QString key; // the unused first field of the line
    QString name;
    QList<ClassificationEntry> entries; // at most 20
};

const QList<ClassificationLevel>& SampleClassificationLevels();

// The file's text: one line per level, every field quoted as the suite's writer quotes it, all
// 20 code/name pairs written (empty pairs as ""), lines ended with CR LF.
QString ClassificationFileText(const QList<ClassificationLevel>& levels);

} // namespace plw::sample
