// Reading ABIF trace files: the items a run carries, and every kind of
// damaged or foreign file refused with a message that names it.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "support/AbifWriter.h"
#include "trace/Abif.h"
#include "trace/Trace.h"

namespace lociview {
namespace {

using testing::AbifWriter;
using testing::SyntheticRun;

SyntheticRun smallRun() {
    SyntheticRun run;
    run.scans = 1200;
    run.standard = {35, 50};
    return run;
}

// Overwrites the big-endian 32-bit field at `field` (4 count, 8 data size,
// 12 offset, from the entry's element count on) of the entry tag.number,
// or of the directory's own entry for "tdir".
void patch(std::string& bytes, const std::string& tag, int32_t number, int field, uint32_t value) {
    const auto be32 = [&](size_t at) {
        return uint32_t{static_cast<unsigned char>(bytes[at])} << 24 | uint32_t{static_cast<unsigned char>(bytes[at + 1])} << 16 |
               uint32_t{static_cast<unsigned char>(bytes[at + 2])} << 8 | static_cast<unsigned char>(bytes[at + 3]);
    };
    size_t entry = 6;
    if (tag != "tdir") {
        const size_t begin = be32(26), count = be32(18);
        for (entry = begin; entry < begin + 28 * count; entry += 28)
            if (bytes.compare(entry, 4, tag) == 0 && be32(entry + 4) == static_cast<uint32_t>(number)) break;
    }
    std::string field32;
    AbifWriter::put32(field32, value);
    bytes.replace(entry + 8 + static_cast<size_t>(field), 4, field32);
}

TEST(TraceReader, ReadsTheItemsOfARun) {
    SyntheticRun run = smallRun();
    run.sample = "MIX05_pos \r\n";
    run.dyeNames = {"6-FAM", " VIC", "NED\t", "PET", "LIZ"};
    // The instrument's own peak table, as 3500 files carry it.
    run.moreItems = [](AbifWriter& w) {
        w.shorts("Peak", 1, {5, 1});
        w.longs("Peak", 2, {1407, 2060});
        w.longs("Peak", 7, {1809, 2322});
        w.longs("Peak", 10, {7551, 9336});
        w.doubles("Peak", 12, {60.0, 140.719});
    };
    run.well = "E10";
    run.storedStandard = "GSLIZ500-250POP6.szs";
    run.normalization = 3.0;
    run.offScale = {700, 701};
    const TraceRead read = readTrace(testing::writeRun(run), "E10.fsa");
    ASSERT_TRUE(read.trace) << read.problem;
    const Trace& t = *read.trace;
    EXPECT_EQ(t.sample, "MIX05_pos");
    EXPECT_EQ(t.well, "E10");
    EXPECT_EQ(t.standardName, "GSLIZ500-250POP6.szs");
    EXPECT_EQ(t.model, "3730");
    EXPECT_EQ(t.runStarted, "2024-03-15 14:30:05");
    EXPECT_EQ(t.normalization, 3.0);
    EXPECT_EQ(t.offScale, (std::vector<int32_t>{700, 701}));
    EXPECT_EQ(t.dyeNames, (std::vector<std::string>{"6-FAM", "VIC", "NED", "PET", "LIZ"}));
    ASSERT_EQ(t.instrumentPeaks.size(), 2u);
    EXPECT_EQ(t.instrumentPeaks[0].dye, 5);
    EXPECT_EQ(t.instrumentPeaks[0].scan, 1407);
    EXPECT_EQ(t.instrumentPeaks[1].height, 2322);
    EXPECT_EQ(t.instrumentPeaks[1].area, 9336);
    EXPECT_EQ(t.instrumentPeaks[1].size, 140.719);
    ASSERT_EQ(t.dyes(), 5);
    EXPECT_EQ(t.scans(), 1200u);
    EXPECT_EQ(t.signals[4], testing::runSignals(run)[4]);
}

// NrmS.1 is taken when it is a positive factor an instrument could use.
TEST(TraceReader, TakesAPlausibleHeightFactor) {
    for (const auto& [stored, taken] : std::vector<std::pair<double, double>>{
             {3.0, 3.0}, {0.0, 1.0}, {-2.0, 1.0}, {1000.0, 1000.0}, {1000.5, 1.0}, {std::nan(""), 1.0}}) {
        SyntheticRun run = smallRun();
        run.normalization = stored;
        EXPECT_EQ(readTrace(testing::writeRun(run), "n.fsa").trace->normalization, taken) << stored;
    }
}

// A .hid keeps its items under its own element types; signals of 2-byte
// elements read as those of an .fsa.
TEST(TraceReader, ReadsAHidWhoseSignalsArePlain) {
    AbifWriter w;
    std::string data;
    for (const int16_t v : {5, 900, 7}) AbifWriter::put16(data, static_cast<uint16_t>(v));
    w.add("DATA", 1, 28, 2, 3, data);
    w.add("SpNm", 1, 34, 1, 4, "\x1f\x02\x7a\x33");  // scrambled text is left out
    const TraceRead read = readTrace(w.bytes(), "s.hid");
    ASSERT_TRUE(read.trace) << read.problem;
    EXPECT_EQ(read.trace->signals, (std::vector<std::vector<int16_t>>{{5, 900, 7}}));
    EXPECT_EQ(read.trace->sample, "");
}

struct BadFile {
    const char* name;
    std::function<std::string()> bytes;
    const char* says;
};

class TraceReaderRefusal : public ::testing::TestWithParam<BadFile> {};

TEST_P(TraceReaderRefusal, NamesTheFileAndSaysWhy) {
    const TraceRead read = readTrace(GetParam().bytes(), "plate/A01.fsa");
    EXPECT_FALSE(read.trace);
    EXPECT_EQ(read.problem.rfind("Cannot read \"plate/A01.fsa\": ", 0), 0u) << read.problem;
    EXPECT_NE(read.problem.find(GetParam().says), std::string::npos) << read.problem;
}

std::string good() { return testing::writeRun(smallRun()); }
std::string patched(const std::string& tag, int32_t number, int field, uint32_t value) {
    std::string bytes = good();
    patch(bytes, tag, number, field, value);
    return bytes;
}
std::string withSignals(const std::vector<std::vector<int16_t>>& signals, std::optional<int16_t> dyes) {
    AbifWriter w;
    if (dyes) w.shorts("Dye#", 1, {*dyes});
    for (size_t d = 0; d < signals.size(); ++d) w.shorts("DATA", d < 4 ? static_cast<int32_t>(d + 1) : static_cast<int32_t>(d + 101), signals[d]);
    w.pstring("SpNm", 1, "S");
    return w.bytes();
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, TraceReaderRefusal,
    ::testing::Values(
        BadFile{"Empty", [] { return std::string(); }, "it is empty"},
        BadFile{"TextFileNamedFsa", [] { return std::string("Dye/Sample Peak\tSize\tHeight\nB,1\t150\t800\n"); },
                "does not begin with \"ABIF\""},
        BadFile{"WrongMagic", [] { return "ABIX" + good().substr(4); }, "does not begin with \"ABIF\""},
        BadFile{"CutInTheHeader", [] { return good().substr(0, 20); }, "inside its 34-byte header"},
        BadFile{"CutBeforeTheDirectory", [] { const std::string b = good(); return b.substr(0, b.size() - 40); },
                "cut short: its directory"},
        BadFile{"DirectoryIntoItself", [] { return patched("tdir", 1, 12, 6); }, "inside the file's own header"},
        BadFile{"DirectoryCountPastTheEnd", [] { return patched("tdir", 1, 4, 0x7FFFFFFF); }, "cut short"},
        BadFile{"OffsetPastTheEnd", [] { return patched("DATA", 1, 12, 0x7FFFFF00); }, "DATA.1 lies past the end"},
        BadFile{"NegativeOffset", [] { return patched("DATA", 2, 12, 0xFFFFFFF0); }, "DATA.2 lies past the end"},
        // 2^31 - 1 elements of 2 bytes overflow 32 bits when multiplied.
        BadFile{"CountOverflowing", [] { return patched("DATA", 1, 4, 0x7FFFFFFF); },
                "DATA.1 claims 2147483647 elements of 2 bytes"},
        // The last 100 of its 2,400 bytes are the directory's first.
        BadFile{"DataInTheDirectory", [] { std::string b = good(); AbifDirectory d = readAbifDirectory(b);
                                           patch(b, "DATA", 3, 12, static_cast<uint32_t>(d.directoryBegin - 2300)); return b; },
                "DATA.3 points into the file's own directory"},
        BadFile{"NoChannels", [] { return withSignals({}, std::nullopt); }, "holds no dye signals"},
        BadFile{"ChannelsOfDifferentLengths", [] { return withSignals({{1, 2, 3}, {1, 2}}, 2); },
                "differ in length (DATA.1 has 3 scans, DATA.2 has 2)"},
        BadFile{"DyeCountZero", [] { return withSignals({{1, 2}}, 0); }, "a dye count of 0"},
        BadFile{"DyeCountNine", [] { return withSignals({{1, 2}}, 9); }, "a dye count of 9"},
        BadFile{"DyeMissing", [] { return withSignals({{1, 2}, {3, 4}}, 5); }, "no signal for dye 3 (DATA.3)"},
        BadFile{"EmptyChannels", [] { return withSignals({{}, {}}, 2); }, "signals are empty"},
        BadFile{"ScrambledHid", [] { AbifWriter w; w.add("DATA", 1, 28, 1, 6, std::string("\x9c\x11\x02\xfe\x7a\x00", 6)); return w.bytes(); },
                "(DATA.1: element type 28, 1-byte elements)"},
        BadFile{"SignalOfFloats", [] { AbifWriter w; w.add("DATA", 1, 7, 4, 2, std::string(8, '\1')); return w.bytes(); },
                "DATA.1 is not a 16-bit signal"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lociview
