#pragma once
// One accumulated allele occurrence: size, run number, GE value and reps of
// the run that added it. Set once, never changed.
#include <cstdint>

namespace lociview {

class accumallele {
public:
    accumallele(double size, int32_t run, double ge, int32_t reps) : size(size), run(run), ge(ge), reps(reps) {}

    double getSize() const { return size; }
    int32_t getRun() const { return run; }
    double getGE() const { return ge; }
    int32_t getReps() const { return reps; }

private:
    double size;
    int32_t run;
    double ge;
    int32_t reps;
};

}  // namespace lociview
