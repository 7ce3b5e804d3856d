#pragma once

#include <QString>

#include <optional>

namespace plw {

class MasterBrowser;

// The windows of a master browser: the small window "一覧準備中" while the list is prepared, and
// the modal list itself. The desktop shows real windows; tests script the operator.
class MasterBrowserDialog {
public:
    virtual ~MasterBrowserDialog() = default;
    // "一覧準備中" with "しばらくお待ち下さい", shown without blocking.
    virtual void showPreparing() = 0;
    virtual void hidePreparing() = 0;
    // Shows the browser's window modally on the browser's page until the operator chooses a
    // line (its key) or closes the window (nothing).
    virtual std::optional<QString> choose(MasterBrowser& browser, const QString& caption) = 0;
};

} // namespace plw
