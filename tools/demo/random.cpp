#include "demo/random.h"

namespace tv::demo {
namespace {

std::uint64_t splitmix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

}  // namespace

Random::Random(std::uint64_t seed, std::uint64_t stream) {
    // The stream number is mixed in before seeding so that neighbouring streams start far
    // apart in the generator's sequence.
    std::uint64_t state = seed ^ (stream * 0xD1B54A32D192ED03ULL);
    for (std::uint64_t& word : s_) word = splitmix(state);
}

std::uint64_t Random::next() {
    const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = rotl(s_[3], 45);
    return result;
}

int Random::below(int n) {
    if (n <= 0) return 0;
    // Multiply-shift: no modulo bias worth speaking of for the small ranges used here.
    // The product of a 32-bit draw and n < 2^31 fits in 64 bits.
    return static_cast<int>(((next() >> 32) * static_cast<std::uint64_t>(n)) >> 32);
}

int Random::between(int low, int high) { return low + below(high - low + 1); }

double Random::unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

bool Random::chance(double probability) { return unit() < probability; }

int Random::weighted(std::initializer_list<int> weights) {
    return weighted(std::vector<int>(weights));
}

int Random::weighted(const std::vector<int>& weights) {
    int total = 0;
    for (int w : weights) total += w;
    int draw = below(total);
    for (size_t i = 0; i < weights.size(); ++i) {
        if (draw < weights[i]) return static_cast<int>(i);
        draw -= weights[i];
    }
    return static_cast<int>(weights.size()) - 1;
}

}  // namespace tv::demo
