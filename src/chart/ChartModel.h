#pragma once
// The chart's state (peaks, size range, maybe flag, locus type) and the
// geometry of a frame, free of any toolkit: the GL view only draws what
// this computes, and the headless front end prints it.
#include <cstdint>
#include <string>
#include <vector>

#include "base/DevLog.h"
#include "chart/Chart.h"
#include "model/Allele.h"

namespace lociview {

class ChartModel final : public Chart {
public:
    explicit ChartModel(LogSink& log) : log(log) {}

    void setRange(int32_t low, int32_t high) override;
    void addAllele(const AllelePtr& allele) override { list.push_back(allele); }
    void removeAllele(int32_t key) override;
    void clearGraph() override { list.clear(); }
    void setLocusType(int32_t type) override { locustype = type; }
    void setMaybeCheck(int8_t flag) override { maybes = flag; }

    int32_t getColumns() const;
    bool isEven() const;
    bool isOdd() const { return !isEven(); }

    const AlleleList& peaks() const { return list; }
    int32_t getLow() const { return low; }
    int32_t getHigh() const { return high; }
    int8_t getMaybes() const { return maybes; }
    int32_t getLocusType() const { return locustype; }

protected:
    friend class ChartGeometry;
    // The parity step of drawing. Never past the largest int32: repeated
    // parity changes of the list could otherwise walk low off the end.
    void raiseLow() {
        if (low < INT32_MAX) ++low;
    }

private:
    LogSink& log;
    int8_t maybes = 0;
    int32_t locustype = 2;
    AlleleList list;
    int32_t low = 0;
    int32_t high = 0;
};

}  // namespace lociview
