#pragma once

#include <QString>

namespace plw {

// The modeless window that stays open while customers are extracted: a caption, a fixed text and
// the label of the step under way. The screens show a real window; tests record the calls.
class WaitWindow {
public:
    virtual ~WaitWindow() = default;
    virtual void open(const QString& caption, const QString& text) = 0;
    virtual void setStep(const QString& label) = 0;
    virtual void close() = 0;
};

inline const QString WaitWindowCaption = QStringLiteral("抽出中");
inline const QString WaitWindowText = QStringLiteral("現在処理中です。");

} // namespace plw
