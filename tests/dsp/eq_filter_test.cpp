#include "dsp/eq_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <memory>

#include "dsp/eq_response.h"

namespace kelvoran {
namespace {

constexpr float kRate = 44100.0f;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// |H| of the filter's coefficients at a frequency, evaluated in double.
double magnitudeAt(const EQfilter& f, double hz, double rate = kRate) {
    const std::complex<double> z1 = std::polar(1.0, -2.0 * M_PI * hz / rate);
    const std::complex<double> z2 = z1 * z1;
    return std::abs((double(f.b0) + double(f.b1) * z1 + double(f.b2) * z2) /
                    (1.0 + double(f.a1) * z1 + double(f.a2) * z2));
}

int binOf(double hz) { return int(std::lround(hz * kEqResponseLength / kRate)); }

struct Band {
    int type;
    float gain, frequency, width;
};

struct EqResponseTest : ::testing::Test {
    std::unique_ptr<EQResponse> response = std::make_unique<EQResponse>();
    std::unique_ptr<EQfilter> f[4];
    void chain(const Band (&bands)[4], bool bandwidthMode = true) {
        for (int i = 0; i < 4; ++i)
            f[i] = std::make_unique<EQfilter>(bands[i].type, bands[i].gain, bands[i].frequency, kRate,
                                              bands[i].width, bandwidthMode);
        response->compute(f[0].get(), f[1].get(), f[2].get(), f[3].get());
    }
    double chainMagnitude(double hz) const {
        double m = 1;
        for (const auto& band : f) m *= magnitudeAt(*band, hz);
        return m;
    }
};

// ---- coefficient designs ----

TEST(EQfilterTest, EveryTypeHasItsShapeAtDcCentreAndNyquist) {
    const float A2 = std::pow(10.0f, 0.1f * 12.0f);  // gain 12 reaches 24 dB
    struct Case { int type; float gain; double dc, centre, nyquist; } cases[] = {
        {kEqLowPass, 0, 1, -1, 0},         {kEqHighPass, 0, 0, -1, 1},
        {kEqBandPass, 0, 0, 1, 0},         {kEqNotch, 0, 1, 0, 1},
        {kEqPeaking, 12, 1, A2, 1},        {kEqPeaking, -12, 1, 1 / A2, 1},
        {kEqLowShelf, 12, A2, -1, 1},      {kEqLowShelf, -12, 1 / A2, -1, 1},
        {kEqHighShelf, 12, 1, -1, A2},     {kEqHighShelf, -12, 1, -1, 1 / A2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " gain " << c.gain);
        EQfilter f(c.type, c.gain, 2000.0f, kRate, 1.0f, true);
        EXPECT_NEAR(magnitudeAt(f, 0), c.dc, 1e-3 * std::max(1.0, c.dc));
        EXPECT_NEAR(magnitudeAt(f, kRate / 2), c.nyquist, 1e-3 * std::max(1.0, c.nyquist));
        if (c.centre >= 0) {
            EXPECT_NEAR(magnitudeAt(f, 2000.0), c.centre, 1e-3 * std::max(1.0, c.centre));
        }
    }
}

TEST(EQfilterTest, PeakAtFifteenIsThirtyDecibelsAtItsCentre) {
    EQfilter f(kEqPeaking, 15.0f, 1000.0f, kRate, 1.0f, true);
    EXPECT_NEAR(magnitudeAt(f, 1000.0), 31.62, 0.05);
}

TEST(EQfilterTest, BandwidthModeWidthIsOctavesBetweenTheHalfPowerPoints) {
    for (float octaves : {0.5f, 1.0f, 2.0f}) {
        EQfilter f(kEqBandPass, 0.0f, 1000.0f, kRate, octaves, true);
        const double edge = std::pow(2.0, octaves / 2.0);
        EXPECT_NEAR(magnitudeAt(f, 1000.0 / edge), std::sqrt(0.5), 5e-3) << octaves;
        EXPECT_NEAR(magnitudeAt(f, 1000.0 * edge), std::sqrt(0.5), 5e-3) << octaves;
    }
}

TEST(EQfilterTest, QModeWidthIsTheQualityFactor) {
    for (float q : {0.7f, 2.0f, 4.0f}) {
        EQfilter f(kEqBandPass, 0.0f, 1000.0f, kRate, q, false);
        // analogue half-power points; at 1 kHz the digital ones are within a fraction of this
        const double half = 1.0 / (2.0 * q);
        const double lo = 1000.0 * (std::sqrt(1.0 + half * half) - half);
        const double hi = 1000.0 * (std::sqrt(1.0 + half * half) + half);
        EXPECT_NEAR(magnitudeAt(f, lo), std::sqrt(0.5), 1e-2) << q;
        EXPECT_NEAR(magnitudeAt(f, hi), std::sqrt(0.5), 1e-2) << q;
    }
}

TEST(EQfilterTest, ShelfWidthZeroStaysFinite) {
    for (int type : {kEqLowShelf, kEqHighShelf}) {
        EQfilter f(type, 10.0f, 1000.0f, kRate, 0.0f, true);
        float peak = 0;
        for (int n = 0; n < 20000; ++n) peak = std::max(peak, std::fabs(f.process(n % 100 == 0 ? 1.0f : 0.0f)));
        EXPECT_TRUE(std::isfinite(peak)) << type;
        EXPECT_LT(peak, 100.0f) << type;
    }
}

TEST(EQfilterTest, UnusableDesignsAreRefusedAndKeepTheCoefficients) {
    struct Case { int type; float gain, frequency, rate, width; } cases[] = {
        {kEqPeaking, 6, 1000, 0, 1},      {kEqPeaking, 6, 1000, -1, 1},
        {kEqPeaking, 6, 1000, kNaN, 1},   {kEqPeaking, kNaN, 1000, kRate, 1},
        {kEqPeaking, 6, kNaN, kRate, 1},  {kEqPeaking, 6, 1000, kRate, kNaN},
        {kEqLowShelf, 6, 0, kRate, 1},    {7, 6, 1000, kRate, 1},
        {-1, 6, 1000, kRate, 1},          {kEqLowPass, 0, 1000, kRate, -1},
        {kEqPeaking, 6, 22050, kRate, 1}, {kEqPeaking, 6, 30000, kRate, 1},
        {kEqPeaking, 6, -100, kRate, 1},  {kEqPeaking, 1e6f, 1000, kRate, 1},
        {kEqPeaking, -1e6f, 1000, kRate, 1}, {kEqHighShelf, 6, 1000, kRate, -1e-9f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << c.gain << " " << c.frequency << " " << c.rate << " " << c.width);
        EQfilter f(kEqPeaking, 3.0f, 500.0f, kRate, 1.0f, true);
        const float before[5] = {f.b0, f.b1, f.b2, f.a1, f.a2};
        EXPECT_FALSE(f.setup(c.type, c.gain, c.frequency, c.rate, c.width, true));
        const float after[5] = {f.b0, f.b1, f.b2, f.a1, f.a2};
        for (int i = 0; i < 5; ++i) EXPECT_EQ(after[i], before[i]) << i;
    }
    // a filter constructed from an unusable design passes its input through
    EQfilter f(kEqPeaking, 6.0f, 1000.0f, 0.0f, 1.0f, true);
    EXPECT_EQ(f.process(0.25f), 0.25f);
    // a Q of 0 is refused, a bandwidth of 0 octaves is not a division by zero
    EXPECT_FALSE(f.setup(kEqPeaking, 6.0f, 1000.0f, kRate, 0.0f, false));
    EXPECT_TRUE(f.setup(kEqLowShelf, 6.0f, 1000.0f, kRate, 0.0f, true));
}

TEST(EQfilterTest, SetupKeepsTheStateAndClearStateKeepsTheCoefficients) {
    EQfilter f(kEqPeaking, 6.0f, 1000.0f, kRate, 1.0f, true);
    for (int n = 0; n < 10; ++n) f.process(float(n));
    const float x1 = f.x1, y1 = f.y1;
    ASSERT_TRUE(f.setup(kEqLowShelf, -3.0f, 200.0f, kRate, 0.5f, true));
    EXPECT_EQ(f.x1, x1);
    EXPECT_EQ(f.y1, y1);
    const float b0 = f.b0;
    f.clearState();
    EXPECT_EQ(f.x1, 0.0f);
    EXPECT_EQ(f.x2, 0.0f);
    EXPECT_EQ(f.y1, 0.0f);
    EXPECT_EQ(f.y2, 0.0f);
    EXPECT_EQ(f.b0, b0);
}

TEST(EQfilterTest, ProcessIsTheDirectFormRecursion) {
    EQfilter f(kEqPeaking, 9.0f, 3000.0f, kRate, 0.7f, true);
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (int n = 0; n < 200; ++n) {
        const float x = std::sin(0.05f * n) + (n == 3 ? 1.0f : 0.0f);
        const double out = f.b0 * x + f.b1 * x1 + f.b2 * x2 - f.a1 * y1 - f.a2 * y2;
        ASSERT_NEAR(f.process(x), out, 1e-5) << n;
        x2 = x1, x1 = x, y2 = y1, y1 = out;
    }
}

// ---- response curve ----

TEST_F(EqResponseTest, AllGainsZeroIsFlat) {
    chain({{kEqLowShelf, 0, 200, 0.6f}, {kEqPeaking, 0, 1000, 1.0f}, {kEqPeaking, 0, 2500, 5.0f},
           {kEqHighShelf, 0, 8000, 0.2f}});
    for (int k = 0; k <= 4096; ++k) ASSERT_NEAR(response->spectrum[k], 0.0f, 1e-4f) << k;
    for (const auto& band : f) EXPECT_NEAR(band->process(0.5f), 0.5f, 1e-6f);
}

TEST_F(EqResponseTest, PeakAtFifteenShowsAboutTwoAndAQuarterNearItsCentre) {
    chain({{kEqLowShelf, 0, 200, 0.6f}, {kEqPeaking, 15, 1000, 1.0f}, {kEqPeaking, 0, 2500, 1.0f},
           {kEqHighShelf, 0, 8000, 0.6f}});
    EXPECT_NEAR(response->spectrum[binOf(1000)], 2.25f, 0.01f);
    EXPECT_NEAR(response->spectrum[0], 0.0f, 1e-3f);
    EXPECT_NEAR(response->spectrum[4096], 0.0f, 1e-3f);
}

TEST_F(EqResponseTest, LowShelfAtMinusFifteenShowsMinusTwoAndAQuarterAtDc) {
    chain({{kEqLowShelf, -15, 300, 0.6f}, {kEqPeaking, 0, 1000, 1.0f}, {kEqPeaking, 0, 2500, 1.0f},
           {kEqHighShelf, 0, 8000, 0.6f}});
    EXPECT_NEAR(response->spectrum[0], -2.25f, 0.01f);
    EXPECT_NEAR(response->spectrum[4096], 0.0f, 1e-3f);
}

TEST_F(EqResponseTest, EveryBinIsOneAndAHalfTimesTheLogMagnitude) {
    chain({{kEqLowShelf, 6, 150, 0.5f}, {kEqPeaking, -9, 700, 0.8f}, {kEqPeaking, 12, 4000, 2.0f},
           {kEqHighShelf, -6, 9000, 0.4f}});
    for (int k = 0; k <= 4096; ++k) {
        const double expected = 1.5 * std::log10(chainMagnitude(k * kRate / kEqResponseLength));
        ASSERT_NEAR(response->spectrum[k], expected, 2e-3) << k;
    }
}

TEST_F(EqResponseTest, ComputeStartsFromAClearedStateEachTime) {
    chain({{kEqLowShelf, 6, 150, 0.5f}, {kEqPeaking, -9, 700, 0.8f}, {kEqPeaking, 12, 4000, 2.0f},
           {kEqHighShelf, -6, 9000, 0.4f}});
    std::vector<float> first(response->spectrum, response->spectrum + 4097);
    for (int n = 0; n < 100; ++n) f[2]->process(1.0f);
    response->compute(f[0].get(), f[1].get(), f[2].get(), f[3].get());
    EXPECT_EQ(std::vector<float>(response->spectrum, response->spectrum + 4097), first);
}

TEST_F(EqResponseTest, NullFiltersAreSkippedAndZerosOfTheResponseStayFinite) {
    response->compute(nullptr, nullptr, nullptr, nullptr);
    for (int k = 0; k <= 4096; ++k) ASSERT_EQ(response->spectrum[k], 0.0f) << k;

    // a notch centred on a bin has no energy there
    EQfilter notch(kEqNotch, 0.0f, 1024 * kRate / kEqResponseLength, kRate, 1.0f, true);
    response->compute(&notch, nullptr, nullptr, nullptr);
    for (int k = 0; k <= 4096; ++k) ASSERT_TRUE(std::isfinite(response->spectrum[k])) << k;
    EXPECT_LT(response->spectrum[1024], -4.0f);
    EXPECT_GE(response->spectrum[1024], 1.5f * std::log10(kEqResponseFloor));
}

}  // namespace
}  // namespace kelvoran
