#pragma once

#include <QtGlobal>

#include <cstdint>
#include <span>

namespace plw::sample {

// A small deterministic random source (xoshiro256**, seeded through splitmix64).
//
// Only integer arithmetic is used, so a seed gives the same sequence on every compiler and
// library; the standard distributions do not promise that. Each customer draws from a stream of
// its own (seed, customer index), so a customer's data does not depend on how many come before.
class SampleRandom {
public:
    explicit SampleRandom(std::uint64_t seed, std::uint64_t stream = 0) {
        std::uint64_t x = seed ^ (stream * 0xD1B54A32D192ED03ULL);
        for (std::uint64_t& word : mState)
            word = splitMix(x);
    }

    std::uint64_t next() {
        const std::uint64_t result = rotl(mState[1] * 5, 7) * 9;
        const std::uint64_t t = mState[1] << 17;
        mState[2] ^= mState[0];
        mState[3] ^= mState[1];
        mState[1] ^= mState[2];
        mState[0] ^= mState[3];
        mState[2] ^= t;
        mState[3] = rotl(mState[3], 45);
        return result;
    }

    // A whole number in [0, n); n must be positive. Lemire's multiply-shift with rejection.
    std::uint32_t below(std::uint32_t n) {
        std::uint64_t m = (next() >> 32) * n;
        auto low = static_cast<std::uint32_t>(m);
        if (low < n) {
            const std::uint32_t threshold = static_cast<std::uint32_t>(-n) % n;
            while (low < threshold) {
                m = (next() >> 32) * n;
                low = static_cast<std::uint32_t>(m);
            }
        }
        return static_cast<std::uint32_t>(m >> 32);
    }

    // A whole number in [low, high].
    int between(int low, int high) {
        return low + static_cast<int>(below(static_cast<std::uint32_t>(high - low + 1)));
    }

    // True with a probability of perMille / 1000.
    bool chance(int perMille) { return static_cast<int>(below(1000)) < perMille; }

    // An index chosen with the given weights (which must not all be zero).
    int weighted(std::span<const int> weights) {
        int total = 0;
        for (int w : weights)
            total += w;
        int r = static_cast<int>(below(static_cast<std::uint32_t>(total)));
        for (int i = 0; i < static_cast<int>(weights.size()); ++i) {
            if (r < weights[i])
                return i;
            r -= weights[i];
        }
        return static_cast<int>(weights.size()) - 1;
    }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    static std::uint64_t splitMix(std::uint64_t& x) {
        std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    std::uint64_t mState[4];
};

} // namespace plw::sample
