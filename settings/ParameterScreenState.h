#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace plw {

// The values of the parameter screen's controls, which the screen binds to. Dates are "YYYYMMDD"
// or "" for an empty date field; texts are as typed. Array index i holds control index i + 1
// (RThreshold[4] is txtPrmR(5), GroupMatrix[0] is cell 1).
struct ParameterScreenState {
    QString LastVisitFrom;   // imdPinRai_F
    QString LastVisitTo;     // imdPinRai_T
    QString LastVisitMonths; // txtPinRai_X
    QString BaseDate;        // imdKijyun
    std::array<QString, 5> RThreshold; // txtPrmR(1..5)
    std::array<QString, 5> FThreshold; // txtPrmF(1..5)
    std::array<QString, 5> MThreshold; // txtPrmM(1..5)
    // The selected painting option: 1 to 6 for lblGrp_A to lblGrp_E and lblGrp_X, 0 for none.
    int PaintGroup = 0;
    // The group letter each matrix cell's colour stands for: "A" to "E" or "X"; "" for a cell
    // whose colour is none of the six group colours.
    std::array<QString, 125> GroupMatrix;
    bool DetailPeriodOn = false;      // chkKs1
    bool LastVisitFromDetail = false; // chkKs2
    QString DetailFrom;               // imdPinRai_2F
    QString DetailTo;                 // imdPinRai_2T
    // List1: the summary lines of the current extraction conditions.
    QStringList ConditionSummary;
    // Whether the detailed purchase-period controls are enabled (they follow chkKs1).
    bool DetailControlsEnabled = false;
};

} // namespace plw
