#include "qt/AccumulatedRunList.h"

#include <QHeaderView>
#include <QStringList>
#include <QTableWidget>

namespace lociview::qt {

namespace {

QTableWidgetItem* cell(const QString& text, bool number) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

// "2025-03-04T10:42:17+01:00" as "2025-03-04 10:42".
QString shownDate(const std::string& iso) {
    QString date = QString::fromStdString(iso.substr(0, 16));
    return date.replace(QLatin1Char('T'), QLatin1Char(' '));
}

}  // namespace

void prepareRunList(QTableWidget* table) {
    const QStringList titles = {QStringLiteral("File"),         QStringLiteral("GE"),
                                QStringLiteral("Lanes"),        QStringLiteral("Empty"),
                                QStringLiteral("One allele"),   QStringLiteral("Two or more"),
                                QStringLiteral("Added")};
    table->setColumnCount(static_cast<int>(titles.size()));
    table->setHorizontalHeaderLabels(titles);
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
}

void fillRunList(QTableWidget* table, const std::vector<LoggedRun>& runs) {
    table->setRowCount(static_cast<int>(runs.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const LoggedRun& run = runs[static_cast<size_t>(row)];
        const RunRecord& r = run.record;
        // The GE as the accumulated export prints it.
        const QString items[] = {QString::fromStdString(r.fileName), QString::asprintf("%.2f", r.ge),
                                 QString::number(r.lanes),           QString::number(r.emptyLanes),
                                 QString::number(r.oneLanes),        QString::number(r.twoOrMoreLanes),
                                 shownDate(run.addedAt)};
        for (int column = 0; column < static_cast<int>(std::size(items)); ++column)
            table->setItem(row, column, cell(items[column], column >= 1 && column <= 5));
    }
    table->resizeColumnsToContents();
}

}  // namespace lociview::qt
