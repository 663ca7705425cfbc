#include "accum/SppcrExport.h"

#include "base/DevLog.h"

namespace lociview {

MissingProgenitors findMissingProgenitors(const std::vector<AlleleRow>& rows, int32_t p1, int32_t p2) {
    MissingProgenitors m;
    for (const AlleleRow& row : rows) {
        if (row.size == p1) {
            --m.count;
            m.p1 = false;
        } else if (row.size == p2) {
            --m.count;
            m.p2 = false;
        }
    }
    return m;
}

std::string singleRunExportText(const std::vector<AlleleRow>& rows, int32_t p1, int32_t p2, float ge,
                                int32_t numlanes) {
    const MissingProgenitors missing = findMissingProgenitors(rows, p1, p2);
    std::string text = "7 1 ";
    text += format("%d ", static_cast<int32_t>(rows.size()) + missing.count);

    // A missing progenitor goes before the first larger size, or last; the
    // zero count of its column goes to the same place.
    const auto writeRow = [&](const auto& valueOf, const auto& insertedValue) {
        MissingProgenitors pending = missing;
        for (const AlleleRow& row : rows) {
            if (pending.p1 && p1 < row.size) {
                text += format("%d ", insertedValue(p1));
                pending.p1 = false;
            }
            if (pending.p2 && p2 < row.size) {
                text += format("%d ", insertedValue(p2));
                pending.p2 = false;
            }
            text += format("%d ", valueOf(row));
        }
        if (pending.p1) text += format("%d ", insertedValue(p1));
        if (pending.p2) text += format("%d ", insertedValue(p2));
    };

    writeRow([](const AlleleRow& r) { return r.size; }, [](int32_t p) { return p; });
    text += "\n";
    text += format("%d ", p1);
    text += format("%d\n", p2);
    text += format("%.2f ", static_cast<double>(ge));
    text += format("%d ", numlanes);
    writeRow([](const AlleleRow& r) { return r.count; }, [](int32_t) { return 0; });
    return text;
}

}  // namespace lociview
