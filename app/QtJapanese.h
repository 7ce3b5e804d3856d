#pragma once

#include <QString>

class QCoreApplication;

namespace plw {

// Qt's own texts (standard buttons, file dialogs, the calendar, file errors) in Japanese, and the
// Japanese locale for dates and month names. Returns false, with the cause, when the translations
// are not installed; the program then goes on with Qt's English texts.
bool LoadJapanese(QCoreApplication& application, QString* error);

} // namespace plw
