#include "dsp/real_fft.h"

#include <cmath>
#include <utility>

namespace kelvoran {

namespace {

constexpr int kMaxBits = 24;

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// Joins the transforms of two halves (E at in, O at in + L, each of L points in the
// output layout) into one transform of 2L points. cosines[k] = cos(k * pi / L), k < L/2.
void combine(const float* in, float* out, int L, const float* cosines) {
    const float* E = in;
    const float* O = in + L;
    const int half = L / 2;
    out[0] = E[0] + O[0];
    out[L] = E[0] - O[0];
    out[half] = E[half];
    out[L + half] = -O[half];
    for (int k = 1; k < half; ++k) {
        const float c = cosines[k], s = cosines[half - k];
        const float er = E[k], ei = E[half + k];
        const float tr = c * O[k] + s * O[half + k];
        const float ti = c * O[half + k] - s * O[k];
        out[k] = er + tr;
        out[L + k] = ei + ti;
        out[L - k] = er - tr;
        out[2 * L - k] = ti - ei;
    }
}

}  // namespace

RealFFT::RealFFT(int n) {
    if (!isPowerOfTwo(n) || n > (1 << kMaxBits)) return;
    length = n;
    numBits = int(std::floor(std::log2(double(n)) + 0.5));
    bitReverse.resize(n);
    for (int i = 0; i < n; ++i) {
        int r = 0;
        for (int b = 0; b < numBits; ++b) r |= ((i >> b) & 1) << (numBits - 1 - b);
        bitReverse[i] = r;
    }
    if (numBits > 3) {
        cosTable.resize((1 << (numBits - 1)) - 4);
        for (int p = 2; p <= numBits - 2; ++p) {
            const int count = 1 << p;
            for (int i = 0; i < count; ++i)
                cosTable[count - 4 + i] = float(std::cos(i * M_PI / double(1 << (p + 1))));
        }
    }
    if (numBits > 2) buffer.resize(n);
}

// The first two passes at once: transforms of 4 points read through bitReverse.
void RealFFT::firstPasses(const float* x, float* out) {
    for (int i = 0; i < length; i += 4) {
        const float x0 = x[bitReverse[i]], x1 = x[bitReverse[i + 1]];
        const float x2 = x[bitReverse[i + 2]], x3 = x[bitReverse[i + 3]];
        out[i] = (x0 + x1) + (x2 + x3);
        out[i + 1] = x0 - x1;
        out[i + 2] = (x0 + x1) - (x2 + x3);
        out[i + 3] = x3 - x2;
    }
}

void RealFFT::thirdPass(const float* in, float* out) {
    const float cosines[2] = {1.0f, sqrtHalf};
    for (int b = 0; b < length; b += 8) combine(in + b, out + b, 4, cosines);
}

// Level p joins halves of 2^(p+1) points with the cosines of cosTable's level p.
void RealFFT::laterPass(int level, const float* in, float* out) {
    const int L = 1 << (level + 1);
    const float* cosines = cosTable.data() + (1 << level) - 4;
    for (int b = 0; b < length; b += 2 * L) combine(in + b, out + b, L, cosines);
}

void RealFFT::forward(const float* x, float* f) {
    if (length == 1) {
        f[0] = x[0];
        return;
    }
    if (length == 2) {
        f[0] = x[0] + x[1];
        f[1] = x[0] - x[1];
        return;
    }
    if (length == 4) {
        firstPasses(x, f);
        return;
    }
    if (length < 8) return;
    // k - 1 passes alternate between f and buffer, and the last one must write f.
    float* dst = (numBits % 2 == 0) ? f : buffer.data();
    float* src = (dst == f) ? buffer.data() : f;
    firstPasses(x, dst);
    std::swap(src, dst);
    thirdPass(src, dst);
    for (int p = 2; p <= numBits - 2; ++p) {
        std::swap(src, dst);
        laterPass(p, src, dst);
    }
}

}  // namespace kelvoran
