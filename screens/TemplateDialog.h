#pragma once

#include "settings/TemplateAction.h"

#include <QString>

#include <functional>

class QWidget;

namespace plw {

// The template dialog FRM_TEMPLATE as its callers open it (SetTemPlate_Main): modal over owner,
// for one kind ("T01", "F01", "F02"; a leading "*" opens it for loading only). saveCheck, when
// given, may refuse "F8:保存" with its message. The program shows the real dialog; tests script it.
class TemplateDialog {
public:
    struct Choice {
        TemplateAction Action = TemplateAction::Cancelled;
        QString Path; // WorkFolder + name + "." + kind; "" when cancelled
    };

    virtual ~TemplateDialog() = default;
    virtual Choice SetTemPlate_Main(QWidget* owner, const QString& kind,
                                    const std::function<QString()>& saveCheck = {}) = 0;
};

} // namespace plw
