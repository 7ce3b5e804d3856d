#pragma once

#include <QString>

#include <pugixml.hpp>

#include <functional>
#include <vector>

namespace plw {
class CellStore;
}

namespace plw::xls {

class BiffStream;
class XlsStyles;

// What one worksheet substream is written from: the worksheet part (its cell data empty), the
// cells, the stylesheet's XFs and, per text of the cell store's pool, its shared-string index.
struct WorksheetSource {
    pugi::xml_node worksheet;
    const CellStore* cells = nullptr;
    const XlsStyles* styles = nullptr;
    const std::vector<int>* sharedIndex = nullptr;
    // Records placed between the cells and the sheet's window (the drawing objects); empty for
    // none.
    std::function<void(BiffStream&)> objects;
};

// The highest row and column a BIFF8 sheet holds (1-based).
constexpr int MaxXlsRow = 65536;
constexpr int MaxXlsColumn = 256;

// Appends the worksheet substream, BOF to EOF: the calculation and print globals, page setup,
// columns, the cells in row blocks of 32 with their ROW records and DBCELL offsets (the INDEX
// at the top pointing at every DBCELL), the objects, the window with zoom, frozen pane and
// selection, merged ranges and hyperlinks. rowsWritten is told every so many rows.
void WriteWorksheet(const WorksheetSource& source, BiffStream& out,
                    const std::function<void(int rows)>& rowsWritten);

} // namespace plw::xls
