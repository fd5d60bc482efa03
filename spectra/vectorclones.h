#pragma once

// Marks a loop function that runs over every value of an area analysis: it is built for the
// widest vectors the processor may have (AVX-512, AVX2, plain SSE2), and the copy for the
// processor in hand is chosen when the program starts. Such loops add, multiply, divide,
// convert and compare each value on its own, and the files that hold them are built without
// fused multiply-adds, so every copy gives the same numbers.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define MARVOLENTI_VECTOR_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define MARVOLENTI_VECTOR_CLONES
#endif
