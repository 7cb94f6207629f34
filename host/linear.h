// Temperatures from thermocouple voltages and resistance-thermometer
// resistances, interpolated in tables built from the reference functions:
// one table per sensor, a point every 5 °C, built on first use from the
// host's memory and released at unload.
#ifndef TELVIO_HOST_LINEAR_H
#define TELVIO_HOST_LINEAR_H

#define LINEAR_SENSORS 9

// The sensors, by table index. Thermocouple values are in µV with the
// reference junction at 0 °C, resistances in Ω.
enum LinearSensor {
    LINEAR_TYPE_R = 0,
    LINEAR_TYPE_S = 1,
    LINEAR_TYPE_B = 2,
    LINEAR_TYPE_J = 3,
    LINEAR_TYPE_T = 4,
    LINEAR_TYPE_E = 5,
    LINEAR_TYPE_K = 6,
    LINEAR_PT100 = 7,
    LINEAR_NI100 = 8,
};

// The temperature (°C) of a sensor value, by straight-line interpolation
// between the neighbouring points of the sensor's table, which is built first
// when needed. A value at or below the table's first value gives its first
// temperature, one at or above its last value its last temperature. 0 for an
// index outside 0..8 or a table that cannot be built.
//
// A table holds only the part of its grid over which the values ascend: type
// B, whose voltage falls from 0 °C to its minimum at about 20 °C, starts
// there, so a voltage below that minimum gives about 20 °C.
double LinearLookup(int sensor, double value);

// Builds a sensor's table: 0 for an index outside 0..8 or a table already
// built, and when the host has no memory for it; else 1. A grid that does not
// yield the table's point count is reported as an internal error and the
// points it did yield are kept; nothing is written past the count.
int LinearBuild(int sensor);

// Releases every table; the next lookup builds again.
void LinearFreeAll();

// ---- The reference functions, as the tables are built from them ----

// Extra terms of a piece beyond its polynomial.
enum LinearExtra {
    LINEAR_EXTRA_NONE = 0,
    // 125 exp(-(t - 127)^2 / 2 / 4225) µV of type K above 0 °C.
    LINEAR_EXTRA_K_MAGNETIC = 1,
};

// One piece of a reference function: the grid temperatures it covers and its
// polynomial in t (°C).
struct LinearPiece {
    int first; // °C, on the 5 °C grid
    int last;
    const double* coefficients; // c[0] .. c[degree]
    int degree;
    int extra; // LinearExtra
};

struct LinearSensorTable {
    const char* countError; // the internal error of a grid that yields another count
    int points;
    int pieceCount;
    const LinearPiece* pieces;
};

// The descriptor of a sensor, or 0 for an index outside 0..8.
const LinearSensorTable* LinearSensorDescriptor(int sensor);

// The reference function of a piece at t.
double LinearReferenceValue(const LinearPiece* piece, double t);

// Fills values and temperatures along the grid of the pieces, ascending, at
// most `capacity` points. The number of points the grid yields, which may be
// more.
int LinearFillGrid(const LinearSensorTable* table, float* values, float* temperatures,
                   int capacity);

#endif
