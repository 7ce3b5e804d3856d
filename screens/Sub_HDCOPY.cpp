#include "screens/Sub_HDCOPY.h"

#include "app/Clock.h"
#include "app/CommonRoutines.h"
#include "app/Prompter.h"
#include "screens/HardCopyDialog.h"
#include "screens/HardCopyPrinter.h"
#include "screens/SaveFileDialog.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QWidget>

#include <memory>

namespace plw {

namespace {

constexpr qreal MarginMillimetres = 10;

} // namespace

QString ClipboardHint() {
    const QChar cr(u'\r');
    return QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞに画面がありません") + cr +
           QStringLiteral("印刷したい画面を指定するのは、") + cr +
           QStringLiteral("Alt を押しながら print を押します") + cr;
}

ScreenHardCopy::ScreenHardCopy(const Clock& clock, Prompter& prompter, HardCopyDialog& dialog,
                               HardCopyPrinter& printer, SaveFileDialog& saveDialog)
    : mClock(clock), mPrompter(prompter), mDialog(dialog), mPrinter(printer),
      mSaveDialog(saveDialog) {}

QImage CaptureWindow(QWidget* window) {
    // On X11 the frame and its title belong to the window manager: the frame's area of the
    // screen is taken. Where no frame is known, the window draws itself.
    const QRect frame = window->frameGeometry();
    QScreen* screen = window->screen();
    if (frame != window->geometry() && screen &&
        QGuiApplication::platformName() == QLatin1String("xcb")) {
        const QPoint offset = frame.topLeft() - screen->geometry().topLeft();
        const QPixmap shot =
            screen->grabWindow(0, offset.x(), offset.y(), frame.width(), frame.height());
        if (!shot.isNull())
            return shot.toImage();
    }
    return window->grab().toImage();
}

void ScreenHardCopy::HardCopy(QWidget* screen) {
    QWidget* window = screen->window();
    preview(CaptureWindow(window), window);
}

void ScreenHardCopy::PrintClipboard(QWidget* parent) {
    const QImage picture = QGuiApplication::clipboard()->image();
    if (picture.isNull()) {
        mPrompter.show(ClipboardHint());
        return;
    }
    preview(picture, parent);
}

void ScreenHardCopy::preview(const QImage& picture, QWidget* parent) {
    switch (mDialog.choose(picture, now(), parent)) {
    case HardCopyChoice::Print:
        print(picture, parent);
        break;
    case HardCopyChoice::Clipboard:
        PrintClipboard(parent);
        break;
    case HardCopyChoice::Cancel:
        break;
    }
}

void ScreenHardCopy::print(const QImage& picture, QWidget* parent) {
    std::unique_ptr<QPrinter> printer = mPrinter.openPrinter();
    const bool toFile = !printer;
    if (toFile) {
        printer = pdfPrinter(parent);
        if (!printer)
            return;
    }
    // The page carries the time of printing, not of the capture.
    if (!PrintHardCopyPage(*printer, picture, now())) {
        mPrompter.show(QStringLiteral("印刷できませんでした") + QChar(u'\r') +
                           (toFile ? QDir::toNativeSeparators(printer->outputFileName())
                                   : printer->printerName()),
                       MessageIcon::Critical);
        return;
    }
    if (toFile)
        mPrompter.show(QStringLiteral("PDFファイルに印刷しました") + QChar(u'\r') +
                       QDir::toNativeSeparators(printer->outputFileName()));
}

std::unique_ptr<QPrinter> ScreenHardCopy::pdfPrinter(QWidget* parent) {
    const QChar cr(u'\r');
    if (mPrompter.show(QStringLiteral("プリンタがインストールされていません。") + cr +
                           QStringLiteral("PDFファイルに印刷しますか？"),
                       MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return nullptr;
    const QString file = QStringLiteral("ハードコピー_") +
                         mClock.now().toString(QStringLiteral("yyyyMMdd_HHmmss")) +
                         QStringLiteral(".pdf");
    const QString path = mSaveDialog.askSaveFileName(
        parent, QStringLiteral("PDFファイルに印刷"), DocumentsFolder(), file,
        QStringLiteral("PDFファイル (*.pdf)"), QStringLiteral("pdf"));
    if (path.isEmpty())
        return nullptr;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return printer;
}

QString ScreenHardCopy::now() const {
    return mClock.now().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

bool PrintHardCopyPage(QPrinter& printer, const QImage& picture, const QString& dateTime) {
    printer.setDocName(QStringLiteral("ハードコピー"));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setPageMargins(
        QMarginsF(MarginMillimetres, MarginMillimetres, MarginMillimetres, MarginMillimetres),
        QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect area(QPoint(0, 0),
                     printer.pageLayout().paintRectPixels(printer.resolution()).size());
    QFont font(QStringLiteral("IPAGothic"));
    font.setPointSizeF(10);
    painter.setFont(font);
    const int lineHeight = painter.fontMetrics().height();
    painter.drawText(QRect(area.left(), area.top(), area.width(), lineHeight),
                     Qt::AlignRight | Qt::AlignVCenter, dateTime);

    const QRect room = area.adjusted(0, lineHeight * 3 / 2, 0, 0);
    QSize size = picture.size();
    size.scale(room.size(), Qt::KeepAspectRatio);
    const QRect target(QPoint(room.left() + (room.width() - size.width()) / 2, room.top()), size);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
    return painter.end();
}

} // namespace plw
