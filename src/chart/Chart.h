#pragma once
// What the controller asks of the chart: its peaks, size range, locus and
// whether maybes are drawn. The chart model keeps that state; the GL view
// and the headless front end draw or print its frames.
#include <cstdint>

#include "model/Allele.h"

namespace lociview {

class Chart {
public:
    virtual ~Chart() = default;
    virtual void setRange(int32_t low, int32_t high) = 0;
    virtual void addAllele(const AllelePtr& allele) = 0;
    virtual void removeAllele(int32_t key) = 0;
    virtual void clearGraph() = 0;
    virtual void setLocusType(int32_t locustype) = 0;
    virtual void setMaybeCheck(int8_t flag) = 0;
};

}  // namespace lociview
