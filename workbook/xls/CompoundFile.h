#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace plw::xls {

// The document properties a classic workbook carries beside its Workbook stream.
struct DocumentProperties {
    QString title;
    QString subject;
    QString creator;
    QString keywords;
    QString description;
    QString lastModifiedBy;
    QString company;
    QString application;
    QStringList sheets;
};

// Writes an OLE2 compound file (through libgsf) holding the Workbook stream and the summary
// and document summary property sets, with the class id of an Excel workbook. The Workbook
// stream is padded to 4096 bytes so it never lands in the small-block stream. False with the
// system's reason when the file cannot be written.
bool WriteCompoundFile(const QString& path, const QByteArray& workbookStream,
                       const DocumentProperties& properties, QString* error);

} // namespace plw::xls
