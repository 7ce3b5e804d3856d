#pragma once

#include "rfm/GroupMovement.h"

namespace plw {

struct ExcelRun;

// Where the tables of the sheet stand (1-based rows; columns C to H are groups A to X, I the
// customers not scored now or the amounts' total, J the counts' total). The template generator
// lays the template sheet out the same way.
struct GroupMovementLayout {
    static constexpr int RunRow = 2;       // B2: this run; B3: the kept run compared with
    static constexpr int FirstNoteRow = 4; // B4..B8: what differs, the vanished customers
    static constexpr int NoteRows = 5;
    static constexpr int CountRow = 12;  // rows A..X, 新規; then the totals
    static constexpr int ShareRow = 23;  // rows A..X, 新規
    static constexpr int AmountRow = 33; // rows A..X, 新規; then the totals
    static constexpr int FirstColumn = 3;
};

// The sheet "グループ推移": this run against a kept one. Customer counts per earlier group (rows
// A to X and 新規) and group now (columns A to X and 対象外) with totals on both sides, each
// cell's share of its row, the amounts this run ranked by per cell for the columns A to X, the
// unchanged diagonal filled with its group's colour, and above the tables the two runs and what
// differs between them. The template's chart shows where each earlier group went.
void WriteGroupMovementSheet(ExcelRun& run, const GroupMovement& movement);

} // namespace plw
