#include "qt/TraceReviewDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "qt/QtDialogs.h"

namespace lociview::qt {

namespace {

const QString automatic = QStringLiteral("Automatic: the file's own, else the one that fits best");

QStringList rowCells(const TraceReviewRow& row) {
    QStringList peaks, messages;
    for (const DyeCount& d : row.peaks) peaks << QStringLiteral("%1 %2").arg(QChar::fromLatin1(d.dye)).arg(d.peaks);
    for (const std::string& m : row.messages) messages << QString::fromStdString(m);
    const QString fit = !row.sized ? QString()
                        : QStringLiteral("%1%2").arg(QString::number(row.worstRSquared, 'f', 4),
                                                     row.worstRSquared < kPoorFitRSquared ? QStringLiteral(" (poor)")
                                                                                          : QString());
    return {QFileInfo(QString::fromStdString(row.file)).fileName(),
            QString::fromStdString(row.sample),
            QString::fromStdString(row.well),
            QString::fromStdString(row.standard),
            QStringLiteral("%1 of %2").arg(row.matched).arg(row.expected),
            fit,
            peaks.join(QStringLiteral(", ")),
            messages.join(QLatin1Char(' '))};
}

}  // namespace

TraceReviewDialog::TraceReviewDialog(TraceReview first, TraceResize resizeWith, DialogMemory* kept, QWidget* parent)
    : QDialog(parent), sizeFiles(std::move(resizeWith)), settings(kept) {
    setWindowTitle(QStringLiteral("Open Trace Files"));
    files = new QTableWidget(0, 8, this);
    files->setObjectName(QStringLiteral("traceFiles"));
    files->setHorizontalHeaderLabels({QStringLiteral("File"), QStringLiteral("Sample"), QStringLiteral("Well"),
                                      QStringLiteral("Standard"), QStringLiteral("Matched"), QStringLiteral("Fit (worst R²)"),
                                      QStringLiteral("Peaks per dye"), QStringLiteral("Messages")});
    files->setEditTriggers(QAbstractItemView::NoEditTriggers);
    files->verticalHeader()->hide();
    files->horizontalHeader()->setStretchLastSection(true);

    minHeight = new QDoubleSpinBox(this);
    minHeight->setObjectName(QStringLiteral("minHeight"));
    minHeight->setRange(1.0, 100000.0);
    minHeight->setDecimals(0);
    minHeight->setSuffix(QStringLiteral(" RFU"));
    standard = new QComboBox(this);
    standard->setObjectName(QStringLiteral("sizeStandard"));
    standard->setEditable(true);
    standard->setInsertPolicy(QComboBox::NoInsert);
    standard->setToolTip(QStringLiteral("A size standard, or its sizes in bp: 35,50,75,..."));
    auto* again = new QPushButton(QStringLiteral("Size Again"), this);
    again->setObjectName(QStringLiteral("sizeAgain"));
    auto* save = new QPushButton(QStringLiteral("Save Standard..."), this);
    connect(again, &QPushButton::clicked, this, &TraceReviewDialog::sizeAgain);
    connect(save, &QPushButton::clicked, this, [this] {
        bool ok = false;
        const QString name = QInputDialog::getText(this, QStringLiteral("Save Size Standard"),
                                                   QStringLiteral("Name of the standard of these sizes:"),
                                                   QLineEdit::Normal, QString(), &ok);
        if (ok) saveStandard(name);
    });
    auto* sizing = new QHBoxLayout;
    sizing->addWidget(standard, 1);
    sizing->addWidget(save);
    dye = new QComboBox(this);
    dye->setObjectName(QStringLiteral("dyeChoice"));
    notes = new QLabel(this);
    notes->setWordWrap(true);
    notes->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Minimum peak height:"), minHeight);
    form->addRow(QStringLiteral("Size standard:"), sizing);
    form->addRow(QString(), again);
    form->addRow(QStringLiteral("Dye to score:"), dye);
    buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(files, 1);
    layout->addWidget(notes);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(QSize(960, 480));

    minHeight->setValue(first.choice.minHeight);
    showReview(std::move(first));
}

char TraceReviewDialog::chosenDye() const {
    const QVariant letter = dye->currentData();
    return letter.isValid() ? static_cast<char>(letter.toInt()) : '\0';
}

TraceChoice TraceReviewDialog::typedChoice() const {
    TraceChoice next = review.choice;
    next.minHeight = minHeight->value();
    const QString text = standard->currentText().trimmed();
    const int item = standard->findText(text);
    next.standard = (item >= 0 ? standard->itemData(item).toString() : text).toStdString();
    if (settings) next.own = settings->sizeStandards();
    return next;
}

void TraceReviewDialog::sizeAgain() { showReview(sizeFiles(typedChoice())); }

void TraceReviewDialog::saveStandard(const QString& name) {
    const SizesText sizes = parseSizes(standard->currentText().toStdString());
    if (name.trimmed().isEmpty() || !sizes.problem.empty()) {
        notes->setText(name.trimmed().isEmpty() ? QStringLiteral("A saved standard needs a name.")
                                                : QStringLiteral("Type the standard's sizes to save them: %1")
                                                      .arg(QString::fromStdString(sizes.problem)));
        return;
    }
    if (settings) settings->saveSizeStandard({name.trimmed().toStdString(), sizes.sizes, {}});
    TraceChoice next = typedChoice();
    if (!settings) next.own.push_back({name.trimmed().toStdString(), sizes.sizes, {}});
    next.standard = name.trimmed().toStdString();
    showReview(sizeFiles(next));
}

void TraceReviewDialog::showReview(TraceReview next) {
    const char before = chosenDye();
    review = std::move(next);
    files->setRowCount(static_cast<int>(review.files.size()));
    for (int r = 0; r < files->rowCount(); ++r) {
        const QStringList cells = rowCells(review.files[static_cast<size_t>(r)]);
        for (int c = 0; c < cells.size(); ++c) files->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    files->resizeColumnsToContents();

    standard->clear();
    standard->addItem(automatic, QString());
    for (const std::string& name : review.standards)
        standard->addItem(QString::fromStdString(name), QString::fromStdString(name));
    const QString chosen = QString::fromStdString(review.choice.standard);
    const int item = standard->findData(chosen);
    if (item >= 0) standard->setCurrentIndex(item);
    else standard->setEditText(chosen);

    dye->clear();
    const bool usable = review.tables.status == ImportStatus::Imported;
    if (usable) {
        const char standardDye = sizeStandardDye(review.tables);
        for (const DyeCount& d : review.tables.dyes)
            dye->addItem(QStringLiteral("%1: %2 peaks%3")
                             .arg(QString::fromStdString(dyeName(d.dye)))
                             .arg(d.peaks)
                             .arg(d.dye == standardDye ? QStringLiteral(" (size standard)") : QString()),
                         static_cast<int>(static_cast<unsigned char>(d.dye)));
        const int keep = dye->findData(static_cast<int>(static_cast<unsigned char>(before ? before : defaultDye(review.tables))));
        dye->setCurrentIndex(keep >= 0 ? keep : dye->findData(static_cast<int>(
                                                    static_cast<unsigned char>(defaultDye(review.tables)))));
    }
    QStringList lines;
    if (!usable) lines << QString::fromStdString(review.tables.message);
    for (const std::string& note : review.tables.notes) lines << QString::fromStdString(note);
    notes->setText(lines.join(QLatin1Char('\n')));
    buttons->button(QDialogButtonBox::Open)->setEnabled(usable);
}

}  // namespace lociview::qt
