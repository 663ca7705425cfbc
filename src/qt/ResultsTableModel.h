#pragma once
// The results table as Qt sees it: the columns the controller built, and
// every count and cell asked of the controller at the moment Qt asks. By
// lane, the lanes of a sizing table, genotype table or per-sample file also show their samples,
// in a column after the lane column that is the window's own (the
// controller never sees it). By lane, the window's own columns after the
// controller's: a check column marking the control lanes, each lane's
// instability, expansion and contraction indices, and last the lanes'
// quality flags (a warning icon with why as its tooltip).
#include <QAbstractTableModel>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/GeneController.h"

class QTableView;

namespace lociview::qt {

class ResultsTableModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ResultsTableModel(QObject* parent = nullptr);

    // The data source; until it is set the table has no rows.
    void setController(const GeneController* source);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The lanes checked as controls, as the controller's choices name them.
    std::vector<std::string> controlLanes() const;
    // Counts the indices afresh (after the choices changed) without a reset.
    void refreshIndices();

    const std::vector<std::pair<std::string, std::string>>& columnList() const { return columns; }
    void removeFirstColumn();
    void addColumn(const std::string& identifier, const std::string& title);
    void reload();

    static QVariant toVariant(const CellValue& value);

Q_SIGNALS:
    // A lane was checked or unchecked as a control.
    void controlsChanged();

private:
    // Whether the lanes are samples to name: a first column of lanes in a
    // data set read from sizing tables, genotype tables and per-sample files.
    bool namesSamples() const;
    // The controller's column shown at a column of the view; none for the samples.
    std::optional<size_t> controllerColumn(int shown) const;

    // The window's columns after the controller's: 0 without a scored run by lane.
    int indexColumns() const;
    int indexStart() const;  // the first of them
    // Whether the lanes' flags are shown: a first column of the open data set's lanes.
    bool showsFlags() const;
    bool isFlagsColumn(int shown) const { return flagColumn && shown == columnCount() - 1; }
    // The flags cell of a row: why as text and tooltip, an icon when any.
    QVariant flagData(int row, int role) const;
    void countIndices();

    const GeneController* controller = nullptr;
    std::vector<int32_t> controls;                      // lane numbers, ascending
    std::vector<std::optional<LaneIndices>> indices;    // by row, while shown
    bool indicesShown = false;
    bool flagColumn = false;  // shown last
    std::vector<std::pair<std::string, std::string>> columns;  // (identifier, title)
    bool sampleColumn = false;  // shown at 1, as the view was last told
};

// The controller's table outlet over a QTableView and the model.
class TableViewAdapter final : public TableView {
public:
    TableViewAdapter(QTableView* view, ResultsTableModel* model);

    std::vector<std::string> columnIdentifiers() const override;
    std::vector<std::string> columnTitles() const override;
    void removeFirstColumn() override { model->removeFirstColumn(); }
    void addColumn(const std::string& identifier, const std::string& title) override;
    void setColumnResizing(ColumnResizing style) override;
    void reloadData() override { model->reload(); }
    std::vector<int> selectedRows() const override;

private:
    QTableView* view;
    ResultsTableModel* model;
};

}  // namespace lociview::qt
