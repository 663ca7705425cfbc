#include "qt/FieldHints.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QVariant>

#include "app/FieldNotes.h"

namespace lociview::qt {

namespace {

const char* const ownToolTip = "lociviewOwnToolTip";

// The note beside a field: a red "read as 1" that shows only when the text
// is not one plain number. The field and its note share a row in whatever
// layout held the field, and the field keeps its place in the tab order.
QLabel* noteBeside(QLineEdit* edit) {
    QWidget* parent = edit->parentWidget();
    QLayout* layout = parent ? parent->layout() : nullptr;
    if (!layout) return nullptr;
    auto* row = new QWidget(parent);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(4);
    QWidget* before = edit->previousInFocusChain();
    if (QLayoutItem* replaced = layout->replaceWidget(edit, row)) {
        delete replaced;
    } else {
        delete row;
        return nullptr;
    }
    rowLayout->addWidget(edit, 1);
    auto* note = new QLabel(row);
    note->setObjectName(edit->objectName() + QStringLiteral("ReadAs"));
    note->setStyleSheet(QStringLiteral("color: #d01010;"));
    note->hide();
    rowLayout->addWidget(note);
    if (before && before != edit) QWidget::setTabOrder(before, edit);
    return note;
}

void showHint(QLineEdit* edit, QLabel* note, FieldReading reading) {
    const QByteArray text = edit->text().toUtf8();
    const std::string hint = fieldReadingHint(std::string_view(text.constData(), static_cast<size_t>(text.size())), reading);
    const QString own = edit->property(ownToolTip).toString();
    if (note) {
        // The short form beside the field; the tooltip has the whole of it.
        note->setText(QString::fromStdString(hint.substr(0, hint.find(','))));
        note->setVisible(!hint.empty());
    }
    if (hint.empty()) {
        edit->setStyleSheet(QString());
        edit->setToolTip(own);
        return;
    }
    QString tip = QString::fromStdString(hint);
    tip[0] = tip[0].toUpper();
    tip += QStringLiteral(": the text is not one plain number.");
    if (!own.isEmpty()) tip += QStringLiteral("\n") + own;
    edit->setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid #d01010; border-radius: 2px; }"));
    edit->setToolTip(tip);
}

}  // namespace

void installFieldHints(QWidget* root) {
    for (const NumberField& field : numberFields()) {
        auto* edit = root->findChild<QLineEdit*>(QString::fromLatin1(field.name));
        if (!edit) continue;
        edit->setProperty(ownToolTip, edit->toolTip());
        QLabel* note = noteBeside(edit);
        const FieldReading reading = field.reading;
        QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, note, reading] { showHint(edit, note, reading); });
        showHint(edit, note, reading);
    }
}

}  // namespace lociview::qt
