// RealFFT: forward transform of a real sequence of 2^k points.
#pragma once
#include <vector>

namespace kelvoran {

class RealFFT {
   public:
    // n must be a power of two from 1 to 2^24; any other n gives an empty
    // transform (length 0) whose forward does nothing.
    explicit RealFFT(int n);

    // f[i] = real part of bin i for i = 0..N/2; f[N/2 + i] = imaginary part of bin i
    // for i = 1..N/2-1. x and f hold N floats each and must not overlap.
    void forward(const float* x, float* f);

    std::vector<int> bitReverse;
    std::vector<float> cosTable;  // level p (2..k-2): cos(i*pi/2^(p+1)), i < 2^p, from 2^p - 4
    float sqrtHalf = 0.70710677f;
    int length = 0;
    int numBits = 0;
    std::vector<float> buffer;  // work buffer, present when numBits > 2

   private:
    void firstPasses(const float* x, float* out);
    void thirdPass(const float* in, float* out);
    void laterPass(int level, const float* in, float* out);
};

}  // namespace kelvoran
