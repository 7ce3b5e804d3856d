#pragma once

#include <initializer_list>

class QWidget;

namespace plw {

class DocumentOpener;
class FRM_PLWAN401;
class MasterBrowserDialog;
class ScreenHardCopy;
struct Session;

// What the screens' aids open: the campaign browsers, the hard copy and the explanatory
// document's viewer. An aid left out keeps its buttons disabled.
struct ScreenAids {
    MasterBrowserDialog* Browsers = nullptr;
    ScreenHardCopy* HardCopies = nullptr;
    DocumentOpener* Documents = nullptr;
};

// Connects the aids: the hard-copy button of every screen, and on the parameter screen the
// campaign buttons (master browsers over the session's master database) and "説明".
void ConnectScreenAids(Session& session, const ScreenAids& aids, FRM_PLWAN401& parameterScreen,
                       std::initializer_list<QWidget*> screens);

} // namespace plw
