#include "base/Describe.h"

#include "base/DevLog.h"

namespace lociview {

namespace {

template <typename T, typename F>
std::string joined(const std::vector<T>& items, F&& show) {
    std::string out = "(";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += ", ";
        out += show(items[i]);
    }
    return out + ")";
}

}  // namespace

std::string describe(const std::vector<int32_t>& numbers) {
    return joined(numbers, [](int32_t v) { return std::to_string(v); });
}

std::string describe(const std::vector<double>& numbers) {
    return joined(numbers, [](double v) { return format("%g", v); });
}

std::string describe(const std::vector<std::string>& texts) {
    return joined(texts, [](const std::string& s) { return s; });
}

}  // namespace lociview
