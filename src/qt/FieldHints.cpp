#include "qt/FieldHints.h"

#include <QLineEdit>
#include <QVariant>
#include <cmath>

#include "base/NumberText.h"

namespace lociview::qt {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The number as a person would write it back: 12, 1.5, inf.
std::string shown(double value) {
    std::string text = formatDoubleField(value);
    if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0) text.resize(text.size() - 2);
    return text;
}

struct HintedField {
    const char* name;
    FieldReading reading;
};

const HintedField hintedFields[] = {
    {"progenitor1", FieldReading::DecimalAndWhole},
    {"progenitor2", FieldReading::DecimalAndWhole},
    {"lowrange", FieldReading::DecimalAndWhole},
    {"highrange", FieldReading::DecimalAndWhole},
    {"shift", FieldReading::Decimal},
    {"stuttertol", FieldReading::Decimal},
    {"geforun", FieldReading::Decimal},
    {"accumgeforun", FieldReading::Decimal},
    {"cuwlessthanfield", FieldReading::Whole},
    {"cuwgreaterthanfield", FieldReading::Whole},
    {"cuwlanefield", FieldReading::Whole},
    {"cuwallelefield", FieldReading::Whole},
};

const char* const ownToolTip = "lociviewOwnToolTip";

void showHint(QLineEdit* edit, FieldReading reading) {
    const QByteArray text = edit->text().toUtf8();
    const std::string hint = fieldReadingHint(std::string_view(text.constData(), static_cast<size_t>(text.size())), reading);
    const QString own = edit->property(ownToolTip).toString();
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

std::string fieldReadingHint(std::string_view text, FieldReading reading) {
    if (text.empty()) return {};
    const std::string_view number = trimmed(text);
    const bool allNumber = !number.empty() && decimalNumberLength(number) == number.size();
    const double decimal = doubleValue(text);
    const int32_t integer = intValue(text);

    if (reading == FieldReading::Whole) {
        // "1.0" is the whole number it shows; "1.5" and "1e3" are not.
        if (allNumber && decimal == static_cast<double>(integer)) return {};
        return "read as " + formatIntField(integer);
    }
    const bool readAsShown = allNumber && std::isfinite(decimal);
    const bool wholeAgrees = reading == FieldReading::Decimal || saturatingInt(decimal) == integer;
    if (readAsShown && wholeAgrees) return {};
    std::string hint = "read as " + shown(decimal);
    if (!wholeAgrees) hint += ", and as " + formatIntField(integer) + " where a whole number is used";
    return hint;
}

void installFieldHints(QWidget* root) {
    for (const HintedField& field : hintedFields) {
        auto* edit = root->findChild<QLineEdit*>(QString::fromLatin1(field.name));
        if (!edit) continue;
        edit->setProperty(ownToolTip, edit->toolTip());
        const FieldReading reading = field.reading;
        QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, reading] { showHint(edit, reading); });
        showHint(edit, reading);
    }
}

}  // namespace lociview::qt
