#pragma once

#include "db/MasterBrowserDialog.h"

#include <memory>

class QWidget;

namespace plw {

struct Environment;

// The desktop's master-browser windows: the preparing window "一覧準備中" and the modal list
// (FRM_TBLBRSM4 / FRM_TBLBRSM6), centred and then placed by the installation's screen side.
class QtMasterBrowserDialog final : public MasterBrowserDialog {
public:
    explicit QtMasterBrowserDialog(const Environment& environment);
    ~QtMasterBrowserDialog() override;

    void showPreparing() override;
    void hidePreparing() override;
    std::optional<QString> choose(MasterBrowser& browser, const QString& caption) override;

private:
    const Environment& mEnvironment;
    std::unique_ptr<QWidget> mPreparing;
};

} // namespace plw
