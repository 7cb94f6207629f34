// Blocks of the analog output types and of the digital inputs of the
// four-channel output module in the stand-in host, from the shipped plug-in
// under a family's file name, against modules simulated on a
// pseudo-terminal mapped to COM1 (9600 baud).
#ifndef TESTS_ANALOGOUT_FIXTURE_H
#define TESTS_ANALOGOUT_FIXTURE_H

#include "bus_fixture.h"

#include <string>
#include <vector>

namespace aotest {

// Menu ids of the types.
const int kND6021 = 2957;
const int kND6022 = 2967;
const int kND6024 = 2968;
const int kND6024I = 2969;

using telviotest::Lines;

class AnalogOutTest : public telviotest::BusTest {
  protected:
    // A new block of the type with `inputs` inputs on COM1, a quarter of an
    // hour between its cycles unless a test asks for more.
    template <class Param> Param* NewBlock(int menuId, int inputs, hostsim::Block** out) {
        *out = nullptr;
        const hostsim::ModuleClass* c = hostsim::FindClassByMenuId(menuId);
        if (c == nullptr) return nullptr;
        hostsim::Block* b = hostsim::CreateBlock(c);
        if (b == nullptr) return nullptr;
        b->record.uInputs = static_cast<UINT>(inputs);
        Param* p = P<Param>(b);
        p->Com.Port_Number = 1;
        p->Mess.Sample_Distance = 900.0;
        *out = b;
        return p;
    }
    template <class Param> static Param* P(hostsim::Block* b) {
        return reinterpret_cast<Param*>(b->param.data());
    }
    static ChannelScan12* Scan12(hostsim::Block* b, int input) {
        return reinterpret_cast<ChannelScan12*>(b->channelScan[input].data());
    }
    static ChannelScan* Scan(hostsim::Block* b, int input) {
        return reinterpret_cast<ChannelScan*>(b->channelScan[input].data());
    }

    // A data block with these samples waits at the input.
    static void Feed(hostsim::Block* b, int input, std::vector<float> samples) {
        hostsim::QueueInputBlock(b, input, 0.0, 0.5, samples);
    }

    // Two started blocks of one form, half a second between their cycles,
    // that wait a minute after an error, fed by one ramp; the module of the
    // failing one falls silent as the cycles begin. The failing module is
    // asked twice (the write and its repeat), then its block waits; the
    // healthy module gets a new value every half second from 4 s on (after
    // the other's outage).
    void ExpectTheHealthyKeepsItsRate(hostsim::Block* healthy, MessParam* healthyMess,
                                      int healthyAddress, hostsim::Block* failing,
                                      MessParam* failingMess, int failingAddress) {
        for (MessParam* m : {healthyMess, failingMess}) {
            m->Sample_Distance = 0.5;
            m->Error_Stop = 0;
            m->Error_Wait_Min = 1;
        }
        hostsim::InputSource ramp;
        ramp.kind = hostsim::INPUT_RAMP;
        ramp.a = 0.0;
        ramp.b = 10.0;
        ramp.c = 5.0;
        ramp.every = 0.25;
        std::string error;
        ASSERT_EQ(1, hostsim::ConnectInput(healthy, 0, ramp, &error)) << error;
        ASSERT_EQ(1, hostsim::ConnectInput(failing, 0, ramp, &error)) << error;

        hostsim::ExperimentOptions o = Manual(12.0);
        auto started = o.onStarted;
        std::vector<double> writes; // experiment times the healthy module was written
        size_t seen = 0;
        o.onStarted = [&] {
            started();
            bus.ClearLog();
            bus.InjectFault(failingAddress,
                            modsim::Fault(modsim::FaultKind::Silence, modsim::kAlways));
        };
        auto cycle = o.onCycle;
        o.onCycle = [&](int n, int busy) {
            cycle(n, busy);
            size_t now = ModuleAt(healthyAddress).writes.size();
            if (now > seen) writes.push_back(hostsim::ExperimentTime());
            seen = now;
        };
        hostsim::ExperimentResult r;
        ASSERT_EQ(1, Run(o, &r)) << r.error;
        EXPECT_EQ(0, r.stoppedByPlugin);
        int toFailing = 0;
        for (const modsim::LogEntry& e : bus.Log())
            toFailing += e.address == failingAddress;
        EXPECT_EQ(2, toFailing);
        std::vector<double> late;
        for (double t : writes)
            if (t >= 4.0) late.push_back(t);
        ASSERT_GE(late.size(), 15u);
        for (size_t i = 1; i < late.size(); i++)
            EXPECT_NEAR(0.5, late[i] - late[i - 1], 0.1) << "at " << late[i];
    }
};

} // namespace aotest

#endif
