#pragma once

#include "extract/WaitWindow.h"

#include <QStringList>

namespace plw::test {

// A wait window that records its calls: "open CAPTION|TEXT", "step LABEL", "close".
class RecordingWaitWindow final : public WaitWindow {
public:
    void open(const QString& caption, const QString& text) override {
        calls << QStringLiteral("open ") + caption + QLatin1Char('|') + text;
    }
    void setStep(const QString& label) override { calls << QStringLiteral("step ") + label; }
    void close() override { calls << QStringLiteral("close"); }

    QStringList calls;
};

} // namespace plw::test
