#pragma once
// The one controller: owns the open data set, the peak store, the result
// lists and the run accumulator, and receives every user action. It reaches
// windows and controls only through the Outlets a toolkit hands it.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "accum/accumdb.h"
#include "app/Toolkit.h"
#include "model/AlleleDB.h"

namespace lociview {

// A table cell: an integer, a double, or a text (the empty text "").
using CellValue = std::variant<std::string, int32_t, double>;
using Row = std::vector<std::string>;

class GeneController {
public:
    // Start-up: every one-time step, in order.
    explicit GeneController(const Outlets& outlets);
    GeneController(const GeneController&) = delete;
    GeneController& operator=(const GeneController&) = delete;

    // User actions (the sending control is never used).
    void openData();
    void printMyWindow();
    void scoreData();
    void toggleTable();
    void toggleMaybes();
    void graphSelections();
    void cleanUpWindow();
    void cleanUpLessThan();
    void cleanUpGreaterThan();
    void cleanUpLaneAndOrAllele();
    void preAddToAccumulator();
    void addToAccumulator();
    void resetAccumulator();
    void exportSPPCRData();
    void exportSPPCR2();
    void exportAccumulatedSPPCRData();

    // Reading a peak table.
    void openFile(const std::string& path);
    void openFileBytes(std::string_view bytes);  // openFile: on bytes already read
    void convertDataTextToDataData();

    // Scoring.
    void scoreAlleles();
    void sendTextLog(const std::string& text);
    void markedMessageToViewedLog(double size, int32_t height, int32_t lane, int32_t mark);

    // Clean-up.
    void clean(const AlleleList& first, const AlleleList& maybes);

    // Results table data source.
    int32_t numberOfRowsInTableView() const;
    CellValue tableView(const std::string& columnIdentifier, int32_t row) const;

    // Read-only views of the state, for the front ends and tests.
    const AlleleDB& store() const { return database; }
    const std::vector<Row>& rows() const { return data; }
    const std::vector<int32_t>& lanes() const { return lanelist; }
    int32_t laneCount() const { return numlanes; }
    int32_t workingOnFile() const { return isWorkingOnFile; }
    int8_t scoredFlag() const { return alreadyScored; }
    double shiftValue() const { return shiftvalue; }
    int32_t locusType() const { return locustype; }
    int32_t alleleCount() const { return numalleles; }
    const std::vector<int32_t>& alleleSizes() const { return allelesizelist; }
    const std::vector<int32_t>& resultAlleles() const { return tblallele; }
    const std::vector<int32_t>& resultCounts() const { return tblallelecount; }
    const std::vector<double>& resultWeights() const { return tblweight; }
    const std::vector<int32_t>& resultLanes() const { return tbllane; }
    const accumdb& accumulator() const { return raccumulator; }

private:
    friend class GeneControllerTestAccess;  // tests set result lists directly

    // Scoring phases.
    bool countAlleles(int32_t step, int32_t& up, int32_t& down);
    void buildAlleleSizeList(int32_t step, float tol, int32_t up, int32_t down);
    void shiftSizes();
    void filterRange();
    void mergeSplitPeaks(float tol);
    void removeSmallPeaks();
    void scoreLanes();
    void scoreLane(int32_t lane);
    void mark(const AllelePtr& allele, int32_t code, int32_t lane);
    void summarize();
    void countLanes();
    bool maybesOn() const { return Maybes.state() != 0; }

    void clearResults();
    void cleanByHeight(const AlleleList& first, const AlleleList& maybes);
    int alert(const std::string& message, const std::string& defaultButton);
    int alert(const std::string& message, const std::string& defaultButton, const std::string& alternateButton);

    // Outlets: auxiliary windows and their controls.
    Window& sppcrwindow;
    TextField& sppcrtext;
    Window& gewindow;
    TextField& geforun;
    Window& accwindow;
    TextField& accumgeforun;
    Window& cleanupwindow;
    TextField& cuwlessthanfield;
    TextField& cuwgreaterthanfield;
    TextField& cuwlanefield;
    TextField& cuwallelefield;

    // Owned objects and main-window controls.
    LogSink& log;
    accumdb raccumulator;
    Chart& chart;
    TableView& tabl;
    TextView& datatext;
    ProgressIndicator& progressbar;
    TextField& numemptylanes;
    TextField& numones;
    TextField& numtwos;

    // Data set state.
    int32_t numalleles = 0;
    std::vector<int32_t> lanelist;
    int32_t numlanes = 0;
    std::vector<int32_t> allelesizelist;
    AlleleDB database;

    // Scoring parameter controls.
    TextField& progenitor1;
    TextField& progenitor2;
    TextField& highrange;
    TextField& lowrange;
    TextField& shift;
    TextField& stuttertol;
    RadioMatrix& locusmatrix;
    StateControl& Maybes;
    StateControl& toggleTable_;  // the two-state button; toggleTable() is its action

    int32_t isWorkingOnFile = 0;
    std::vector<Row> data;
    int32_t locustype = 0;
    int8_t alreadyScored = 0;
    double shiftvalue = 0.0;
    std::vector<int32_t> tblallele;
    std::vector<int32_t> tblallelecount;
    std::vector<double> tblweight;
    std::vector<int32_t> tbllane;

    // Adjusted allele-size bounds, from preparation to the by-lane listing.
    int32_t lowallelesize = 0;
    int32_t highallelesize = 0;

    // What each merge of the last scoring run changed in its surviving
    // record, so the next run starts from the file's own sizes and heights.
    struct MergedRecord {
        AllelePtr survivor;
        double size;
        int32_t height;
    };
    std::vector<MergedRecord> merges;
    void undoMerges();

    MainWindow& window;
    Dialogs& dialogs;
    OutputSink& standardOutput;
};

}  // namespace lociview
