#pragma once

#include <QString>

namespace plw::explanation {

// Writes the explanatory document "説明：RFM分析日付の関係.pdf": how the base date, the
// last-visit period and the detailed purchase period of an analysis relate, with a drawn time
// line of one customer's visits and what R, F and M count with and without the detailed period.
// False with the reason when the file cannot be written.
bool WriteExplanationDocument(const QString& path, QString* error);

} // namespace plw::explanation
