// Blocks of the types with alarm outputs and counters in the stand-in host,
// from the shipped plug-in under a family's file name, against modules
// simulated on a pseudo-terminal mapped to COM1 (9600 baud).
#ifndef TESTS_ALARM_FIXTURE_H
#define TESTS_ALARM_FIXTURE_H

#include "bus_fixture.h"

#include "modules/analog/alarm.h"
#include "modules/multi/nd6080.h"

#include <string>
#include <vector>

namespace alarmtest {

// Menu ids of the types.
const int kND6011 = 2950;
const int kND6011P = 2951;
const int kND6012 = 2952;
const int kND6080 = 2965;

class AlarmTest : public telviotest::BusTest {
  protected:
    // A new block of the type on COM1 at the address.
    hostsim::Block* NewBlock(int menuId, int address = 1) {
        const hostsim::ModuleClass* c = hostsim::FindClassByMenuId(menuId);
        if (c == nullptr) return nullptr;
        hostsim::Block* b = hostsim::CreateBlock(c);
        if (b == nullptr) return nullptr;
        // Sweeps a quarter of an hour apart unless a test asks for more: a
        // test sees one sweep however slowly the machine runs.
        if (menuId == kND6080) {
            P80(b)->Module_Address = address;
            P80(b)->Com.Port_Number = 1;
            P80(b)->Mess.Sample_Distance = 900.0;
        } else {
            P(b)->Module_Address = address;
            P(b)->Com.Port_Number = 1;
            P(b)->Mess.Sample_Distance = 900.0;
        }
        return b;
    }
    static size_t CountOutputs(WORD mask) {
        size_t n = 0;
        for (int c = 0; c < 16; c++)
            n += (mask >> c) & 1;
        return n;
    }
    // The block's channels: the mask and as many outputs.
    static void Channels(hostsim::Block* b, WORD mask) {
        UINT outputs = static_cast<UINT>(CountOutputs(mask));
        if (b->moduleClass->record.uMenuId == static_cast<UINT>(kND6080))
            P80(b)->Channel_Mask = mask;
        else
            P(b)->Channel_Mask = mask;
        b->record.uOutputs = outputs;
    }
    static ND6011_Param* P(hostsim::Block* b) {
        return reinterpret_cast<ND6011_Param*>(b->param.data());
    }
    static ND6011_Runtime* R(hostsim::Block* b) {
        return reinterpret_cast<ND6011_Runtime*>(b->runtime.data());
    }
    static ND6080_Param* P80(hostsim::Block* b) {
        return reinterpret_cast<ND6080_Param*>(b->param.data());
    }
    static ND6080_Runtime* R80(hostsim::Block* b) {
        return reinterpret_cast<ND6080_Runtime*>(b->runtime.data());
    }

    static MessParam* Mess(hostsim::Block* b) {
        return b->moduleClass->record.uMenuId == static_cast<UINT>(kND6080) ? &P80(b)->Mess
                                                                            : &P(b)->Mess;
    }

    // Two started blocks of one type, half a second apart, that wait a minute
    // after an error; the module of the failing one falls silent as the
    // cycles begin. The failing block delivers nothing; the healthy one, on
    // output 0, `value` at every sweep, and half a second apart from 4 s on
    // (after the other's outage).
    void ExpectTheHealthyKeepsItsRate(hostsim::Block* healthy, hostsim::Block* failing,
                                      int failingAddress, float value) {
        for (hostsim::Block* b : {healthy, failing}) {
            Mess(b)->Sample_Distance = 0.5;
            Mess(b)->Error_Stop = 0;
            Mess(b)->Error_Wait_Min = 1;
        }
        hostsim::ExperimentOptions o = Manual(12.0);
        auto started = o.onStarted;
        o.onStarted = [&] {
            started();
            bus.InjectFault(failingAddress,
                            modsim::Fault(modsim::FaultKind::Silence, modsim::kAlways));
        };
        hostsim::ExperimentResult r;
        ASSERT_EQ(1, Run(o, &r)) << r.error;
        EXPECT_EQ(0, r.stoppedByPlugin);
        EXPECT_TRUE(Delivered(r, failing, 0).empty());
        std::vector<double> times;
        for (const hostsim::ReleasedBlock& d : Delivered(r, healthy, 0)) {
            EXPECT_FLOAT_EQ(value, d.samples[0]);
            if (d.time >= 4.0) times.push_back(d.time);
        }
        ASSERT_EQ(16u, times.size());
        for (size_t i = 0; i < times.size(); i++)
            EXPECT_DOUBLE_EQ(4.0 + 0.5 * static_cast<double>(i), times[i]);
    }
};

} // namespace alarmtest

#endif
