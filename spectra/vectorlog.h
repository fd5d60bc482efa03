#pragma once

// Natural logarithms of n doubles, eight, four or two at a time through SLEEF's vectorised log
// (within 1 ulp of the exact value). Every value goes through the same routine whatever its
// position and n, so a value gets the same logarithm alone or among many.
void vectorLog(const double *in, double *out, int n);
