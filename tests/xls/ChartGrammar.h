#pragma once

#include "tests/xls/BiffFile.h"

#include <QStringList>

#include <vector>

namespace plw::test {

// What is wrong with a chart substream, records first to last (its BOF to its EOF), against the
// chart sheet grammar of [MS-XLS] (CHARTSHEETCONTENT and the rules under it); empty when it
// follows it. The first record that does not fit is named with the rule that expected another.
QStringList ChartGrammarProblems(const std::vector<BiffRecord>& records, size_t first, size_t last);

// What is wrong with a sheet's drawing: the OfficeArt records of its MSODRAWING records read as
// one drawing container (every container's length covering its children exactly, a group shape,
// as many shapes as the drawing record counts, each with an anchor and client data), each shape
// followed by an OBJ record of a chart and that chart's substream. sheet lists the sheet
// substream's own records (nested charts left out); all is the whole stream.
QStringList DrawingProblems(const std::vector<const BiffRecord*>& sheet,
                            const std::vector<BiffRecord>& all);

} // namespace plw::test
