// Blocks of the multi-block types in the stand-in host, from the shipped
// plug-in under a family's file name, against modules simulated on a
// pseudo-terminal mapped to COM1 (9600 baud).
#ifndef TESTS_MULTI_FIXTURE_H
#define TESTS_MULTI_FIXTURE_H

#include "bus_fixture.h"

#include "modules/multi/nd6014.h"

#include <stdio.h>

#include <functional>
#include <string>
#include <vector>

namespace multitest {

// Menu ids of the types.
const int kND6014 = 2989;
const int kND6016 = 2987;
const int kND6058 = 2975;

// The controls of the creation dialogs (ND6014; ND6016's are 10 lower).
const int kNew6014 = 1330;
const int kJoin6014 = 1331;
const int kModules6014 = 1332;
const int kAnalog6014 = 1333;
const int kOutput6014 = 1334;
const int kInputs6014 = 1335;

class MultiTest : public telviotest::BusTest {
  protected:
    // A new block through its creation dialog: `choose` queues what the
    // user does there before OK (nothing: OK on what the dialog offers).
    hostsim::Block* Create(int menuId, const std::function<void()>& choose = nullptr) {
        const hostsim::ModuleClass* c = hostsim::FindClassByMenuId(menuId);
        if (c == nullptr) return nullptr;
        if (choose) choose();
        WinapiQueueOk();
        return hostsim::CreateBlock(c);
    }

    static ND6014_Param* P14(hostsim::Block* b) {
        return reinterpret_cast<ND6014_Param*>(b->param.data());
    }
    static ND6014_Runtime* R14(hostsim::Block* b) {
        return reinterpret_cast<ND6014_Runtime*>(b->runtime.data());
    }
    // The common fields of the three records.
    static int& Address(hostsim::Block* b) { return P14(b)->Module_Address; }
    static ComSettings& Com(hostsim::Block* b) { return P14(b)->Com; }
    static MessParam& Mess(hostsim::Block* b) { return P14(b)->Mess; }
    static WORD& Mask(hostsim::Block* b) { return P14(b)->Channel_Mask; }

    // A master on COM1 at the address, measuring every `seconds`.
    static void OnCom1(hostsim::Block* master, int address, double seconds = 900.0) {
        Address(master) = address;
        Com(master).Port_Number = 1;
        Mess(master).Sample_Distance = seconds;
    }
    // The host's counter reset, offered by the digital input and counter
    // block `inputs` and not by the analog block: three are queued in the
    // master, a fourth before its turn does not fit and the host is told it
    // was not taken; at the master's turn the three go out after the start's
    // own reset of the module at `address`.
    void ExpectTheHostsCounterResets(hostsim::Block* analog, hostsim::Block* inputs, int address) {
        EXPECT_EQ(0, hostsim::ActionSupported(analog, 13));
        EXPECT_EQ(1, hostsim::ActionSupported(inputs, 13));
        for (int i = 0; i < 4; i++)
            EXPECT_EQ(i < 3 ? 1 : 0, hostsim::PerformAction(inputs, 13, 0)) << i;
        // The resets are queries that wait for their replies: the real clock.
        hostsim::ExperimentResult r;
        ASSERT_EQ(1, Run(RealTime(0.2), &r)) << r.error << " " << LastWarningText();
        char reset[8];
        snprintf(reset, sizeof reset, "@%02XCE", address);
        EXPECT_EQ(4, Count(reset));
    }
    // The block's channels: the mask and as many outputs (input blocks) or
    // inputs (output blocks).
    static void Channels(hostsim::Block* b, WORD mask, bool input) {
        UINT n = 0;
        for (int c = 0; c < 16; c++)
            n += (mask >> c) & 1;
        Mask(b) = mask;
        (input ? b->record.uOutputs : b->record.uInputs) = n;
    }
};

} // namespace multitest

#endif
