#include "charts/read_scale.h"

namespace read_chart {

namespace {
constexpr int kLowFeedsBeforeHalving = 60;  // halving comes on the feed after these
constexpr ULONGLONG kSmallestHalvedScale = 100;
}  // namespace

ScaleChange UpdateScale(ULONGLONG hits, ULONGLONG* scaleMax, int* lowCount) {
    if (hits > *scaleMax) {
        *scaleMax = hits;
        *lowCount = 0;
        return ScaleChange::Raised;
    }
    if (hits >= *scaleMax / 3) {
        *lowCount = 0;
        return ScaleChange::None;
    }
    if (++*lowCount <= kLowFeedsBeforeHalving) return ScaleChange::None;
    *lowCount = 0;
    if (*scaleMax <= kSmallestHalvedScale) return ScaleChange::None;
    *scaleMax /= 2;
    return ScaleChange::Halved;
}

void SampleValues(ULONGLONG hits, ULONGLONG misses, ULONGLONG scaleMax, double values[3]) {
    values[0] = static_cast<double>(hits > misses ? hits - misses : 0);
    values[1] = static_cast<double>(hits);
    values[2] = static_cast<double>(scaleMax);
}

}  // namespace read_chart
