#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace plw {

// The values of the output-settings screen's controls, which the screen binds to.
struct OutputScreenState {
    bool OutParameters = false;   // chkP10
    bool OutGroupValues = false;  // chkP20
    bool OutCustomerList = false; // chkP25
    bool OutRCount = false;       // chkP30
    bool OutRAmount = false;      // chkP31
    bool OutFCount = false;       // chkP40
    bool OutFAmount = false;      // chkP41
    bool OutMCount = false;       // chkP50
    bool OutMAmount = false;      // chkP51
    // Selected options, 0 when none is selected: optG21..optG23, optG31..optG36, optJR1..optJR3.
    int LeftChartType = 0;
    int RightChartType = 0;
    int ListOrder = 0;
    // chkGrp_A to chkGrp_E and chkGrp_X.
    std::array<bool, 6> ListGroups{};
    QStringList List2; // "出力項目": the customer-list items to output, in master order
    QStringList List3; // "出力不要項目": the items to leave out, in the order they were moved
    QString WorkbookName; // txtOtFname
    // Folder and file the save dialog starts with, remembered from the parameters and browsing.
    QString DialogFolder;
    QString DialogFile;
};

} // namespace plw
