#include "app/QtJapanese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace plw {

bool LoadJapanese(QCoreApplication& application, QString* error) {
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(&application);
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                          QStringLiteral("_"), folder)) {
        delete translator;
        if (error)
            *error =
                QStringLiteral("Qt の日本語訳（qtbase_ja.qm）が %1 にありません。").arg(folder);
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

} // namespace plw
