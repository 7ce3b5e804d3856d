#pragma once

#include <QString>

#include <memory>

class QImage;
class QPrinter;
class QWidget;

namespace plw {

class Clock;
class HardCopyDialog;
class HardCopyPrinter;
class Prompter;
class SaveFileDialog;

// The screen hard copy: a screen's window captured as a picture, previewed with the date and
// time in the hard-copy window, and printed on the program's printer when the operator asks;
// or the clipboard's picture instead. With no printer installed the operator may print to a PDF
// file. Every screen's hard-copy button calls HardCopy with itself.
class ScreenHardCopy {
public:
    ScreenHardCopy(const Clock& clock, Prompter& prompter, HardCopyDialog& dialog,
                   HardCopyPrinter& printer, SaveFileDialog& saveDialog);

    // Captures the screen's window and opens the hard-copy window on it.
    void HardCopy(QWidget* screen);
    // "クリップボード内容": the clipboard's picture in the hard-copy window, or the hint how to
    // put a screen there.
    void PrintClipboard(QWidget* parent);

    HardCopyPrinter& printer() { return mPrinter; }

private:
    void preview(const QImage& picture, QWidget* parent);
    void print(const QImage& picture, QWidget* parent);
    std::unique_ptr<QPrinter> pdfPrinter(QWidget* parent);
    QString now() const;

    const Clock& mClock;
    Prompter& mPrompter;
    HardCopyDialog& mDialog;
    HardCopyPrinter& mPrinter;
    SaveFileDialog& mSaveDialog;
};

// The window as the operator sees it, frame and title included: on X11 the frame's area of the
// screen, elsewhere (no frame known) the window's own drawing.
QImage CaptureWindow(QWidget* window);

// The hint when the clipboard holds no picture.
QString ClipboardHint();

// Prints one landscape page: the date and time as text at the top right, the picture below it
// scaled to fit within the margins. False when the printer cannot be started.
bool PrintHardCopyPage(QPrinter& printer, const QImage& picture, const QString& dateTime);

} // namespace plw
