#include "trace/SizeStandard.h"

#include <algorithm>
#include <cmath>

#include "base/DevLog.h"
#include "base/NumberText.h"

namespace lociview {

namespace {

const std::vector<double> kGs500 = {35, 50, 75, 100, 139, 150, 160, 200, 250, 300, 340, 350, 400, 450, 490, 500};
const std::vector<double> kGs600 = {20,  40,  60,  80,  100, 114, 120, 140, 160, 180, 200, 214,
                                    220, 240, 250, 260, 280, 300, 314, 320, 340, 360, 380, 400,
                                    414, 420, 440, 460, 480, 500, 514, 520, 540, 560, 580, 600};

// Upper case, blanks and underscores dropped.
std::string key(std::string_view name) {
    std::string out;
    for (const char c : name) {
        if (c == ' ' || c == '_' || c == '\t') continue;
        out += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

std::string trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return std::string(text);
}

// "A-B" inside brackets of a stored name, as in "(60-600)".
std::optional<std::pair<double, double>> bracketedRange(std::string_view name) {
    const size_t open = name.find('(');
    if (open == std::string_view::npos) return std::nullopt;
    std::string_view rest = name.substr(open + 1);
    const size_t first = decimalNumberLength(rest);
    if (first == 0 || first >= rest.size() || rest[first] != '-') return std::nullopt;
    const std::string_view after = rest.substr(first + 1);
    const size_t second = decimalNumberLength(after);
    if (second == 0 || second >= after.size() || after[second] != ')') return std::nullopt;
    const double low = parseDouble(rest.substr(0, first)), high = parseDouble(after.substr(0, second));
    if (!(low < high)) return std::nullopt;
    return std::pair{low, high};
}

std::string sizeText(double size) { return format("%g", size); }

}  // namespace

std::vector<double> SizeStandard::usedSizes() const {
    std::vector<double> out;
    for (const double s : sizes)
        if (std::find(excluded.begin(), excluded.end(), s) == excluded.end()) out.push_back(s);
    return out;
}

const std::vector<SizeStandard>& builtInStandards() {
    static const std::vector<SizeStandard> standards = {
        {"GS500LIZ", kGs500, {}},
        {"GS500LIZ-250", kGs500, {250}},
        {"GS500ROX", kGs500, {}},
        {"GS500ROX-250", kGs500, {250}},
        {"GS600LIZ", kGs600, {}},
    };
    return standards;
}

std::optional<SizeStandard> standardNamed(std::string_view name, const std::vector<SizeStandard>& standards) {
    const std::string wanted = key(name);
    for (const SizeStandard& s : standards)
        if (key(s.name) == wanted) return s;
    return std::nullopt;
}

std::optional<SizeStandard> standardFromStoredName(std::string_view stored, std::string_view dyeName) {
    const std::string k = key(stored), dye = key(dyeName);
    const bool rox = dye == "ROX" || (dye != "LIZ" && k.find("ROX") != std::string::npos);
    std::optional<SizeStandard> found;
    if (k.find("600") != std::string::npos && k.find("LIZ") != std::string::npos && !rox) {
        found = *standardNamed("GS600LIZ", builtInStandards());
    } else if (k.find("500") != std::string::npos &&
               (k.find("ROX") != std::string::npos || k.find("LIZ") != std::string::npos)) {
        const bool without250 = k.find("500-250") != std::string::npos;
        found = *standardNamed(std::string(rox ? "GS500ROX" : "GS500LIZ") + (without250 ? "-250" : ""),
                               builtInStandards());
    }
    if (!found) return std::nullopt;
    if (const auto range = bracketedRange(stored)) {
        for (const double s : found->sizes)
            if ((s < range->first || s > range->second) &&
                std::find(found->excluded.begin(), found->excluded.end(), s) == found->excluded.end())
                found->excluded.push_back(s);
        std::sort(found->excluded.begin(), found->excluded.end());
        found->name += format("(%s-%s)", sizeText(range->first).c_str(), sizeText(range->second).c_str());
    }
    return found;
}

SizesText parseSizes(std::string_view text) {
    SizesText out;
    std::string_view rest = text;
    for (;;) {
        const size_t comma = rest.find(',');
        const std::string item = trimmed(rest.substr(0, comma));
        const size_t length = decimalNumberLength(item);
        if (item.empty() || length != item.size()) {
            out.problem = item.empty() ? "a size is missing between two commas"
                                       : format("\"%s\" is not a size in bp", item.c_str());
            return out;
        }
        const double size = parseDouble(item);
        if (!(size > 0) || !std::isfinite(size)) {
            out.problem = format("%s is not a positive size", item.c_str());
            return out;
        }
        out.sizes.push_back(size);
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    std::sort(out.sizes.begin(), out.sizes.end());
    if (const auto twice = std::adjacent_find(out.sizes.begin(), out.sizes.end()); twice != out.sizes.end())
        out.problem = format("%s bp is given twice", sizeText(*twice).c_str());
    else if (out.sizes.size() < kMinStandardSizes)
        out.problem = format("a size standard needs at least %zu sizes, not %zu", kMinStandardSizes, out.sizes.size());
    if (!out.problem.empty()) out.sizes.clear();
    return out;
}

StandardChoice chooseStandard(std::string_view text, const std::vector<SizeStandard>& standards) {
    StandardChoice out;
    if (std::optional<SizeStandard> named = standardNamed(text, standards)) {
        out.standard = std::move(named);
        return out;
    }
    const SizesText sizes = parseSizes(text);
    const bool looksLikeSizes = text.find(',') != std::string_view::npos;
    if (!sizes.problem.empty()) {
        std::string names;
        for (const SizeStandard& s : standards) names += (names.empty() ? "" : ", ") + s.name;
        out.problem = looksLikeSizes ? "the sizes \"" + std::string(text) + "\" cannot be used: " + sizes.problem
                                     : "\"" + std::string(text) + "\" is neither a size standard Lociview knows (" +
                                           names + ") nor a list of sizes such as 35,50,75,100";
        return out;
    }
    out.standard = SizeStandard{format("%s-%s (%zu sizes)", sizeText(sizes.sizes.front()).c_str(),
                                       sizeText(sizes.sizes.back()).c_str(), sizes.sizes.size()),
                                sizes.sizes,
                                {}};
    return out;
}

}  // namespace lociview
