#include "dsp/real_fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/random.h"

namespace kelvoran {
namespace {

std::vector<float> randomSignal(int n, uint32_t seed) {
    seedRandom(seed);
    std::vector<float> x(n);
    for (auto& v : x) v = float(drawRandom()) / 16384.0f - 1.0f;
    return x;
}

// Bin k of sum x[n] e^(-2 pi i k n / N), in double.
void naiveBin(const std::vector<float>& x, int k, double& re, double& im) {
    const int n = int(x.size());
    re = im = 0;
    for (int j = 0; j < n; ++j) {
        const double phase = 2.0 * M_PI * double((long long)k * j % n) / n;
        re += x[j] * std::cos(phase);
        im -= x[j] * std::sin(phase);
    }
}

TEST(RealFFTTest, MatchesANaiveTransformInTheHalfComplexLayout) {
    for (int n : {1, 2, 4, 8, 16, 32, 64, 128, 1024, 8192}) {
        SCOPED_TRACE(n);
        RealFFT fft(n);
        ASSERT_EQ(fft.length, n);
        const auto x = randomSignal(n, 1000 + n);
        std::vector<float> f(n, -99.0f);
        fft.forward(x.data(), f.data());
        const double tolerance = 2e-7 * std::sqrt(double(n)) * (1 + fft.numBits);
        for (int k = 0; k <= n / 2; ++k) {
            double re, im;
            naiveBin(x, k, re, im);
            ASSERT_NEAR(f[k], re, tolerance) << "re " << k;
            if (k > 0 && k < n / 2) {
                ASSERT_NEAR(f[n / 2 + k], im, tolerance) << "im " << k;
            }
        }
    }
}

TEST(RealFFTTest, TablesFollowTheLength) {
    struct Case { int n, bits, cosines, buffer; } cases[] = {
        {1, 0, 0, 0}, {4, 2, 0, 0}, {8, 3, 0, 8}, {16, 4, 4, 16}, {64, 6, 28, 64}, {8192, 13, 4092, 8192}};
    for (const auto& c : cases) {
        RealFFT fft(c.n);
        EXPECT_EQ(fft.numBits, c.bits) << c.n;
        EXPECT_EQ(int(fft.cosTable.size()), c.cosines) << c.n;
        EXPECT_EQ(int(fft.buffer.size()), c.buffer) << c.n;
        EXPECT_EQ(int(fft.bitReverse.size()), c.n) << c.n;
    }
    RealFFT fft(64);
    RealFFT eight(8);
    EXPECT_EQ(eight.bitReverse, (std::vector<int>{0, 4, 2, 6, 1, 5, 3, 7}));
    // level 2 (cos of i pi/8) from index 0, level 3 (cos of i pi/16) from index 4, ...
    const float level2[4] = {1.0f, 0.92387953f, 0.70710678f, 0.38268343f};
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(fft.cosTable[i], level2[i]) << i;
    EXPECT_FLOAT_EQ(fft.cosTable[4], 1.0f);
    EXPECT_FLOAT_EQ(fft.cosTable[4 + 4], 0.70710678f);   // cos(4 pi/16)
    EXPECT_FLOAT_EQ(fft.cosTable[12 + 8], 0.70710678f);  // level 4: cos(8 pi/32)
    EXPECT_FLOAT_EQ(fft.sqrtHalf, 0.70710677f);
}

TEST(RealFFTTest, LengthsThatAreNotPowersOfTwoGiveAnEmptyTransform) {
    for (int n : {0, -8, 3, 6, 12, 1000, (1 << 24) + 1, 1 << 25}) {
        RealFFT fft(n);
        EXPECT_EQ(fft.length, 0) << n;
        float x[16] = {1, 2, 3}, f[16] = {};
        fft.forward(x, f);
        for (float v : f) EXPECT_EQ(v, 0.0f) << n;
    }
}

}  // namespace
}  // namespace kelvoran
