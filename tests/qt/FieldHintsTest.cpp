// The hint on a field whose text does not read as the number it shows:
// what it says for each kind of reading, and that the field shows it.
#include <QLineEdit>
#include <gtest/gtest.h>

#include "WindowFixture.h"
#include "qt/FieldHints.h"

namespace lociview::qt::test {
namespace {

TEST(FieldHintsTest, SaysWhatATextReadsAsWhenItIsNotThePlainNumber) {
    using R = FieldReading;
    struct Case {
        const char* text;
        R reading;
        const char* hint;
    };
    const Case cases[] = {
        // Read as shown: no hint. Blanks around a number and an empty field too.
        {"150.5", R::DecimalAndWhole, ""}, {" -2.5e1 ", R::Decimal, ""}, {".5", R::DecimalAndWhole, ""},
        {"", R::Decimal, ""},              {"1.0", R::Whole, ""},         {"+7", R::Whole, ""},
        // Not one number: what the reader takes.
        {"abc", R::Decimal, "read as 0"},  {"1,5", R::DecimalAndWhole, "read as 1"},
        {"12abc", R::Whole, "read as 12"}, {"  ", R::Whole, "read as 0"},
        {"nan", R::Decimal, "read as 0"},  {"1.25.3", R::Decimal, "read as 1.25"},
        // A whole-number field drops what it cannot hold.
        {"1.5", R::Whole, "read as 1"},    {"1e3", R::Whole, "read as 1"},
        {"99999999999", R::Whole, "read as 2147483647"},
        // Both readings of one text disagree.
        {"1e3", R::DecimalAndWhole, "read as 1000, and as 1 where a whole number is used"},
        {"1e3", R::Decimal, ""},
        {"1e400", R::Decimal, "read as inf"},
    };
    for (const Case& c : cases) EXPECT_EQ(fieldReadingHint(c.text, c.reading), c.hint) << '"' << c.text << '"';
}

using FieldHintsWindowTest = WindowFixture;

TEST_F(FieldHintsWindowTest, AFieldShowsItsHintAndKeepsItsTextAndTooltip) {
    QLineEdit* p1 = child<QLineEdit>("progenitor1");
    const QString ownTip = p1->toolTip();
    typeInto(p1, QStringLiteral("12abc"));
    EXPECT_TRUE(p1->toolTip().startsWith(QStringLiteral("Read as 12"))) << p1->toolTip().toStdString();
    EXPECT_TRUE(p1->toolTip().endsWith(ownTip));
    EXPECT_FALSE(p1->styleSheet().isEmpty());
    EXPECT_EQ(outlets.progenitor1.text(), "12abc");  // read as before

    typeInto(p1, QStringLiteral("150"));
    EXPECT_EQ(p1->toolTip(), ownTip);
    EXPECT_TRUE(p1->styleSheet().isEmpty());

    // Tool windows' fields too; the controller's own writes are checked alike.
    outlets.cuwlanefield.setText("3.5");
    EXPECT_TRUE(child<QLineEdit>("cuwlanefield")->toolTip().startsWith(QStringLiteral("Read as 3")));
}

}  // namespace
}  // namespace lociview::qt::test
