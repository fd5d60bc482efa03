#pragma once

// Natural logarithms of n doubles, eight, four or two at a time through SLEEF's faster
// vectorised log (within 3.5 ulp of the exact value: some fifteen digits, far more than any
// file or display carries). Every value goes through the same routine whatever its
// position and n, so a value gets the same logarithm alone or among many.
void vectorLog(const double *in, double *out, int n);
