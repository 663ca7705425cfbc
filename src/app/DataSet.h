#pragma once
// The open data set: its rows as read, the peak store made from them, its
// lanes, what it was read from and what it is called.
#include <cstdint>
#include <string>
#include <vector>

#include "app/ImportedDataSet.h"
#include "input/PeakTableReader.h"
#include "model/AlleleDB.h"

namespace lociview {

using Row = PeakRow;

struct DataSet {
    explicit DataSet(LogSink& log) : database(log) {}

    bool isWorkingOnFile = false;  // a file with data is open
    std::vector<Row> data;
    std::vector<int32_t> lanelist;
    int32_t numlanes = 0;
    AlleleDB database;
    // Sizing tables, genotype tables, per-sample files and traces: what the
    // rows were read from.
    ImportedDataSet imported;
    std::string fileName, fileSha256;  // for the run log and export headers
    std::string openedName;            // as the title shows it
};

}  // namespace lociview
