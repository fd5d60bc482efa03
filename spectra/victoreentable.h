#pragma once

#include <QString>

// One row of the absorption-edge table: the edge energies of an element (keV: K, LI, LII,
// LIII, M1) and the Victoreen coefficients of the energy regions above each edge.
struct VictoreenRow
{
    int z = 0;
    double edge[5] = {};
    double c[5] = {};
    double d[5] = {};
};

// The absorption-edge table, indexed by atomic number once read from ":Victoreen1.txt".
struct VictoreenTable
{
    static constexpr int MaxRows = 100;
    VictoreenRow rows[MaxRows];
    int rowCount = 0;
};

// The process-wide table, filled by readVictoreenTable().
const VictoreenTable &victoreenTable();
// Empties the table and fills it from the resource ":Victoreen1.txt" (or another file of the
// same layout); called once at start-up.
void readVictoreenTable(const QString &path = QStringLiteral(":Victoreen1.txt"));
// Edge energy in eV of edge index edge (0 K .. 3 LIII, 4 M1) of element z; 0 outside the table.
double edgeEnergyEV(int z, int edge);
// x when positive, else 0.
double clampNonNegative(double x);
