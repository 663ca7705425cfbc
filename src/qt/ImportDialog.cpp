#include "qt/ImportDialog.h"

#include <QAbstractTableModel>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <algorithm>
#include <climits>
#include <vector>

#include "ui_ImportDialog.h"

namespace lociview::qt {

// The sample map of one dye, read straight from its vector: a plate of
// thousands of samples costs no widget per cell.
class SampleLaneModel final : public QAbstractTableModel {
public:
    SampleLaneModel(const std::vector<std::string>& files, QObject* parent)
        : QAbstractTableModel(parent), files(files) {}

    void show(std::vector<SampleLane> lanes) {
        beginResetModel();
        rows = std::move(lanes);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(std::min<size_t>(rows.size(), INT_MAX));
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 4; }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || static_cast<size_t>(index.row()) >= rows.size()) return {};
        const SampleLane& s = rows[static_cast<size_t>(index.row())];
        if (role == Qt::TextAlignmentRole && (index.column() == 0 || index.column() == 3))
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole) return {};
        switch (index.column()) {
            case 0: return s.lane;
            case 1: return QString::fromStdString(s.sample);
            case 2:
                return s.file < files.size() ? QFileInfo(QString::fromStdString(files[s.file])).fileName() : QString();
            case 3: return QVariant::fromValue<qlonglong>(s.peaks);
        }
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        static const char* const titles[] = {"Lane", "Sample", "File", "Peaks"};
        return section >= 0 && section < 4 ? QString::fromLatin1(titles[section]) : QVariant();
    }

private:
    const std::vector<std::string>& files;
    std::vector<SampleLane> rows;
};

namespace {

QString fileList(const std::vector<std::string>& files) {
    QStringList names;
    for (const std::string& f : files) names << QFileInfo(QString::fromStdString(f)).fileName();
    if (names.size() <= 4) return names.join(QStringLiteral(", "));
    return QStringLiteral("%1 files: %2, %3 ... %4")
        .arg(names.size())
        .arg(names[0], names[1], names.back());
}

QString skippedText(const PeakImport& tables) {
    QStringList lines;
    const std::string summary = skippedSummary(tables);
    lines << QStringLiteral("%1 data rows read.").arg(QLocale().toString(static_cast<qlonglong>(tables.dataRows)));
    lines << (summary.empty() ? QStringLiteral("Nothing was skipped.") : QString::fromStdString(summary));
    for (const std::string& note : tables.notes) lines << QString::fromStdString(note);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

ImportDialog::ImportDialog(const PeakImport& t, char suggestedDye, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::ImportDialog>()), tables(t) {
    ui->setupUi(this);
    samples = new SampleLaneModel(tables.files, this);
    ui->sampleTable->setModel(samples);
    ui->sampleTable->verticalHeader()->hide();
    ui->sampleTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    ui->layoutName->setText(QString::fromStdString(tables.layoutName));
    ui->fileNames->setText(fileList(tables.files));
    ui->skippedText->setPlainText(skippedText(tables));
    const QLocale locale;
    for (const DyeCount& d : tables.dyes) {
        QString text = QStringLiteral("%1: %2 %3")
                           .arg(QString::fromStdString(dyeName(d.dye)), locale.toString(static_cast<qlonglong>(d.peaks)),
                                d.peaks == 1 ? QStringLiteral("row") : QStringLiteral("rows"));
        if (d.dye == sizeStandardDye(tables)) text += QStringLiteral(" (size standard)");
        ui->dyeChoice->addItem(text, QVariant::fromValue(static_cast<int>(static_cast<unsigned char>(d.dye))));
    }
    for (const MarkerCount& m : tables.markers) {
        QStringList rows;
        for (const DyeCount& d : m.dyes)
            rows << QStringLiteral("%1 %2").arg(QChar::fromLatin1(d.dye)).arg(locale.toString(static_cast<qlonglong>(d.peaks)));
        const QString name = m.name.empty() ? QStringLiteral("(no marker)") : QString::fromStdString(m.name);
        ui->markerChoice->addItem(QStringLiteral("%1: %2").arg(name, rows.isEmpty() ? QStringLiteral("no rows") : rows.join(QStringLiteral(", "))),
                                  QString::fromStdString(m.name));
    }
    ui->markerCaption->setVisible(!tables.markers.empty());
    ui->markerChoice->setVisible(!tables.markers.empty());
    const int suggested = ui->dyeChoice->findData(static_cast<int>(static_cast<unsigned char>(suggestedDye)));
    ui->dyeChoice->setCurrentIndex(suggested >= 0 ? suggested : 0);
    showDye(ui->dyeChoice->currentIndex());
    connect(ui->dyeChoice, &QComboBox::currentIndexChanged, this, &ImportDialog::showDye);
    connect(ui->markerChoice, &QComboBox::activated, this, [this] {
        markerChosen = true;
        showSamples();
    });
    ui->buttonBox->button(QDialogButtonBox::Open)->setDefault(true);
}

ImportDialog::~ImportDialog() = default;

char ImportDialog::chosenDye() const {
    const QVariant letter = ui->dyeChoice->currentData();
    return letter.isValid() ? static_cast<char>(letter.toInt()) : '\0';
}

std::string ImportDialog::chosenMarker() const { return ui->markerChoice->currentData().toString().toStdString(); }

void ImportDialog::showDye(int) {
    // The marker with most rows in the dye, until the user picks one.
    if (!markerChosen && !tables.markers.empty())
        ui->markerChoice->setCurrentIndex(
            ui->markerChoice->findData(QString::fromStdString(defaultMarker(tables, chosenDye()))));
    showSamples();
}

void ImportDialog::showSamples() {
    if (tables.markers.empty()) return samples->show(sampleLanes(tables, chosenDye()));
    // The samples of the marker: those with a row of it, as they will be lanes.
    PeakImport marker = tables;
    selectMarker(marker, chosenMarker(), chosenDye());
    samples->show(sampleLanes(marker, chosenDye()));
}

}  // namespace lociview::qt
