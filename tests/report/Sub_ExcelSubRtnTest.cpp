#include "report/Sub_ExcelSubRtn.h"

#include "tests/support/Printers.h"

#include <gtest/gtest.h>

using namespace plw;

TEST(Sub_ExcelSubRtn, CellRangeWritesBothCornersAndASingleCellAsARangeOfItself) {
    EXPECT_EQ(CellRange(4, 3, 4, 3), u"C4:C4");
    EXPECT_EQ(CellRange(1, 1, 65000, 42), u"A1:AP65000");
    EXPECT_EQ(CellRange(10, 27, 12, 52), u"AA10:AZ12");
}
