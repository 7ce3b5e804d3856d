#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>

namespace plw {

// The kept run the workbook compares the run with.
struct ComparisonChoice {
    enum class Kind {
        Previous, // the kept run of the newest base date before the run's (the default)
        None,     // no comparison
        BaseDate, // the kept run of BaseDate
    };
    Kind Choice = Kind::Previous;
    QDate BaseDate;

    bool operator==(const ComparisonChoice&) const = default;
};

// Who goes into the mailing list: customers who agreed to direct mail and have an address, or
// who agreed to mail and have an e-mail address.
enum class MailingConsent { DirectMail, Mail };

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

    // The program's own settings (PLWAN40.OPT), not fields of PLWAN40.PRM.
    ComparisonChoice CompareWith;        // "前回との比較"
    bool MailingList = false;            // "宛名リストを出力"
    std::array<bool, 6> MailingGroups{}; // A to E, X
    MailingConsent MailingKind = MailingConsent::DirectMail;
    QString MailingFile; // the CSV's path as chosen in the save dialog
};

} // namespace plw
