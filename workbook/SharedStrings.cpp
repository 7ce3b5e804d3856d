#include "workbook/SharedStrings.h"

#include "workbook/EngineError.h"
#include "workbook/XmlPart.h"

#include <pugixml.hpp>

#include <cstdio>
#include <cstring>

namespace plw {

namespace {

using XmlPart::HasLocalName;

bool IsHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// True when text holds "_xHHHH_" at position i.
bool IsEscapeAt(const QString& text, qsizetype i) {
    if (i + 7 > text.size() || text[i] != u'_' || text[i + 1] != u'x' || text[i + 6] != u'_')
        return false;
    for (qsizetype k = i + 2; k < i + 6; ++k) {
        if (!IsHexDigit(text[k]))
            return false;
    }
    return true;
}

void AppendHexEscape(QByteArray* out, ushort code) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "_x%04X_", code);
    out->append(buffer, 7);
}

// The characters of an <si> or <is> element: its <t>, or the <t> of every run.
QString ItemText(const pugi::xml_node& item) {
    QString text;
    for (pugi::xml_node child : item.children()) {
        if (HasLocalName(child, "t")) {
            text += QString::fromUtf8(child.text().get());
        } else if (HasLocalName(child, "r")) {
            for (pugi::xml_node run : child.children()) {
                if (HasLocalName(run, "t"))
                    text += QString::fromUtf8(run.text().get());
            }
        }
    }
    return SharedStrings::Unescape(text);
}

} // namespace

bool SharedStrings::load(const QByteArray& xml, QString* error) {
    mStrings.clear();
    mIndex.clear();
    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer(xml.constData(), static_cast<size_t>(xml.size()),
                             pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!parsed) {
        SetEngineError(error, EngineFault::SharedStringsNotXml, {XmlPart::ParseErrorText(parsed)});
        return false;
    }
    pugi::xml_node root = document.document_element();
    if (!HasLocalName(root, "sst")) {
        SetEngineError(error, EngineFault::SharedStringsWithoutTable);
        return false;
    }
    // Every <si> takes the next index, even a repeated one.
    for (pugi::xml_node item : root.children()) {
        if (!HasLocalName(item, "si"))
            continue;
        mStrings.append(ItemText(item));
    }
    // Filled from the end so that a repeated string is found at its first index.
    for (int i = static_cast<int>(mStrings.size()) - 1; i >= 0; --i)
        mIndex.insert(mStrings.at(i), i);
    return true;
}

int SharedStrings::add(const QString& text) {
    auto it = mIndex.constFind(text);
    if (it != mIndex.constEnd())
        return it.value();
    const int index = static_cast<int>(mStrings.size());
    mStrings.append(text);
    mIndex.insert(text, index);
    return index;
}

QByteArray SharedStrings::toXml() const {
    QByteArray out;
    out.reserve(64 + mStrings.size() * 24);
    out.append("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
               "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
               "uniqueCount=\"");
    out.append(QByteArray::number(mStrings.size()));
    out.append("\">");
    for (const QString& text : mStrings) {
        const bool keepSpaces =
            !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
        out.append(keepSpaces ? "<si><t xml:space=\"preserve\">" : "<si><t>");
        AppendEscaped(&out, text);
        out.append("</t></si>");
    }
    out.append("</sst>");
    return out;
}

void SharedStrings::AppendEscaped(QByteArray* out, const QString& text) {
    qsizetype plainFrom = 0;
    auto flush = [&](qsizetype to) {
        if (to > plainFrom)
            out->append(QStringView(text).mid(plainFrom, to - plainFrom).toUtf8());
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const ushort c = text.at(i).unicode();
        const char* entity = nullptr;
        bool hexEscape = false;
        switch (c) {
        case u'&':
            entity = "&amp;";
            break;
        case u'<':
            entity = "&lt;";
            break;
        case u'>':
            entity = "&gt;";
            break;
        case u'_':
            hexEscape = IsEscapeAt(text, i);
            break;
        case u'\t':
        case u'\n':
            break;
        case u'\r':
            // XML readers turn CR LF into LF, so a CR survives only escaped.
            hexEscape = true;
            break;
        default:
            // C0 controls, and U+FFFE/U+FFFF which XML does not allow either.
            hexEscape = c < 0x20 || c == 0xFFFE || c == 0xFFFF;
            break;
        }
        if (!entity && !hexEscape)
            continue;
        flush(i);
        if (entity)
            out->append(entity);
        else
            AppendHexEscape(out, c);
        plainFrom = i + 1;
    }
    flush(text.size());
}

QString SharedStrings::Unescape(const QString& text) {
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (IsEscapeAt(text, i)) {
            out.append(QChar(static_cast<ushort>(text.mid(i + 2, 4).toUInt(nullptr, 16))));
            i += 6;
        } else {
            out.append(text.at(i));
        }
    }
    return out;
}

} // namespace plw
