#include "tools/mser.h"

namespace marvolt {

size_t MserCut(const std::vector<double>& batchMeans) {
    const size_t m = batchMeans.size();
    if (m < kMserFewestBatches)
        return 0;
    // Squared deviations of every tail about its own mean, built from the
    // end by Welford's steps, which stay exact where the values are large.
    std::vector<double> tailSpread(m);
    double mean = 0.0, spread = 0.0;
    for (size_t i = m; i-- > 0;) {
        const double n = static_cast<double>(m - i);
        const double d = batchMeans[i] - mean;
        mean += d / n;
        spread += d * (batchMeans[i] - mean);
        tailSpread[i] = spread;
    }
    size_t best = 0;
    double bestScore = 0.0;
    for (size_t d = 0; d <= m / 2; ++d) {
        const double left = static_cast<double>(m - d);
        const double score = tailSpread[d] / (left * left);
        if (d == 0 || score < bestScore) {
            best = d;
            bestScore = score;
        }
    }
    return best;
}

void MserSeries::Add(double value, SimTime at) {
    if (inBatch_ == 0)
        first_ = at;
    sum_ += value;
    if (++inBatch_ == kMserBatch) {
        means_.push_back(sum_ / kMserBatch);
        starts_.push_back(first_);
        sum_ = 0.0;
        inBatch_ = 0;
    }
}

SimTime MserSeries::CutTime() const {
    const size_t d = MserCut(means_);
    return d == 0 ? 0.0 : starts_[d];
}

}  // namespace marvolt
