// The demo company's random numbers: a small generator of our own (xoshiro256**, seeded
// through splitmix64) with the few draws the generator needs. The standard library's
// distributions differ between implementations, so they would give another company on
// another compiler; these give the same numbers everywhere for the same seed.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tv::demo {

class Random {
public:
    // A stream for one purpose: the same (seed, stream) always gives the same numbers,
    // and streams of different numbers do not follow each other.
    explicit Random(std::uint64_t seed, std::uint64_t stream = 0);

    std::uint64_t next();
    // A whole number in [0, n); 0 when n is 0 or less.
    int below(int n);
    // A whole number in [low, high] (both included).
    int between(int low, int high);
    // A number in [0, 1).
    double unit();
    // True with the given probability (0..1).
    bool chance(double probability);

    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[static_cast<size_t>(below(static_cast<int>(items.size())))];
    }
    const QString& pick(const QStringList& items) { return items[below(int(items.size()))]; }
    // An index chosen with the given relative weights.
    int weighted(std::initializer_list<int> weights);
    int weighted(const std::vector<int>& weights);

private:
    std::uint64_t s_[4];
};

}  // namespace tv::demo
