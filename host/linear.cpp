// The linearisation tables of the thermocouple and resistance-thermometer
// types, built from the reference functions.
#include "host/linear.h"
#include "host/host.h"
#include "host/rounding.h"

#include <math.h>
#include <string.h>

namespace {

const char kSource[] = "linear";
const int kStep = 5; // °C between grid points
// Neighbours closer than this are one point: the higher temperature answers.
const double kSmallestSpacing = 2.220446e-16;

// ---- Thermocouples: the IPTS-68 reference polynomials, E in µV, t in °C,
// reference junction at 0 °C, as tabulated in NBS Monograph 125 (1974),
// "Thermocouple reference tables based on the IPTS-68" (type S p. 17, type R
// p. 34, type B p. 51, type E p. 93, type J p. 107, type T p. 183, and type
// K). The same polynomials in mV are in BIPM, "Techniques for approximating
// the International Temperature Scale of 1990", Appendix F. ----

// Types R and S: -50 to 630.74 °C, 630.74 to 1064.43 °C, 1064.43 to 1665 °C,
// 1665 to 1767.6 °C.
const double kTypeR1[] = {0.0,
                          5.2891395059,
                          1.3911109947e-2,
                          -2.4005238430e-5,
                          3.6201410595e-8,
                          -4.4645019036e-11,
                          3.8497691865e-14,
                          -1.5372641559e-17};
const double kTypeR2[] = {-2.6418007025e2, 8.0468680747, 2.9892293723e-3, -2.6876058617e-7};
const double kTypeR3[] = {1.4901702702e3, 2.8639867552, 8.0823631189e-3, -1.9338477638e-6};
const double kTypeR4[] = {9.544555991e4, -1.6642500359e2, 1.0975743239e-1, -2.228921698e-5};

const double kTypeS1[] = {0.0,
                          5.3995782346,
                          1.251977e-2,
                          -2.2448217997e-5,
                          2.8452164949e-8,
                          -2.2440584544e-11,
                          8.5054166936e-15};
const double kTypeS2[] = {-2.9824481615e2, 8.2375528221, 1.6453909942e-3};
const double kTypeS3[] = {1.2766292175e3, 3.4970908041, 6.3824648666e-3, -1.5722424599e-6};
const double kTypeS4[] = {9.7846655361e4, -1.7050295632e2, 1.1088699768e-1, -2.2494070849e-5};

// Type B: 0 to 1820 °C.
const double kTypeB[] = {0.0,
                         -2.467460162e-1,
                         5.9102111169e-3,
                         -1.430712343e-6,
                         2.150914975e-9,
                         -3.175780072e-12,
                         2.4010367459e-15,
                         -9.0928148159e-19,
                         1.3299505137e-22};

// Type J: -210 to 760 °C, 760 to 1200 °C.
const double kTypeJ1[] = {0.0,
                          5.0372753027e1,
                          3.0425491284e-2,
                          -8.5669750464e-5,
                          1.3348825735e-7,
                          -1.7022405966e-10,
                          1.9416091001e-13,
                          -9.6391844859e-17};
const double kTypeJ2[] = {2.9721751778e5,   -1.5059632873e3, 3.2051064215,
                          -3.2210174230e-3, 1.5949968788e-6, -3.1239801752e-10};

// Type T: -270 to 0 °C, 0 to 400 °C.
const double kTypeT1[] = {0.0,
                          3.8740773840e1,
                          4.4123932482e-2,
                          1.1405238498e-4,
                          1.9974406568e-5,
                          9.0445401187e-7,
                          2.2766018504e-8,
                          3.6247409380e-10,
                          3.8648924201e-12,
                          2.8298678519e-14,
                          1.4281383349e-16,
                          4.8833254364e-19,
                          1.0803474683e-21,
                          1.3949291026e-24,
                          7.9795893156e-28};
const double kTypeT2[] = {0.0,
                          3.8740773840e1,
                          3.3190198092e-2,
                          2.0714183645e-4,
                          -2.1945834823e-6,
                          1.1031900550e-8,
                          -3.0927581898e-11,
                          4.5653337165e-14,
                          -2.7616878040e-17};

// Type E: -270 to 0 °C, 0 to 1000 °C.
const double kTypeE1[] = {0.0,
                          5.8695857799e1,
                          5.1667517705e-2,
                          -4.4652683347e-4,
                          -1.7346270905e-5,
                          -4.8719368427e-7,
                          -8.8896550447e-9,
                          -1.0930767375e-10,
                          -9.1784535039e-13,
                          -5.2575158521e-15,
                          -2.0169601996e-17,
                          -4.9502138782e-20,
                          -7.0177980633e-23,
                          -4.3671808488e-26};
const double kTypeE2[] = {0.0,
                          5.8695857799e1,
                          4.3110945462e-2,
                          5.7220358202e-5,
                          -5.4020668085e-7,
                          1.5425922111e-9,
                          -2.4850089136e-12,
                          2.3389721459e-15,
                          -1.1946296815e-18,
                          2.5561127497e-22};

// Type K: -270 to 0 °C, 0 to 1372 °C (plus the magnetic term).
const double kTypeK1[] = {0.0,
                          3.9475433139e1,
                          2.7465251138e-2,
                          -1.6565406716e-4,
                          -1.5190912392e-6,
                          -2.4581670924e-8,
                          -2.4757917816e-10,
                          -1.5585276173e-12,
                          -5.9729921255e-15,
                          -1.2688801216e-17,
                          -1.1382797374e-20};
const double kTypeK2[] = {-1.8533063273e1,  3.8918344612e1,    1.6645154356e-2,
                          -7.8702374448e-5, 2.2835785557e-7,   -3.5700231258e-10,
                          2.9932909136e-13, -1.2849848798e-16, 2.2239974336e-20};

// ---- Pt100: the Callendar-Van Dusen equation of IEC 751 (1983) / DIN 43760
// (IPTS-68), R = R0 (1 + A t + B t^2 + C (t - 100) t^3) below 0 °C and
// R0 (1 + A t + B t^2) above, with R0 = 100 Ω, A = 3.90802e-3,
// B = -5.802e-7, C = -4.2735e-12. ----
constexpr double kR0 = 100.0;
constexpr double kA = 3.90802e-3;
constexpr double kB = -5.802e-7;
constexpr double kC = -4.2735e-12;
const double kPt100Below[] = {kR0, kR0* kA, kR0* kB, -100.0 * kR0* kC, kR0* kC};
const double kPt100Above[] = {kR0, kR0* kA, kR0* kB};

// ---- Ni100 (DIN 43760): R = 100 + 0.5485 t + 6.65e-4 t^2 + 2.805e-9 t^4
// - 2e-15 t^6 Ω. ----
const double kNi100[] = {100.0, 0.5485, 6.65e-4, 0.0, 2.805e-9, 0.0, -2e-15};

#define DEGREE(c) static_cast<int>(sizeof(c) / sizeof(c[0])) - 1
#define PIECE(first, last, c)                                                                      \
    { first, last, c, DEGREE(c), LINEAR_EXTRA_NONE }
#define COUNT(p) static_cast<int>(sizeof(p) / sizeof(p[0]))

const LinearPiece kPiecesR[] = {PIECE(-50, 630, kTypeR1), PIECE(635, 1060, kTypeR2),
                                PIECE(1065, 1660, kTypeR3), PIECE(1665, 1765, kTypeR4)};
const LinearPiece kPiecesS[] = {PIECE(-50, 630, kTypeS1), PIECE(635, 1060, kTypeS2),
                                PIECE(1065, 1660, kTypeS3), PIECE(1665, 1765, kTypeS4)};
const LinearPiece kPiecesB[] = {PIECE(0, 1820, kTypeB)};
const LinearPiece kPiecesJ[] = {PIECE(-210, 760, kTypeJ1), PIECE(765, 1200, kTypeJ2)};
const LinearPiece kPiecesT[] = {PIECE(-270, 0, kTypeT1), PIECE(5, 400, kTypeT2)};
const LinearPiece kPiecesE[] = {PIECE(-270, 0, kTypeE1), PIECE(5, 1000, kTypeE2)};
const LinearPiece kPiecesK[] = {PIECE(-270, 0, kTypeK1),
                                {5, 1370, kTypeK2, DEGREE(kTypeK2), LINEAR_EXTRA_K_MAGNETIC}};
const LinearPiece kPiecesPt100[] = {PIECE(-200, 0, kPt100Below), PIECE(5, 850, kPt100Above)};
const LinearPiece kPiecesNi100[] = {PIECE(-60, 250, kNi100)};

const LinearSensorTable kSensors[LINEAR_SENSORS] = {
    {"Counting Error-R Typ", 364, COUNT(kPiecesR), kPiecesR},
    {"Counting Error S-Typ", 364, COUNT(kPiecesS), kPiecesS},
    {"Counting Error B-Typ", 365, COUNT(kPiecesB), kPiecesB},
    {"Counting Error J-Typ", 283, COUNT(kPiecesJ), kPiecesJ},
    {"Counting Error T-Typ", 135, COUNT(kPiecesT), kPiecesT},
    {"Counting Error E-Typ", 255, COUNT(kPiecesE), kPiecesE},
    {"Counting Error K-Typ", 329, COUNT(kPiecesK), kPiecesK},
    {"Counting Error Pt100-Typ", 211, COUNT(kPiecesPt100), kPiecesPt100},
    {"Counting Error Ni100-Typ", 63, COUNT(kPiecesNi100), kPiecesNi100},
};

// A built table: the arrays from the host, the points written, and the first
// point of the part whose values ascend to the end.
struct Table {
    float* values;
    float* temperatures;
    int count;
    int first;
    int built;
};
Table tables[LINEAR_SENSORS];

void Release(Table* t) {
    if (t->values) NewDoMemFree(t->values, kSource, __LINE__);
    if (t->temperatures) NewDoMemFree(t->temperatures, kSource, __LINE__);
    memset(t, 0, sizeof *t);
}

} // namespace

const LinearSensorTable* LinearSensorDescriptor(int sensor) {
    return sensor >= 0 && sensor < LINEAR_SENSORS ? &kSensors[sensor] : nullptr;
}

double LinearReferenceValue(const LinearPiece* piece, double t) {
    double v = Polynomial(piece->coefficients, piece->degree, t);
    if (piece->extra == LINEAR_EXTRA_K_MAGNETIC)
        v += 125.0 * exp(-(t - 127.0) * (t - 127.0) / 2.0 / 4225.0);
    return v;
}

int LinearFillGrid(const LinearSensorTable* table, float* values, float* temperatures,
                   int capacity) {
    int produced = 0;
    for (int p = 0; p < table->pieceCount; p++) {
        const LinearPiece* piece = &table->pieces[p];
        for (int t = piece->first; t <= piece->last; t += kStep) {
            if (produced < capacity) {
                values[produced] = static_cast<float>(LinearReferenceValue(piece, t));
                temperatures[produced] = static_cast<float>(t);
            }
            produced++;
        }
    }
    return produced;
}

int LinearBuild(int sensor) {
    const LinearSensorTable* descriptor = LinearSensorDescriptor(sensor);
    if (descriptor == nullptr || tables[sensor].built) return 0;
    if (HostFunctions[HF_NewMemAlloc] == 0) return 0; // not bound to a host
    Table* t = &tables[sensor];
    DWORD bytes = static_cast<DWORD>(descriptor->points) * sizeof(float);
    t->values = static_cast<float*>(NewMemAlloc(bytes, kSource, __LINE__));
    t->temperatures = static_cast<float*>(NewMemAlloc(bytes, kSource, __LINE__));
    if (t->values == nullptr || t->temperatures == nullptr) {
        Release(t);
        return 0;
    }
    int produced = LinearFillGrid(descriptor, t->values, t->temperatures, descriptor->points);
    if (produced != descriptor->points)
        ShowInternalError(descriptor->countError, kSource, __LINE__);
    t->count = produced < descriptor->points ? produced : descriptor->points;
    // Searched is only the part that ascends to the end.
    int first = t->count > 0 ? t->count - 1 : 0;
    while (first > 0 && t->values[first - 1] < t->values[first])
        first--;
    t->first = first;
    t->built = 1;
    return 1;
}

double LinearLookup(int sensor, double value) {
    if (LinearSensorDescriptor(sensor) == nullptr) return 0.0;
    Table* t = &tables[sensor];
    if (!t->built && !LinearBuild(sensor)) return 0.0;
    if (t->count == 0) return 0.0;
    int lo = t->first, hi = t->count - 1;
    if (value <= t->values[lo]) return t->temperatures[lo];
    if (value >= t->values[hi]) return t->temperatures[hi];
    // value[lo] < value <= value[hi]
    while (hi - lo > 1) {
        int mid = lo + (hi - lo) / 2;
        if (t->values[mid] < value) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    double dv = static_cast<double>(t->values[hi]) - t->values[lo];
    if (dv < kSmallestSpacing) return t->temperatures[hi];
    return t->temperatures[hi] +
           (value - t->values[hi]) * (t->temperatures[hi] - t->temperatures[lo]) / dv;
}

void LinearFreeAll() {
    for (Table& t : tables)
        Release(&t);
}
