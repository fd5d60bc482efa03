#include "vectorlog.h"

#include <cmath>

#if defined(__x86_64__) && defined(MARVOLENTI_SLEEF)
#include <emmintrin.h>
#include <sleef.h>

// In vectorlogavx2.cpp, built for AVX2 and AVX-512; called only where the processor has them.
void vectorLogAvx2(const double *in, double *out, int n);
void vectorLogAvx512(const double *in, double *out, int n);

namespace {

void vectorLogSse2(const double *in, double *out, int n)
{
    int i = 0;
    for (; i + 2 <= n; i += 2)
        _mm_storeu_pd(out + i, Sleef_logd2_u10sse2(_mm_loadu_pd(in + i)));
    if (i < n) {
        // The last value alone, padded: the same routine as the pairs.
        const double pad[2] = {in[i], 1.0};
        double result[2];
        _mm_storeu_pd(result, Sleef_logd2_u10sse2(_mm_loadu_pd(pad)));
        out[i] = result[0];
    }
}

using LogRoutine = void (*)(const double *, double *, int);

LogRoutine chosenRoutine()
{
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f"))
        return vectorLogAvx512;
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        return vectorLogAvx2;
    return vectorLogSse2;
}

} // namespace

void vectorLog(const double *in, double *out, int n)
{
    static const LogRoutine routine = chosenRoutine();
    routine(in, out, n);
}

#else

void vectorLog(const double *in, double *out, int n)
{
    for (int i = 0; i < n; ++i)
        out[i] = std::log(in[i]);
}

#endif
