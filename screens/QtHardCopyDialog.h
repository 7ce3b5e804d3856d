#pragma once

#include "screens/HardCopyDialog.h"

namespace plw {

class HardCopyPrinter;
class Prompter;

// The desktop's hard-copy window: a new FRM_HDCOPY for every picture.
class QtHardCopyDialog final : public HardCopyDialog {
public:
    QtHardCopyDialog(HardCopyPrinter& printer, Prompter& prompter)
        : mPrinter(printer), mPrompter(prompter) {}
    HardCopyChoice choose(const QImage& picture, const QString& dateTime, QWidget* parent) override;

private:
    HardCopyPrinter& mPrinter;
    Prompter& mPrompter;
};

} // namespace plw
