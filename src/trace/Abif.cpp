#include "trace/Abif.h"

#include <bit>
#include <cstring>

#include "base/DevLog.h"

namespace lociview {

namespace {

uint32_t be32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return uint32_t{u[0]} << 24 | uint32_t{u[1]} << 16 | uint32_t{u[2]} << 8 | uint32_t{u[3]};
}
int32_t int32At(const char* p) { return static_cast<int32_t>(be32(p)); }
int16_t int16At(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return static_cast<int16_t>(static_cast<uint16_t>(u[0] << 8 | u[1]));
}

long long ll(int64_t n) { return static_cast<long long>(n); }

// The fixed part of a 28-byte entry; the data are found later.
struct Entry {
    char tag[4];
    int32_t number;
    int16_t type, elementSize;
    int32_t count, dataSize, dataOffset;
};

Entry entryAt(const char* p) {
    Entry e{};
    std::memcpy(e.tag, p, 4);
    e.number = int32At(p + 4);
    e.type = int16At(p + 8);
    e.elementSize = int16At(p + 10);
    e.count = int32At(p + 12);
    e.dataSize = int32At(p + 16);
    e.dataOffset = int32At(p + 20);
    return e;
}

// The size an element of a standard type has; 0 for others.
int typeSize(int16_t type) {
    switch (type) {
        case kAbifByte: case kAbifChar: case kAbifPString: case kAbifCString: return 1;
        case kAbifShort: return 2;
        case kAbifLong: case kAbifFloat: case kAbifDate: case kAbifTime: return 4;
        case kAbifDouble: return 8;
        default: return 0;
    }
}

bool isHidType(int16_t type) { return type >= 28 && type <= 34; }

bool overlaps(int64_t begin, int64_t end, int64_t otherBegin, int64_t otherEnd) {
    return begin < otherEnd && otherBegin < end;
}

}  // namespace

std::string AbifItem::name() const {
    std::string out;
    for (const char c : tag) out += c >= 0x20 && c < 0x7F ? c : '?';
    return out + "." + std::to_string(number);
}

bool AbifItem::is(std::string_view tagName, int32_t itemNumber) const {
    return number == itemNumber && tagName.size() == 4 && std::memcmp(tag, tagName.data(), 4) == 0;
}

const AbifItem* AbifDirectory::find(std::string_view tag, int32_t number) const {
    for (const AbifItem& item : items)
        if (item.is(tag, number)) return &item;
    return nullptr;
}

AbifDirectory readAbifDirectory(std::string_view bytes) {
    AbifDirectory dir;
    const int64_t size = static_cast<int64_t>(bytes.size());
    if (bytes.empty()) {
        dir.problem = "it is empty";
        return dir;
    }
    if (bytes.substr(0, 4) != "ABIF" && !std::string_view("ABIF").starts_with(bytes)) {
        dir.problem = "it does not begin with \"ABIF\", so it is not an instrument trace file";
        return dir;
    }
    if (size < kAbifHeaderBytes) {
        dir.problem = format("it is cut short: it ends at byte %lld, inside its %lld-byte header", ll(size),
                             ll(kAbifHeaderBytes));
        return dir;
    }
    dir.version = int16At(bytes.data() + 4);
    const Entry root = entryAt(bytes.data() + 6);
    if (root.elementSize != kAbifEntryBytes) {
        dir.problem = format("its directory entries are said to be %d bytes long, not %lld", root.elementSize,
                             ll(kAbifEntryBytes));
        return dir;
    }
    if (root.count < 0 || root.dataOffset < 0) {
        dir.problem = format("its directory has a negative place or size (%d entries at byte %d)", root.count,
                             root.dataOffset);
        return dir;
    }
    // 64-bit arithmetic: a count near 2^31 times 28 does not wrap.
    dir.directoryBegin = root.dataOffset;
    dir.directoryEnd = dir.directoryBegin + int64_t{root.count} * kAbifEntryBytes;
    if (root.count > 0 && dir.directoryBegin < kAbifHeaderBytes) {
        dir.problem = format("its directory is said to start at byte %d, inside the file's own header",
                             root.dataOffset);
        return dir;
    }
    if (dir.directoryEnd > size) {
        dir.problem = format("it is cut short: its directory of %d entries needs bytes %lld to %lld, but the file "
                             "ends at byte %lld",
                             root.count, ll(dir.directoryBegin), ll(dir.directoryEnd), ll(size));
        return dir;
    }
    dir.items.reserve(static_cast<size_t>(root.count));
    for (int64_t at = dir.directoryBegin; at < dir.directoryEnd; at += kAbifEntryBytes) {
        const Entry e = entryAt(bytes.data() + at);
        AbifItem& item = dir.items.emplace_back();
        std::memcpy(item.tag, e.tag, 4);
        item.number = e.number;
        item.type = e.type;
        item.elementSize = e.elementSize;
        item.count = e.count;
        if (e.dataSize < 0 || e.count < 0 || e.elementSize < 0) {
            item.damage = format("%s has a negative size or count", item.name().c_str());
        } else if (e.dataSize <= 4) {
            // Data of up to four bytes sit in the entry's offset field.
            item.offset = at + 20;
            item.data = bytes.substr(static_cast<size_t>(item.offset), static_cast<size_t>(e.dataSize));
        } else if (e.dataOffset < 0 || int64_t{e.dataOffset} + e.dataSize > size) {
            item.damage = format("%s lies past the end of the file (bytes %d to %lld of %lld)", item.name().c_str(),
                                 e.dataOffset, ll(int64_t{e.dataOffset} + e.dataSize), ll(size));
        } else {
            item.offset = e.dataOffset;
            item.data = bytes.substr(static_cast<size_t>(e.dataOffset), static_cast<size_t>(e.dataSize));
        }
    }
    return dir;
}

std::string abifItemProblem(const AbifDirectory& dir, const AbifItem& item) {
    if (!item.damage.empty()) return item.damage;
    const int64_t needed = int64_t{item.elementSize} * item.count;
    if (needed > static_cast<int64_t>(item.data.size()))
        return format("%s claims %d elements of %d bytes, more than its %zu bytes", item.name().c_str(), item.count,
                      item.elementSize, item.data.size());
    const int64_t end = item.offset + static_cast<int64_t>(item.data.size());
    if (item.data.size() > 4 &&
        (overlaps(item.offset, end, 0, kAbifHeaderBytes) ||
         overlaps(item.offset, end, dir.directoryBegin, dir.directoryEnd)))
        return format("%s points into the file's own directory", item.name().c_str());
    return {};
}

std::optional<std::vector<double>> abifNumbers(const AbifDirectory& dir, const AbifItem& item) {
    const int size = typeSize(item.type);
    if (size == 0 || item.type == kAbifChar || item.type == kAbifPString || item.type == kAbifCString ||
        item.type == kAbifDate || item.type == kAbifTime || item.elementSize != size ||
        !abifItemProblem(dir, item).empty())
        return std::nullopt;
    std::vector<double> out(static_cast<size_t>(item.count));
    const char* p = item.data.data();
    for (double& value : out) {
        switch (item.type) {
            case kAbifByte: value = static_cast<unsigned char>(*p); break;
            case kAbifShort: value = int16At(p); break;
            case kAbifLong: value = int32At(p); break;
            case kAbifFloat: value = std::bit_cast<float>(be32(p)); break;
            default: value = std::bit_cast<double>(uint64_t{be32(p)} << 32 | be32(p + 4)); break;
        }
        p += size;
    }
    return out;
}

std::optional<std::vector<int16_t>> abifShorts(const AbifDirectory& dir, const AbifItem& item) {
    if ((item.type != kAbifShort && !isHidType(item.type)) || item.elementSize != 2 ||
        !abifItemProblem(dir, item).empty())
        return std::nullopt;
    std::vector<int16_t> out(static_cast<size_t>(item.count));
    for (size_t i = 0; i < out.size(); ++i) out[i] = int16At(item.data.data() + 2 * i);
    return out;
}

std::optional<std::string> abifText(const AbifDirectory& dir, const AbifItem& item) {
    if ((item.type != kAbifChar && item.type != kAbifPString && item.type != kAbifCString) ||
        !abifItemProblem(dir, item).empty())
        return std::nullopt;
    std::string_view text = item.data;
    if (item.type == kAbifPString && !text.empty()) {
        const size_t length = static_cast<unsigned char>(text.front());
        text = text.substr(1, length);
    }
    if (item.type == kAbifCString) text = text.substr(0, text.find('\0'));
    while (!text.empty() && text.back() == '\0') text.remove_suffix(1);
    return std::string(text);
}

}  // namespace lociview
