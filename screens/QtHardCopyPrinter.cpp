#include "screens/QtHardCopyPrinter.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace plw {

QStringList QtHardCopyPrinter::printerNames() const {
    return QPrinterInfo::availablePrinterNames();
}

QString QtHardCopyPrinter::currentPrinter() const {
    // A chosen printer removed since falls back to the default.
    if (!mChosen.isEmpty() && printerNames().contains(mChosen))
        return mChosen;
    const QString fallback = QPrinterInfo::defaultPrinterName();
    if (!fallback.isEmpty())
        return fallback;
    const QStringList names = printerNames();
    return names.isEmpty() ? QString() : names.front();
}

bool QtHardCopyPrinter::setCurrentPrinter(const QString& name) {
    if (!printerNames().contains(name))
        return false;
    mChosen = name;
    return true;
}

std::unique_ptr<QPrinter> QtHardCopyPrinter::openPrinter() {
    const QString name = currentPrinter();
    if (name.isEmpty())
        return nullptr;
    return std::make_unique<QPrinter>(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
}

} // namespace plw
