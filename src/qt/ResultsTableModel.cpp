#include "qt/ResultsTableModel.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyle>
#include <QTableView>
#include <algorithm>
#include <set>

namespace lociview::qt {

ResultsTableModel::ResultsTableModel(QObject* parent) : QAbstractTableModel(parent) {
    // The by-allele columns the window opens with.
    for (const TableColumn& c : byAlleleColumns()) columns.emplace_back(c.identifier, c.title);
}

namespace {

// The window's own columns by lane, after the controller's.
const char* const kIndexTitles[] = {"Control", "Instability index", "Expansion index", "Contraction index"};
constexpr double LaneIndices::*kIndexValues[] = {nullptr, &LaneIndices::instability, &LaneIndices::expansion,
                                                 &LaneIndices::contraction};

}  // namespace

void ResultsTableModel::setController(const GeneController* source) {
    beginResetModel();
    controller = source;
    controls.clear();
    sampleColumn = namesSamples();
    flagColumn = showsFlags();
    countIndices();
    endResetModel();
}

int ResultsTableModel::indexColumns() const { return indicesShown ? static_cast<int>(std::size(kIndexTitles)) : 0; }

void ResultsTableModel::countIndices() {
    indices.clear();
    indicesShown = false;
    if (!controller || columns.empty() || columns.front().first != byLaneColumns({}).front().identifier) return;
    const std::optional<InstabilityResult> counted = controller->runInstability(controller->instabilityChoices());
    if (!counted) return;
    indicesShown = true;
    for (int32_t row = 0; row < controller->numberOfRowsInTableView(); ++row) {
        const CellValue lane = controller->tableView(columns.front().first, row);
        const auto* number = std::get_if<int32_t>(&lane);
        const auto found = std::find_if(counted->lanes.begin(), counted->lanes.end(),
                                        [&](const LaneInstability& l) { return number && l.lane == *number; });
        indices.push_back(found != counted->lanes.end() ? found->indices : std::nullopt);
    }
}

void ResultsTableModel::refreshIndices() {
    countIndices();
    const int first = indexStart();
    if (indicesShown && rowCount() > 0)
        Q_EMIT dataChanged(index(0, first), index(rowCount() - 1, first + indexColumns() - 1));
}

int ResultsTableModel::indexStart() const { return columnCount() - indexColumns() - (flagColumn ? 1 : 0); }

bool ResultsTableModel::showsFlags() const {
    return controller && !columns.empty() && columns.front().first == byLaneColumns({}).front().identifier &&
           controller->flagsShownByLane();
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

std::vector<std::string> ResultsTableModel::controlLanes() const {
    std::vector<std::string> lanes;
    for (const int32_t lane : controls) lanes.push_back(std::to_string(lane));
    return lanes;
}

Qt::ItemFlags ResultsTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (indicesShown && index.isValid() && index.column() == indexStart()) f |= Qt::ItemIsUserCheckable;
    return f;
}

bool ResultsTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!indicesShown || role != Qt::CheckStateRole || index.column() != indexStart()) return false;
    if (!controller || index.row() >= controller->numberOfRowsInTableView()) return false;
    const CellValue lane = controller->tableView(columns.front().first, index.row());
    const auto* number = std::get_if<int32_t>(&lane);
    if (!number) return false;
    const auto at = std::lower_bound(controls.begin(), controls.end(), *number);
    const bool checked = value.toInt() == Qt::Checked;
    if (checked && (at == controls.end() || *at != *number)) controls.insert(at, *number);
    if (!checked && at != controls.end() && *at == *number) controls.erase(at);
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    Q_EMIT controlsChanged();
    return true;
}

bool ResultsTableModel::namesSamples() const {
    if (!controller || columns.empty() || columns.front().first != byLaneColumns({}).front().identifier) return false;
    const std::optional<ResultProvenance>& source = controller->provenance();
    return controller->importedData().dye != 0 && !(source && source->previousFile);
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
    return parent.isValid() ? 0 : static_cast<int>(columns.size()) + (sampleColumn ? 1 : 0) + indexColumns() +
                                  (flagColumn ? 1 : 0);
}

QVariant ResultsTableModel::toVariant(const CellValue& value) {
    if (const auto* i = std::get_if<int32_t>(&value)) return QVariant(static_cast<int>(*i));
    if (const auto* d = std::get_if<double>(&value)) return QVariant(*d);
    return QVariant(QString::fromStdString(std::get<std::string>(value)));
}

QVariant ResultsTableModel::data(const QModelIndex& index, int role) const {
    if (!controller || !index.isValid() || index.column() >= columnCount()) return {};
    if (index.row() < controller->numberOfRowsInTableView() && isFlagsColumn(index.column()))
        return flagData(index.row(), role);
    if (role != Qt::DisplayRole && role != Qt::TextAlignmentRole && role != Qt::CheckStateRole) return {};
    // The view may still hold a row count from before the lists changed;
    // a row the controller no longer has is never asked for.
    if (index.row() >= controller->numberOfRowsInTableView()) return {};
    if (const int k = index.column() - indexStart(); indicesShown && k >= 0 && k < indexColumns()) {
        if (k == 0) {
            if (role != Qt::CheckStateRole) return {};
            const CellValue lane = controller->tableView(columns.front().first, index.row());
            const auto* number = std::get_if<int32_t>(&lane);
            return number && std::binary_search(controls.begin(), controls.end(), *number) ? Qt::Checked : Qt::Unchecked;
        }
        if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        const std::optional<LaneIndices>& lane = indices.at(static_cast<size_t>(index.row()));
        if (role != Qt::DisplayRole || !lane) return {};
        return QString::number((*lane).*kIndexValues[k], 'f', 4);
    }
    if (role == Qt::CheckStateRole) return {};
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
    if (isFlagsColumn(section)) return QString::fromLatin1(kFlagsColumnTitle);
    if (const int k = section - indexStart(); indicesShown && k >= 0 && k < indexColumns())
        return QString::fromLatin1(kIndexTitles[k]);
    const std::optional<size_t> column = controllerColumn(section);
    return column ? QString::fromStdString(columns[*column].second) : QString::fromLatin1(kSampleColumnTitle);
}

void ResultsTableModel::removeFirstColumn() {
    if (columns.empty()) return;
    // The window's columns (indices, flags) go while the controller's
    // change; reload counts them again.
    if (indicesShown || flagColumn) {
        beginResetModel();
        indicesShown = false;
        flagColumn = false;
        endResetModel();
    }
    // The samples go with the lanes they name.
    const int last = sampleColumn ? 1 : 0;
    beginRemoveColumns(QModelIndex(), 0, last);
    columns.erase(columns.begin());
    sampleColumn = false;
    endRemoveColumns();
}

void ResultsTableModel::addColumn(const std::string& identifier, const std::string& title) {
    if (indicesShown || flagColumn) {
        beginResetModel();
        indicesShown = false;
        flagColumn = false;
        endResetModel();
    }
    const int at = columnCount();
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
    countIndices();
    endResetModel();
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
