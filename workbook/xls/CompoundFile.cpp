#include "workbook/xls/CompoundFile.h"

#include "app/FileSystem.h"

#include <gsf/gsf-doc-meta-data.h>
#include <gsf/gsf-docprop-vector.h>
#include <gsf/gsf-meta-names.h>
#include <gsf/gsf-msole-utils.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>

#include <memory>

namespace plw::xls {

namespace {

// Excel's workbook class {00020820-0000-0000-C000-000000000046} as stored.
const guint8 kExcelClassId[16] = {0x20, 0x08, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                  0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr qsizetype kMinimumStream = 4096;

struct ObjectUnref {
    void operator()(gpointer object) const {
        if (object)
            g_object_unref(object);
    }
};
template <typename T> using GPtr = std::unique_ptr<T, ObjectUnref>;

void InsertText(GsfDocMetaData* meta, const char* name, const QString& text) {
    if (text.isEmpty())
        return;
    GValue* value = g_new0(GValue, 1);
    g_value_init(value, G_TYPE_STRING);
    g_value_set_string(value, text.toUtf8().constData());
    gsf_doc_meta_data_insert(meta, g_strdup(name), value);
}

bool WriteStream(GsfOutfile* file, const char* name, const QByteArray& bytes) {
    GPtr<GsfOutput> stream(gsf_outfile_new_child(file, name, FALSE));
    if (!stream)
        return false;
    const bool written = gsf_output_write(stream.get(), size_t(bytes.size()),
                                          reinterpret_cast<const guint8*>(bytes.constData()));
    return gsf_output_close(stream.get()) && written;
}

} // namespace

bool WriteCompoundFile(const QString& path, const QByteArray& workbookStream,
                       const DocumentProperties& properties, QString* error) {
    gsf_init();
    // The file is built in memory and then written as a whole, so that a failed write leaves no
    // part of it and reports the system's cause.
    GPtr<GsfOutput> sink(gsf_output_memory_new());
    GPtr<GsfOutfile> file(gsf_outfile_msole_new(sink.get()));
    gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(file.get()), kExcelClassId);

    QByteArray workbook = workbookStream;
    if (workbook.size() < kMinimumStream)
        workbook.append(kMinimumStream - workbook.size(), '\0');
    bool ok = WriteStream(file.get(), "Workbook", workbook);

    GPtr<GsfDocMetaData> meta(gsf_doc_meta_data_new());
    InsertText(meta.get(), GSF_META_NAME_TITLE, properties.title);
    InsertText(meta.get(), GSF_META_NAME_SUBJECT, properties.subject);
    InsertText(meta.get(), GSF_META_NAME_CREATOR, properties.creator);
    InsertText(meta.get(), GSF_META_NAME_KEYWORDS, properties.keywords);
    InsertText(meta.get(), GSF_META_NAME_DESCRIPTION, properties.description);
    InsertText(meta.get(), GSF_META_NAME_LAST_SAVED_BY, properties.lastModifiedBy);
    InsertText(meta.get(), GSF_META_NAME_COMPANY, properties.company);
    InsertText(meta.get(), GSF_META_NAME_GENERATOR, properties.application);
    if (!properties.sheets.isEmpty()) {
        GsfDocPropVector* parts = gsf_docprop_vector_new();
        for (const QString& sheet : properties.sheets) {
            GValue part = G_VALUE_INIT;
            g_value_init(&part, G_TYPE_STRING);
            g_value_set_string(&part, sheet.toUtf8().constData());
            gsf_docprop_vector_append(parts, &part);
            g_value_unset(&part);
        }
        GValue* value = g_new0(GValue, 1);
        g_value_init(value, GSF_DOCPROP_VECTOR_TYPE);
        g_value_take_object(value, parts);
        gsf_doc_meta_data_insert(meta.get(), g_strdup(GSF_META_NAME_DOCUMENT_PARTS), value);
    }
    for (const auto& [name, documentSummary] :
         {std::make_pair("\005SummaryInformation", false),
          std::make_pair("\005DocumentSummaryInformation", true)}) {
        GPtr<GsfOutput> stream(gsf_outfile_new_child(file.get(), name, FALSE));
        ok = ok && stream &&
             gsf_doc_meta_data_write_to_msole(meta.get(), stream.get(), documentSummary) &&
             gsf_output_close(stream.get());
    }
    ok = gsf_output_close(GSF_OUTPUT(file.get())) && ok;
    if (ok && !gsf_output_is_closed(sink.get()))
        ok = gsf_output_close(sink.get());
    if (!ok) {
        if (error)
            *error = QStringLiteral("%1 の内容を組み立てられません").arg(path);
        return false;
    }
    const QByteArray bytes = QByteArray::fromRawData(
        reinterpret_cast<const char*>(gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()))),
        qsizetype(gsf_output_size(sink.get())));
    QString cause;
    if (!WriteFileAtomically(path, bytes, &cause)) {
        if (error)
            *error = QStringLiteral("%1 に書き込めません: %2").arg(path, cause);
        return false;
    }
    return true;
}

} // namespace plw::xls
