#pragma once

#include <QToolButton>

namespace plw {

class ScreenHardCopy;

// The hard-copy control "imgHDCopy" every analysis screen carries in its bottom line: a click
// prints the screen's window through the hard copy. A screen whose background double click
// also prints (the condition screen) names itself as doubleClickArea. It stays disabled until
// the program connects it (ConnectHardCopy).
class HardCopyButton final : public QToolButton {
public:
    explicit HardCopyButton(QWidget* parent, QWidget* doubleClickArea = nullptr);
    void setHardCopy(ScreenHardCopy* hardCopy);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hardCopy();

    ScreenHardCopy* mHardCopy = nullptr;
    QWidget* mDoubleClickArea = nullptr;
};

// Connects every hard-copy button of the screen to the hard copy.
void ConnectHardCopy(QWidget* screen, ScreenHardCopy& hardCopy);

} // namespace plw
