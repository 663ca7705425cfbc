#include "qt/ResultsTableModel.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>
#include <set>

namespace lociview::qt {

ResultsTableModel::ResultsTableModel(QObject* parent) : QAbstractTableModel(parent) {
    // The by-allele columns the window opens with.
    for (const TableColumn& c : byAlleleColumns()) columns.emplace_back(c.identifier, c.title);
}

void ResultsTableModel::setController(const GeneController* source) {
    beginResetModel();
    controller = source;
    sampleColumn = namesSamples();
    flagColumn = showsFlags();
    endResetModel();
}

bool ResultsTableModel::namesSamples() const {
    if (!controller || columns.empty() || columns.front().first != byLaneColumns({}).front().identifier) return false;
    const std::optional<ResultProvenance>& source = controller->provenance();
    return controller->importedData().dye != 0 && !(source && source->previousFile);
}

bool ResultsTableModel::showsFlags() const {
    return controller && !columns.empty() && columns.front().first == byLaneColumns({}).front().identifier &&
           controller->flagsShownByLane();
}

std::optional<size_t> ResultsTableModel::controllerColumn(int shown) const {
    if (shown < 0 || isFlagsColumn(shown)) return std::nullopt;
    if (sampleColumn && shown == 1) return std::nullopt;
    const size_t at = static_cast<size_t>(sampleColumn && shown > 1 ? shown - 1 : shown);
    if (at >= columns.size()) return std::nullopt;
    return at;
}

int ResultsTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !controller) return 0;
    const int32_t rows = controller->numberOfRowsInTableView();
    return rows > 0 ? rows : 0;
}

int ResultsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns.size()) + (sampleColumn ? 1 : 0) + (flagColumn ? 1 : 0);
}

QVariant ResultsTableModel::toVariant(const CellValue& value) {
    if (const auto* i = std::get_if<int32_t>(&value)) return QVariant(static_cast<int>(*i));
    if (const auto* d = std::get_if<double>(&value)) return QVariant(*d);
    return QVariant(QString::fromStdString(std::get<std::string>(value)));
}

QVariant ResultsTableModel::data(const QModelIndex& index, int role) const {
    if (!controller || !index.isValid() || index.column() >= columnCount()) return {};
    if (isFlagsColumn(index.column())) return flagData(index.row(), role);
    if (role != Qt::DisplayRole && role != Qt::TextAlignmentRole) return {};
    // The view may still hold a row count from before the lists changed;
    // a row the controller no longer has is never asked for.
    if (index.row() >= controller->numberOfRowsInTableView()) return {};
    const std::optional<size_t> column = controllerColumn(index.column());
    if (!column) {
        if (role != Qt::DisplayRole) return {};
        const CellValue lane = controller->tableView(columns.front().first, index.row());
        const auto* number = std::get_if<int32_t>(&lane);
        return number ? QString::fromStdString(sampleOfLane(controller->importedData().tables.samples, *number))
                      : QString();
    }
    const CellValue value = controller->tableView(columns[*column].first, index.row());
    if (role == Qt::TextAlignmentRole) {
        if (std::holds_alternative<std::string>(value)) return {};
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    }
    return toVariant(value);
}

QVariant ResultsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= columnCount()) return {};
    const std::optional<size_t> column = controllerColumn(section);
    if (isFlagsColumn(section)) return QString::fromLatin1(kFlagsColumnTitle);
    return column ? QString::fromStdString(columns[*column].second) : QString::fromLatin1(kSampleColumnTitle);
}

void ResultsTableModel::removeFirstColumn() {
    if (columns.empty()) return;
    // The flags go with the lanes they are of.
    if (flagColumn) {
        beginRemoveColumns(QModelIndex(), columnCount() - 1, columnCount() - 1);
        flagColumn = false;
        endRemoveColumns();
    }
    // The samples go with the lanes they name.
    const int last = sampleColumn ? 1 : 0;
    beginRemoveColumns(QModelIndex(), 0, last);
    columns.erase(columns.begin());
    sampleColumn = false;
    endRemoveColumns();
}

void ResultsTableModel::addColumn(const std::string& identifier, const std::string& title) {
    const int at = columnCount() - (flagColumn ? 1 : 0);  // the flags stay last
    const bool first = columns.empty();
    columns.emplace_back(identifier, title);
    const bool samples = first && namesSamples();
    columns.pop_back();
    beginInsertColumns(QModelIndex(), at, at + (samples ? 1 : 0));
    columns.emplace_back(identifier, title);
    sampleColumn = samples;
    endInsertColumns();
}

// A reset makes the view ask for everything again and drops the selection.
void ResultsTableModel::reload() {
    beginResetModel();
    sampleColumn = namesSamples();
    flagColumn = showsFlags();
    endResetModel();
}

QVariant ResultsTableModel::flagData(int row, int role) const {
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::DecorationRole) return {};
    const CellValue lane = controller->tableView(columns.front().first, row);
    const auto* number = std::get_if<int32_t>(&lane);
    const std::string why = number ? laneFlagsText(controller->qualityFlags(), *number) : std::string();
    if (why.empty()) return {};
    if (role == Qt::DecorationRole) return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    return QString::fromStdString(why);
}

TableViewAdapter::TableViewAdapter(QTableView* view, ResultsTableModel* model) : view(view), model(model) {
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Titles wider than their column ("# of peaks at this size" where the
    // columns share a narrow table) go onto more lines, never cut: the
    // header grows to the tallest.
    QHeaderView* header = view->horizontalHeader();
    header->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter) | Qt::Alignment(Qt::TextWordWrap));
    const auto fit = [header] {
        const QFontMetrics metrics(header->font());
        int lines = 1;
        for (int i = 0; i < header->count(); ++i) {
            const QString title = header->model()->headerData(i, Qt::Horizontal).toString();
            const QRect needed = metrics.boundingRect(QRect(0, 0, std::max(header->sectionSize(i) - 12, 1), 10000),
                                                      Qt::TextWordWrap, title);
            lines = std::max(lines, (needed.height() + metrics.lineSpacing() - 1) / metrics.lineSpacing());
        }
        header->setMinimumHeight(lines * metrics.lineSpacing() + 8);
    };
    QObject::connect(header, &QHeaderView::sectionResized, header, fit);
    QObject::connect(header, &QHeaderView::sectionCountChanged, header, fit);
}

std::vector<std::string> TableViewAdapter::columnIdentifiers() const {
    std::vector<std::string> ids;
    for (const auto& column : model->columnList()) ids.push_back(column.first);
    return ids;
}

std::vector<std::string> TableViewAdapter::columnTitles() const {
    std::vector<std::string> titles;
    for (const auto& column : model->columnList()) titles.push_back(column.second);
    return titles;
}

void TableViewAdapter::addColumn(const std::string& identifier, const std::string& title) {
    model->addColumn(identifier, title);
}

void TableViewAdapter::setColumnResizing(ColumnResizing style) {
    QHeaderView* header = view->horizontalHeader();
    if (style == ColumnResizing::Uniform) {
        header->setSectionResizeMode(QHeaderView::Stretch);
    } else {
        // Columns keep their widths; a wide by-lane table scrolls sideways.
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::Interactive);
        // Wide enough once for its title ("Lane number" is wider than the
        // default section); the user may resize from there.
        header->resizeSections(QHeaderView::ResizeToContents);
    }
}

std::vector<int> TableViewAdapter::selectedRows() const {
    std::set<int> rows;
    if (const QItemSelectionModel* selection = view->selectionModel()) {
        for (const QItemSelectionRange& range : selection->selection())
            for (int r = range.top(); r <= range.bottom(); ++r) rows.insert(r);
    }
    return {rows.begin(), rows.end()};
}

}  // namespace lociview::qt
