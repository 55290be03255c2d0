#pragma once

#include <cmath>
#include <cstdint>

namespace vane::examples {

// A small generator with a fixed algorithm, unlike the standard distributions, whose results
// differ between library versions.
class SplitMix64 {
  public:
    explicit SplitMix64(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    // Approximately normal: the sum of four uniforms, scaled.
    double normal(double mean, double spread) {
        const double sum = uniform() + uniform() + uniform() + uniform();
        return mean + spread * (sum - 2.0) * std::sqrt(3.0);
    }

  private:
    std::uint64_t state_;
};

}  // namespace vane::examples
