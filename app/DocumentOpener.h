#pragma once

#include <QString>

namespace plw {

// Opens a document with the viewer the desktop has registered for its type. Failures are
// reported to the operator, also those that show only when the opener has ended. The desktop
// runs xdg-open; tests record the call.
class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    virtual void open(const QString& path) = 0;
};

} // namespace plw
