#pragma once
// One electrophoresis peak: its key in the store, size, height, area, lane
// as written in the file, and score code. A plain value holder.
#include <cstdint>
#include <memory>
#include <vector>

namespace lociview {

enum ScoreCode : int32_t { UNMARKED = 0, SCORED = 1, MAYBE = 2, DISCARDED = 3 };

class Allele {
public:
    Allele(double size, int32_t height, int32_t area, int32_t lane)
        : size_(size), height_(height), area_(area), lane_(lane) {}

    void assignKey(int32_t key) { idnum = key; }
    void changeSize(double size) { size_ = size; }
    // Truncates toward zero (99.9 -> 99), saturating at the 32-bit limits.
    void changeHeight(double height);
    void changeScore(int32_t code) { scored = code; }

    int32_t getKey() const { return idnum; }
    double getSize() const { return size_; }
    int32_t getHeight() const { return height_; }
    int32_t getArea() const { return area_; }
    int32_t getLane() const { return lane_; }
    int32_t getScore() const { return scored; }

private:
    int32_t idnum = 0;
    double size_;
    int32_t height_;
    int32_t area_;
    int32_t lane_;
    int32_t scored = UNMARKED;
};

using AllelePtr = std::shared_ptr<Allele>;
using AlleleList = std::vector<AllelePtr>;

}  // namespace lociview
