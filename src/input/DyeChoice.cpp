// Which dye channel is scored: reading dye texts, the size standard, the
// default and the user's choice.
#include <algorithm>
#include <cstring>

#include "input/PeakImport.h"

namespace lociview {

namespace {

struct Colour {
    char letter;
    const char* word;
};
constexpr Colour kColours[] = {{'B', "blue"}, {'G', "green"}, {'Y', "yellow"},
                               {'R', "red"},  {'O', "orange"}, {'P', "purple"}};

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameWord(std::string_view text, const char* word) {
    return text.size() == std::strlen(word) &&
           std::equal(text.begin(), text.end(), word, [](char a, char b) { return upper(a) == upper(b); });
}

int64_t peaksOf(const PeakImport& import, char dye) {
    for (const DyeCount& d : import.dyes)
        if (d.dye == dye) return d.peaks;
    return 0;
}

}  // namespace

char dyeLetter(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '"')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '"')) text.remove_suffix(1);
    if (text == "?") return kNoDye;
    if (text.empty() || !isLetter(text.front())) return 0;
    if (text.size() == 1 || !isLetter(text[1])) return upper(text.front());
    for (const Colour& c : kColours)
        if (sameWord(text, c.word)) return c.letter;
    return 0;
}

std::string dyeName(char dye) {
    if (dye == kNoDye) return "? (no dye column)";
    for (const Colour& c : kColours)
        if (c.letter == dye) return std::string(1, dye) + " (" + c.word + ")";
    return std::string(1, dye);
}

char sizeStandardDye(const PeakImport& import) {
    if (peaksOf(import, 'O') > 0) return 'O';
    if (peaksOf(import, 'R') > 0) return 'R';
    return 0;
}

char defaultDye(const PeakImport& import) {
    if (import.dyes.empty()) return 0;
    if (peaksOf(import, 'B') > 0) return 'B';
    const char standard = sizeStandardDye(import);
    const DyeCount* best = nullptr;
    // The dyes are in channel order, so the first of equal counts wins.
    for (const DyeCount& d : import.dyes)
        if (d.dye != standard && (!best || d.peaks > best->peaks)) best = &d;
    return best ? best->dye : standard;
}

DyeChoice selectDye(const PeakImport& import, std::string_view requested) {
    const auto trimmed = [&] {
        std::string_view t = requested;
        while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
        while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
        return t;
    }();
    if (trimmed.empty()) return {defaultDye(import), {}};
    const char dye = dyeLetter(trimmed);
    if (dye != 0 && peaksOf(import, dye) > 0) return {dye, {}};
    std::string present;
    for (const DyeCount& d : import.dyes)
        present += format("%s%s: %lld peak%s", present.empty() ? "" : ", ", dyeName(d.dye).c_str(),
                          static_cast<long long>(d.peaks), d.peaks == 1 ? "" : "s");
    if (present.empty()) present = "none";
    if (dye == 0)
        return {0, format("\"%s\" is not a dye: give its letter or colour. The dyes present are %s.",
                          std::string(trimmed).c_str(), present.c_str())};
    return {0, format("There are no peaks in dye %s. The dyes present are %s.", dyeName(dye).c_str(),
                      present.c_str())};
}

}  // namespace lociview
