#pragma once

#include "screens/HardCopyPrinter.h"

namespace plw {

// The printers Qt's print support finds installed (CUPS on Linux).
class QtHardCopyPrinter final : public HardCopyPrinter {
public:
    QStringList printerNames() const override;
    QString currentPrinter() const override;
    bool setCurrentPrinter(const QString& name) override;
    std::unique_ptr<QPrinter> openPrinter() override;

private:
    QString mChosen;
};

} // namespace plw
