// Built with AVX2, FMA and AVX-512 enabled: holds nothing but the loops that need them, so that
// no other code of the program is compiled for instructions the processor may lack.
#include <immintrin.h>
#include <sleef.h>

void vectorLogAvx2(const double *in, double *out, int n)
{
    int i = 0;
    for (; i + 4 <= n; i += 4)
        _mm256_storeu_pd(out + i, Sleef_logd4_u10avx2(_mm256_loadu_pd(in + i)));
    if (i < n) {
        // The last values padded to a full vector: the same routine as the rest.
        double pad[4] = {1.0, 1.0, 1.0, 1.0};
        for (int j = 0; i + j < n; ++j)
            pad[j] = in[i + j];
        double result[4];
        _mm256_storeu_pd(result, Sleef_logd4_u10avx2(_mm256_loadu_pd(pad)));
        for (int j = 0; i + j < n; ++j)
            out[i + j] = result[j];
    }
}

void vectorLogAvx512(const double *in, double *out, int n)
{
    int i = 0;
    for (; i + 8 <= n; i += 8)
        _mm512_storeu_pd(out + i, Sleef_logd8_u10avx512f(_mm512_loadu_pd(in + i)));
    if (i < n) {
        // The last values padded to a full vector: the same routine as the rest.
        double pad[8] = {1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0};
        for (int j = 0; i + j < n; ++j)
            pad[j] = in[i + j];
        double result[8];
        _mm512_storeu_pd(result, Sleef_logd8_u10avx512f(_mm512_loadu_pd(pad)));
        for (int j = 0; i + j < n; ++j)
            out[i + j] = result[j];
    }
}
