#pragma once
// The directory of an ABIF file (the capillary instrument's .fsa and .hid
// traces): big-endian, "ABIF" and a version, then at byte 6 one 28-byte
// entry that locates the directory of 28-byte entries, each naming an item
// by tag and number, its element type, size and count, and where its data
// lie. Bytes in, items out: every offset, size and count is checked against
// the file, so nothing is ever read past its end.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lociview {

// Element types of the format; 28-34 are the .hid variant's own, others
// are opaque.
enum AbifType : int16_t {
    kAbifByte = 1,
    kAbifChar = 2,
    kAbifShort = 4,
    kAbifLong = 5,
    kAbifFloat = 7,
    kAbifDouble = 8,
    kAbifDate = 10,
    kAbifTime = 11,
    kAbifPString = 18,
    kAbifCString = 19,
    kAbifDirectory = 1023,
};

struct AbifItem {
    char tag[4] = {};
    int32_t number = 0;
    int16_t type = 0;
    int16_t elementSize = 0;
    int32_t count = 0;
    // The item's bytes inside the file (or inside its entry, for data of at
    // most four bytes). Empty when the entry points outside the file: such
    // an item is unusable, and `damage` says why.
    std::string_view data;
    int64_t offset = 0;   // where data starts in the file
    std::string damage;

    std::string name() const;  // "DATA.105"
    bool is(std::string_view tagName, int32_t itemNumber) const;
};

struct AbifDirectory {
    int16_t version = 0;
    std::vector<AbifItem> items;
    // The byte ranges the header and the directory take, which no item's
    // data may overlap.
    int64_t directoryBegin = 0, directoryEnd = 0;
    std::string problem;  // not empty: the file is not a readable ABIF file

    const AbifItem* find(std::string_view tag, int32_t number) const;
};

inline constexpr int64_t kAbifHeaderBytes = 34;
inline constexpr int64_t kAbifEntryBytes = 28;

// Reads the header and directory of the bytes. problem says, in words for
// the user, why they are not an ABIF file or why its directory cannot be
// read; items whose data would lie past the end are kept but marked.
AbifDirectory readAbifDirectory(std::string_view bytes);

// Why an item cannot be read as `what` (a sentence fragment naming the
// item), or "" when it can: damaged, pointing into the directory, or with
// element sizes and counts that do not fit its data.
std::string abifItemProblem(const AbifDirectory& dir, const AbifItem& item);

// The elements of a numeric item (byte, short, long, float, double, or
// .hid types whose element size is 1, 2, 4 or 8 and says so) as doubles,
// or nothing when the item is not numeric or damaged.
std::optional<std::vector<double>> abifNumbers(const AbifDirectory& dir, const AbifItem& item);

// 16-bit signed elements (a dye signal): type short, or a .hid type of
// 2-byte elements. Nothing otherwise.
std::optional<std::vector<int16_t>> abifShorts(const AbifDirectory& dir, const AbifItem& item);

// The text of a char, Pascal or C string item (NULs at the end dropped),
// or nothing for any other type.
std::optional<std::string> abifText(const AbifDirectory& dir, const AbifItem& item);

}  // namespace lociview
