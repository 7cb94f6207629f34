// The fault rig: the shipped plug-in in the stand-in host, the modules
// simulated in-process on one bus per COM port, and an experiment run in real
// time while faults come and go at set experiment times. Every input channel
// of a module reads a ramp that names the module and channel it belongs to
// and the moment it was read, so each delivered sample tells whether it came
// from the channel it is delivered under and how far its stamp lies from its
// reading. Block types other than the thermocouple ones reuse it with their
// own blocks and expectations.
//
// A reading has the seven characters of a module's engineering units
// ("+123.45"): so the ramp of a channel is 100 units of one per second, in
// a band of 100 of its own. Channels 0 and 1 of up to three modules each
// have a band; the other channels of a module share one.
#ifndef TESTS_FAULTS_FAULT_RIG_H
#define TESTS_FAULTS_FAULT_RIG_H

#include "driver_clock.h"
#include "plugin_fixture.h"

#include "modsim.h"
#include "winapi_headless.h"

#include <math.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace faultrig {

// Something done to the modules or the line at an experiment time.
struct Event {
    double at;
    std::function<void()> act;
};

// One sample a block delivered, as the rig reads it.
struct Sample {
    double time;       // its stamp
    double releasedAt; // experiment time of the delivery
    int identity;      // the module channel it was read from (Identity), -1 for none
    double readAt;     // experiment time the module answered
};

class FaultRig : public PortFolderTest {
  protected:
    void TearDown() override {
        while (hostsim::BlockCount() > 0)
            hostsim::DeleteBlock(hostsim::BlockAt(0));
        for (auto& p : buses)
            p.second->Close();
        WinapiDialogsReset();
        PluginTest::TearDown();
    }

    // The driver INI file (COM ports at 9600 baud, 8N1; the reply time-out;
    // the reopen switch), a bus on each port, and the plug-in bound.
    void Setup(const std::vector<int>& ports, int busyTimeOutMs, int reopen) {
        telviotest::SimulateOnDriverClock();
        std::ofstream ini(dir + "/XX02.ini");
        ini << "[Com Ports]\nNumComPorts=" << ports.size() << "\n";
        for (size_t i = 0; i < ports.size(); i++)
            ini << "ComPort#" << i << "=" << ports[i] << ",3,8,1,0,1\n";
        ini << "ReOpenComOnError=" << reopen << "\n[Settings]\nBusyTimeOut=" << busyTimeOutMs
            << "\n";
        ini.close();
        for (int port : ports) {
            std::unique_ptr<modsim::Bus> bus(new modsim::Bus);
            std::string error;
            ASSERT_EQ(1, bus->Open(&error)) << error;
            ASSERT_EQ(1, bus->SetLink(dir + "/com" + std::to_string(port)));
            ASSERT_EQ(1, bus->Start());
            buses[port] = std::move(bus);
        }
        ASSERT_EQ(1, Bind("Telvio.so"));
    }
    modsim::Bus& Port(int port) { return *buses.at(port); }

    // What a channel's reading names: the band of its module (the modules
    // in the order they were added) and channel.
    int Identity(int port, int address, int channel) const {
        auto m = std::find(modules.begin(), modules.end(), std::make_pair(port, address));
        int module = static_cast<int>(m - modules.begin());
        return module * 3 + (channel < 2 ? channel : 2);
    }
    // A module whose every input channel reads Identity * 100 plus the
    // seconds of its bus (a ramp of 100 s). Three modules at most.
    void AddModule(int port, int address, const char* model, int channels = 8) {
        ASSERT_LT(modules.size(), 3u);
        ASSERT_EQ(1, Port(port).AddModule(address, model, 0));
        modules.push_back(std::make_pair(port, address));
        for (int c = 0; c < channels; c++) {
            modsim::Waveform w;
            w.kind = modsim::Wave::Ramp;
            w.offset = Identity(port, address, c) * 100.0;
            w.amplitude = 100.0;
            w.periodS = 100.0;
            ASSERT_EQ(1, Port(port).SetWaveform(address, c, w));
        }
    }

    // Runs the worksheet's experiment for `seconds` in real time; the events
    // happen in the first cycle at or after their time.
    int Run(double seconds, std::vector<Event> events, hostsim::ExperimentResult* r) {
        hostsim::ExperimentOptions o;
        o.seconds = seconds;
        o.onStarted = [this] {
            for (auto& p : buses)
                offsets[p.first] = p.second->Now();
        };
        size_t next = 0;
        o.onCycle = [&](int, int) {
            while (next < events.size() && hostsim::ExperimentTime() >= events[next].at)
                events[next++].act();
        };
        int ran = hostsim::RunExperiment(o, r);
        while (next < events.size())
            events[next++].act();
        return ran;
    }

    // The samples the block delivered on an output, read back. `port` is the
    // port of the module the block reads, whose clock the ramp counts.
    std::vector<Sample> Delivered(const hostsim::ExperimentResult& r, hostsim::Block* b, int output,
                                  int port) const {
        std::vector<Sample> out;
        const std::vector<hostsim::ReleasedBlock>& all = hostsim::ReleasedOutputBlocks();
        double offset = offsets.count(port) ? offsets.at(port) : 0.0;
        for (size_t i = r.firstOutputBlock; i < all.size(); i++) {
            const hostsim::ReleasedBlock& d = all[i];
            if (d.module != &b->record || d.output != output || d.samples.empty()) continue;
            double v = d.samples[0];
            Sample s;
            s.time = d.time;
            s.releasedAt = d.releasedAt;
            s.identity = v >= 0 ? static_cast<int>(floor(v / 100.0)) : -1;
            s.readAt = v - s.identity * 100.0 - offset;
            out.push_back(s);
        }
        return out;
    }

    // Warnings the plug-in showed, as "caption: text".
    static std::vector<std::string> WarningsShown() {
        std::vector<std::string> shown;
        for (const hostsim::Warning& w : hostsim::Warnings())
            shown.push_back(w.caption + ": " + w.text);
        return shown;
    }

    std::map<int, std::unique_ptr<modsim::Bus>> buses;
    std::map<int, double> offsets;
    std::vector<std::pair<int, int>> modules; // port and address, in the order added
};

} // namespace faultrig

#endif
