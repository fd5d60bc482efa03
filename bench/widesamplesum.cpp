#include "widesamplesum.h"

#include "spectra/vectorclones.h"

MARVOLENTI_VECTOR_CLONES
quint64 wideSampleSum(const quint16 *samples, qsizetype n)
{
    quint64 sum = 0;
    for (qsizetype i = 0; i < n; ++i)
        sum += samples[i];
    return sum;
}
