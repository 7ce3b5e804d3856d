#pragma once

#include <QString>

namespace plw {

struct AnalysisContext;

// The five labels of the parameter screen's "参考：上部抽出条件での各値" area.
struct PreviewLabels {
    QString Count;   // lblSgnCnt "データ数"
    QString Max;     // lblSgnMax "最大購買額"
    QString Min;     // lblSgnMin "最小購買額"
    QString Sum;     // lblSgnSum "購買額累計"
    QString Average; // lblSgnAVG "平均額累計"
};

// The labels while the values are being counted: "しばらく" "カウント中" "お待ちください".
PreviewLabels WaitingPreviewLabels();

// How many customers the current conditions select and how their purchase amounts spread: the
// same extraction as a run, under the work-folder lock, without changing any parameter. The
// labels show the waiting texts first and keep them when nothing is selected or it fails (the
// message says why). True when the values were shown.
bool PreviewStatistics(AnalysisContext& context, PreviewLabels& labels);

} // namespace plw
