#pragma once

#include <QToolButton>

namespace plw {

class ScreenHardCopy;

// The hard-copy control "imgHDCopy" every analysis screen carries in its bottom line: a click
// prints the screen's window through the hard copy. It stays disabled until the program
// connects it (ConnectHardCopy).
class HardCopyButton final : public QToolButton {
public:
    explicit HardCopyButton(QWidget* parent);
    void setHardCopy(ScreenHardCopy* hardCopy);

private:
    ScreenHardCopy* mHardCopy = nullptr;
};

// Connects every hard-copy button of the screen to the hard copy.
void ConnectHardCopy(QWidget* screen, ScreenHardCopy& hardCopy);

} // namespace plw
