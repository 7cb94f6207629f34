// Lookups in the linearisation tables against the published reference
// tables, the ends of every table, the type B table that does not ascend at
// its start, building on first use from the host's memory, and a grid that
// would overrun its table.
#include "host/host.h"
#include "host/linear.h"
#include "hostsim/hostsim.h"

#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <vector>

namespace {

class Linear : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(hostsim::Start());
        ASSERT_EQ(1, ResolveHostInterface(hostsim::MainWindow()));
        LinearFreeAll();
        allocations = hostsim::LiveAllocations();
    }
    void TearDown() override {
        LinearFreeAll();
        EXPECT_EQ(allocations, hostsim::LiveAllocations()) << "tables released";
        EXPECT_TRUE(hostsim::InternalErrors().empty());
    }
    int allocations = 0;
};

struct Reference {
    int sensor;
    double value;       // µV or Ω, as the published table gives it
    double temperature; // °C of that table
    double tolerance;
    const char* source;
};

// Thermocouples: the NIST ITS-90 tables (NIST Monograph 175; srdata.nist.gov
// type_t.tab and the type K table 9, type B table), the voltage ranges of
// NIST's inverse functions (type J: -210, 760 and 1200 °C; type K: 500 °C),
// and the 350 °C column of the ITS-90 tables for every type. The tables are
// built from the IPTS-68 functions: the ITS-90 temperature of the same
// voltage differs by at most 0.04 °C up to 350 °C and 0.1 °C up to 760 °C
// (t90 - t68, CRC Handbook, "Conversion of temperatures from the 1948 and
// 1968 scales to ITS-90"). Each tolerance adds the rounding of the table's
// last digit (0.5 µV over the slope) to that difference.
const Reference kThermocouples[] = {
    {LINEAR_TYPE_T, -6258.0, -270.0, 0.05, "T, first point"},
    {LINEAR_TYPE_T, -6232.0, -260.0, 0.25, "T, slope 2.6 µV/°C"},
    {LINEAR_TYPE_T, -5603.0, -200.0, 0.05, "T"},
    {LINEAR_TYPE_T, -3379.0, -100.0, 0.05, "T"},
    {LINEAR_TYPE_T, -1819.0, -50.0, 0.05, "T"},
    {LINEAR_TYPE_T, 17819.0, 350.0, 0.06, "T, upper piece"},
    {LINEAR_TYPE_K, -6458.0, -270.0, 0.05, "K, first point"},
    {LINEAR_TYPE_K, -6441.0, -260.0, 0.2, "K, slope 3 µV/°C"},
    {LINEAR_TYPE_K, -5891.0, -200.0, 0.05, "K"},
    {LINEAR_TYPE_K, -4913.0, -150.0, 0.05, "K"},
    {LINEAR_TYPE_K, -4411.0, -130.0, 0.05, "K"},
    {LINEAR_TYPE_K, 12209.0, 300.0, 0.06, "K, upper piece"},
    {LINEAR_TYPE_K, 14293.0, 350.0, 0.06, "K"},
    {LINEAR_TYPE_K, 20644.0, 500.0, 0.12, "K"},
    {LINEAR_TYPE_J, -8095.0, -210.0, 0.06, "J, first point"},
    {LINEAR_TYPE_J, 19090.0, 350.0, 0.06, "J"},
    {LINEAR_TYPE_J, 42919.0, 760.0, 0.12, "J, end of the lower piece"},
    {LINEAR_TYPE_E, 24964.0, 350.0, 0.06, "E"},
    {LINEAR_TYPE_R, 2896.0, 350.0, 0.1, "R"},
    {LINEAR_TYPE_S, 2786.0, 350.0, 0.1, "S"},
    {LINEAR_TYPE_B, 33.0, 100.0, 0.7, "B, slope 0.9 µV/°C"},
    {LINEAR_TYPE_B, 92.0, 150.0, 0.4, "B, slope 1.4 µV/°C"},
    {LINEAR_TYPE_B, 291.0, 250.0, 0.3, "B"},
    {LINEAR_TYPE_B, 596.0, 350.0, 0.2, "B"},
    {LINEAR_TYPE_B, 2431.0, 700.0, 0.15, "B"},
};

TEST_F(Linear, ThermocouplesAgainstThePublishedTables) {
    for (const Reference& r : kThermocouples)
        EXPECT_NEAR(r.temperature, LinearLookup(r.sensor, r.value), r.tolerance) << r.source;
}

// Pt100: the IPTS-68 standard with these coefficients gives 18.49 Ω at
// -200 °C; the IEC 60751 table (ITS-90) gives 22.83 Ω at -190 °C, 39.72 Ω at
// -150 °C, 60.26 Ω at -100 °C, 138.51 Ω at 100 °C and 175.86 Ω at 200 °C,
// within 0.07 °C of the IPTS-68 curve there.
const Reference kPt100[] = {
    {LINEAR_PT100, 18.49, -200.0, 0.02, "-200 °C"},
    {LINEAR_PT100, 22.83, -190.0, 0.1, "-190 °C"},
    {LINEAR_PT100, 39.72, -150.0, 0.05, "-150 °C"},
    {LINEAR_PT100, 60.26, -100.0, 0.05, "-100 °C"},
    {LINEAR_PT100, 100.0, 0.0, 1e-9, "0 °C"},
    {LINEAR_PT100, 138.51, 100.0, 0.05, "about 100 °C"},
    {LINEAR_PT100, 175.86, 200.0, 0.1, "200 °C"},
};

TEST_F(Linear, Pt100AgainstTheStandard) {
    for (const Reference& r : kPt100)
        EXPECT_NEAR(r.temperature, LinearLookup(r.sensor, r.value), r.tolerance) << r.source;
}

// Ni100 from its defining function, 100 + 0.5485 t + 6.65e-4 t^2
// + 2.805e-9 t^4 - 2e-15 t^6 Ω: at grid points and between them.
TEST_F(Linear, Ni100) {
    auto ni = [](double t) {
        return 100 + 0.5485 * t + 6.65e-4 * t * t + 2.805e-9 * pow(t, 4) - 2e-15 * pow(t, 6);
    };
    const double temperatures[] = {-60.0, -42.5, 0.0, 37.0, 100.0, 181.5, 250.0};
    for (double t : temperatures)
        EXPECT_NEAR(t, LinearLookup(LINEAR_NI100, ni(t)), 0.01) << t;
}

TEST_F(Linear, EdgesOfTheTables) {
    EXPECT_DOUBLE_EQ(0.0, LinearLookup(LINEAR_TYPE_J, 0.0));
    EXPECT_DOUBLE_EQ(0.0, LinearLookup(LINEAR_TYPE_K, 0.0)); // the magnetic term is 0 there
    EXPECT_DOUBLE_EQ(0.0, LinearLookup(LINEAR_TYPE_T, 0.0));
    EXPECT_DOUBLE_EQ(1200.0, LinearLookup(LINEAR_TYPE_J, 69553.0)); // ITS-90's 1200 °C: beyond
    EXPECT_DOUBLE_EQ(1370.0, LinearLookup(LINEAR_TYPE_K, 54886.0)); // ITS-90's 1372 °C: beyond
    EXPECT_DOUBLE_EQ(1820.0, LinearLookup(LINEAR_TYPE_B, 13820.0));
    EXPECT_DOUBLE_EQ(0.0, LinearLookup(9, 100.0));
    EXPECT_DOUBLE_EQ(0.0, LinearLookup(-1, 100.0));
    EXPECT_EQ(0, LinearBuild(9));
    EXPECT_EQ(0, LinearBuild(-1));
}

TEST_F(Linear, ValuesBeyondEachEnd) {
    struct {
        int sensor;
        double first, last;
    } ends[] = {
        {LINEAR_TYPE_R, -50.0, 1765.0},  {LINEAR_TYPE_S, -50.0, 1765.0},
        {LINEAR_TYPE_B, 20.0, 1820.0}, // below its voltage minimum at 20 °C
        {LINEAR_TYPE_J, -210.0, 1200.0}, {LINEAR_TYPE_T, -270.0, 400.0},
        {LINEAR_TYPE_E, -270.0, 1000.0}, {LINEAR_TYPE_K, -270.0, 1370.0},
        {LINEAR_PT100, -200.0, 850.0},   {LINEAR_NI100, -60.0, 250.0},
    };
    for (const auto& e : ends) {
        EXPECT_DOUBLE_EQ(e.first, LinearLookup(e.sensor, -1e9)) << e.sensor;
        EXPECT_DOUBLE_EQ(e.last, LinearLookup(e.sensor, 1e9)) << e.sensor;
    }
}

// Every point of every piece, the boundaries included, gives its own
// temperature back, and halfway between two points the straight line gives
// the middle.
TEST_F(Linear, GridPointsAndTheStraightLineBetween) {
    for (int sensor = 0; sensor < LINEAR_SENSORS; sensor++) {
        const LinearSensorTable* d = LinearSensorDescriptor(sensor);
        ASSERT_NE(nullptr, d);
        for (int p = 0; p < d->pieceCount; p++) {
            const LinearPiece* piece = &d->pieces[p];
            for (int t = piece->first; t <= piece->last; t += 5) {
                if (sensor == LINEAR_TYPE_B && t < 20) continue; // before the minimum
                float v = static_cast<float>(LinearReferenceValue(piece, t));
                EXPECT_NEAR(t, LinearLookup(sensor, v), 1e-3) << sensor << " at " << t;
                if (t + 5 > piece->last) continue;
                float w = static_cast<float>(LinearReferenceValue(piece, t + 5));
                EXPECT_NEAR(t + 2.5, LinearLookup(sensor, (static_cast<double>(v) + w) / 2), 1e-3)
                    << sensor << " after " << t;
            }
        }
    }
}

// The lookup never goes back as the value rises: every table searched
// ascends.
TEST_F(Linear, LookupsRiseWithTheValue) {
    for (int sensor = 0; sensor < LINEAR_SENSORS; sensor++) {
        const LinearSensorTable* d = LinearSensorDescriptor(sensor);
        const LinearPiece* firstPiece = &d->pieces[0];
        const LinearPiece* lastPiece = &d->pieces[d->pieceCount - 1];
        double low = LinearReferenceValue(firstPiece, firstPiece->first);
        double high = LinearReferenceValue(lastPiece, lastPiece->last);
        // From a little below the first point to a little beyond the last.
        double from = low - (high - low) / 100, to = high + (high - low) / 100;
        double previous = -1e9;
        for (int i = 0; i <= 4000; i++) {
            double t = LinearLookup(sensor, from + (to - from) * i / 4000.0);
            EXPECT_GE(t, previous) << sensor << " step " << i;
            previous = t;
        }
    }
}

// Type B falls from 0 µV at 0 °C to about -2.6 µV at 20 °C before it rises:
// the table starts at that minimum, and a voltage the falling part shares
// with the rising part answers from the rising part.
TEST_F(Linear, TypeBStartsAtItsMinimum) {
    EXPECT_DOUBLE_EQ(20.0, LinearLookup(LINEAR_TYPE_B, -3.0));
    double rising = LinearLookup(LINEAR_TYPE_B, -2.0);
    EXPECT_GT(rising, 20.0);
    EXPECT_LT(rising, 40.0);
    double t = LinearLookup(LINEAR_TYPE_B, 0.0);
    EXPECT_GT(t, 40.0);
    EXPECT_LT(t, 45.0);
}

TEST_F(Linear, BuiltOnceFromTheHostsMemory) {
    int before = hostsim::LiveAllocations();
    EXPECT_EQ(1, LinearBuild(LINEAR_TYPE_E));
    EXPECT_EQ(before + 2, hostsim::LiveAllocations());
    EXPECT_EQ(0, LinearBuild(LINEAR_TYPE_E)); // already built
    EXPECT_EQ(before + 2, hostsim::LiveAllocations());
    LinearLookup(LINEAR_TYPE_E, 1000.0);
    LinearLookup(LINEAR_TYPE_R, 1000.0); // built by its first lookup
    EXPECT_EQ(before + 4, hostsim::LiveAllocations());
    LinearFreeAll();
    EXPECT_EQ(before, hostsim::LiveAllocations());
    EXPECT_EQ(1, LinearBuild(LINEAR_TYPE_E)); // again after the release
}

TEST_F(Linear, NoMemoryNoTable) {
    int before = hostsim::LiveAllocations();
    hostsim::FailAllocations(1); // the first array is refused
    EXPECT_EQ(0, LinearBuild(LINEAR_PT100));
    EXPECT_EQ(before, hostsim::LiveAllocations()); // the second array went back
    hostsim::FailAllocations(1);
    EXPECT_DOUBLE_EQ(0.0, LinearLookup(LINEAR_PT100, 138.5));
    EXPECT_NEAR(100.0, LinearLookup(LINEAR_PT100, 138.5), 0.01); // memory again: built now
}

TEST_F(Linear, EveryGridYieldsItsCount) {
    const int counts[LINEAR_SENSORS] = {364, 364, 365, 283, 135, 255, 329, 211, 63};
    for (int sensor = 0; sensor < LINEAR_SENSORS; sensor++) {
        EXPECT_EQ(counts[sensor], LinearSensorDescriptor(sensor)->points);
        EXPECT_EQ(counts[sensor],
                  LinearFillGrid(LinearSensorDescriptor(sensor), nullptr, nullptr, 0));
    }
}

TEST_F(Linear, AGridLongerThanItsTableWritesNoFurther) {
    // Type J's pieces in a table of 10 points: the grid yields 283.
    LinearSensorTable shortTable = *LinearSensorDescriptor(LINEAR_TYPE_J);
    shortTable.points = 10;
    std::vector<float> values(14, 12345.0f), temperatures(14, 12345.0f);
    EXPECT_EQ(283, LinearFillGrid(&shortTable, values.data(), temperatures.data(), 10));
    EXPECT_FLOAT_EQ(-210.0f, temperatures[0]);
    EXPECT_FLOAT_EQ(-165.0f, temperatures[9]);
    for (int i = 10; i < 14; i++) {
        EXPECT_FLOAT_EQ(12345.0f, values[i]) << i;
        EXPECT_FLOAT_EQ(12345.0f, temperatures[i]) << i;
    }
}

} // namespace
