#pragma once

#include <QString>

// One element of the periodic table as the analysis knows it.
struct ElementEntry
{
    int z;
    const char *symbol;
    double weight; // g/mol, 0 where none is given
};

// The elements indexed by atomic number: 0 is a blank placeholder, 1 .. 109 are H .. Mt and
// 110 is deuterium.
constexpr int ElementCount = 111;
extern const ElementEntry ElementTable[ElementCount];

// Names of the absorption edges, indexed by the edge index used throughout the analysis.
constexpr int EdgeCount = 4;
extern const char *const EdgeNames[EdgeCount];

// Atomic number of a chemical symbol (exact, case-sensitive), or -1 when none matches.
int atomicNumberOf(const QString &symbol);
// Edge index of an edge name: K 0, L1/LI 1, L2/LII 2, L3/LIII 3; any other name means K.
int edgeIndexOf(const QString &name);
