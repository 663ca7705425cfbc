// Number items of a peak line take quick paths (short plain decimals, the
// "%f" texts of the row); whatever path a spelling takes, the row must hold
// exactly what strtof and "%f" would make of it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "input/PeakTableReader.h"

namespace lociview {
namespace {

std::string percentF(const char* number) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%f", static_cast<double>(std::strtof(number, nullptr)));
    return buf;
}

TEST(PeakTableNumbersTest, RowTextsAreWhatStrtofAndPercentFMake) {
    const char* const spellings[] = {
        "185.32",      "21.35",      "18923.5",    "0.0078125",  "0.0234375",   "1234567",     "12345678",
        "1234567.8",   "0.1234567",  "0.12345678", "-0.0",       "-0",          "+7.5",        "007.50",
        "5.",          ".5",         "-.25",       "9999999",    "16777217",    "3.4028235e38", "1e39",
        "-1e39",       "1e-46",      "2.5e-3",     "1E3",        "8796093022208", "8796093022209.5",
        "4294967296.1", "0.000000499", "0.0000005", "123.4560001", "99999.995",  "1.5e+2",
    };
    std::string text;
    for (const char* s : spellings) text += std::string("1A,1 ") + s + " " + s + " 7 " + s + " " + s + "\n";
    std::vector<PeakRow> rows;
    NullLog log;
    readPeakTable(text, rows, log);
    ASSERT_EQ(rows.size(), std::size(spellings));
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string expected = percentF(spellings[i]);
        for (const size_t field : {3u, 4u, 6u, 7u}) EXPECT_EQ(rows[i][field], expected) << spellings[i] << " field " << field;
    }
}

}  // namespace
}  // namespace lociview
