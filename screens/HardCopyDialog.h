#pragma once

#include <QString>

class QImage;
class QWidget;

namespace plw {

// What the operator did in the hard-copy window.
enum class HardCopyChoice {
    Print,     // "この画面を印刷する"
    Clipboard, // "クリップボード内容": print the clipboard's picture instead
    Cancel,    // "キャンセル", Esc or the close box
};

// The hard-copy window "ハードコピー": a picture with its date and time, shown modally until the
// operator decides. The desktop shows FRM_HDCOPY; tests script the choice.
class HardCopyDialog {
public:
    virtual ~HardCopyDialog() = default;
    virtual HardCopyChoice choose(const QImage& picture, const QString& dateTime,
                                  QWidget* parent) = 0;
};

} // namespace plw
