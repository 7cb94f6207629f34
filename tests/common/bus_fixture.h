// The shipped plug-in in the stand-in host against modules simulated on a
// pseudo-terminal mapped to COM1 (9600 baud): the fixture every family's
// tests build on. It owns the test's folder (the host's folder, the driver
// INI file, the COM folder), the simulator, the plug-in bound under a
// family's file name, the starts and stops of blocks, and the rule for the
// clock.
//
// The rule for the clock. A blocking query (a start's, an action's) polls
// its reply with Sleep(1) between looks; on the manual clock Sleep moves the
// clock instead of waiting, so a reply time-out passes in a millisecond of
// real time and a module's reply is lost to it. So a start, and any run
// with blocking queries, runs on the real clock, unless every module it asks
// is silent (StartSilent, StartSilentFrom; the fixture fails the test when
// a module answered there). The cycles of an experiment, which only poll,
// may run on the manual clock (Manual). Start and Run go back to the real
// clock first, so a manual clock is never carried from one case into the
// next; and before a case ends (CaseGuard, TearDown, Run) the fixture waits
// until the simulator has heard every request sent, so no request of one
// case is answered in the next.
#ifndef TESTS_COMMON_BUS_FIXTURE_H
#define TESTS_COMMON_BUS_FIXTURE_H

#include "driver_clock.h"
#include "experiment_run.h"
#include "heard.h"
#include "plugin_fixture.h"
#include "process_until.h"

#include "modsim.h"
#include "winapi_headless.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace telviotest {

using Lines = std::vector<std::string>;

// Texts of the start failures.
const char kNoReply[] = "Module does not reply!\n\267 Connected ?\n\267 Switched on ?";
const char kWrongModule[] = "Wrong module type connected.";
const char kUsesChecksums[] = "Error. Uses checksums ?";
const char kCommProblem[] = "Communication problem with this module occured.";

// The port the modules are on.
const int kPort = 1;

class BusTest : public PortFolderTest {
  protected:
    void SetUp() override {
        PortFolderTest::SetUp();
        SimulateOnDriverClock();
        // COM1 at 9600 baud, 8 data bits, 1 stop bit, no parity.
        std::ofstream(dir + "/XX02.ini") << "[Com Ports]\nNumComPorts=1\nComPort#0=1,3,8,1,0,1\n";
        sentBefore_ = WinapiCommLinesWritten(kPort);
        bus.SetTrace([this](const modsim::LogEntry& e) { OnHeard(e); });
        std::string error;
        ASSERT_EQ(1, bus.Open(&error)) << error;
        ASSERT_EQ(1, bus.SetLink(dir + "/com1"));
        ASSERT_EQ(1, bus.Start());
    }
    void TearDown() override {
        StopStarted();
        while (hostsim::BlockCount() > 0)
            hostsim::DeleteBlock(hostsim::BlockAt(0));
        Settle();
        bus.Close();
        bus.SetTrace(nullptr);
        WinapiDialogsReset();
        // Finished as the host finishes it: its window classes go, so a
        // later copy's dialogs never reach this one's code.
        if (plugin.module) hostsim::FinishPlugin(&plugin);
        PortFolderTest::TearDown();
    }

    // ---- The plug-in ----

    // The plug-in under the file name that selects the family ("Telvio.so":
    // "TELV"; "Plug.so": the default family; "XX03.so": "XX03"; ...). One
    // bound before is finished first, with its blocks, and the host starts
    // afresh. The binding's answer (1).
    int Load(const std::string& name = "Telvio.so") {
        if (plugin.module) {
            StopStarted();
            while (hostsim::BlockCount() > 0)
                hostsim::DeleteBlock(hostsim::BlockAt(0));
            Settle();
            hostsim::FinishPlugin(&plugin);
            EXPECT_TRUE(hostsim::Start());
            hostsim::SetExeFileDir((dir + "/").c_str());
        }
        WinapiUseRealClock();
        int answer = Bind(name);
        EXPECT_EQ(1, answer) << "binding " << name;
        return answer;
    }

    // ---- Starts and stops ----

    // The experiment flag the host keeps in the plug-in's variable.
    static void SetRunning(int running) {
        BOOL flag = running ? TRUE : FALSE;
        hostsim::WriteDllVariable("bExperimentIsRunning", &flag, sizeof flag);
    }
    // The start of the block as the host sends it, on the real clock.
    int Start(hostsim::Block* b) {
        WinapiUseRealClock();
        return SendStart(b);
    }
    // A start that asks only silent modules: on the manual clock, so their
    // time-outs cost no real time. The test fails if a module answered.
    int StartSilent(hostsim::Block* b) {
        WinapiUseRealClock();
        const size_t from = Sent();
        WinapiUseManualClock(GetTickCount());
        int answer = SendStart(b);
        WinapiUseRealClock();
        Settle();
        ExpectUnanswered(from, Sent(), "a silent start");
        return answer;
    }
    // A start whose modules answer until it asks the silent one at
    // `address`, and that asks no other after it: on the real clock until
    // the simulator hears the first line to that address, then on the manual
    // clock. The test fails if a module answered from there on.
    int StartSilentFrom(hostsim::Block* b, int address) {
        WinapiUseRealClock();
        switchedAt_ = kNotSwitched;
        silentFrom_ = address;
        int answer = SendStart(b);
        silentFrom_ = -1;
        WinapiUseRealClock();
        Settle();
        const size_t at = switchedAt_;
        EXPECT_NE(kNotSwitched, at) << "the start never asked the module at " << address;
        if (at != kNotSwitched) ExpectUnanswered(at, Sent(), "a start from its silent module on");
        return answer;
    }
    void Stop(hostsim::Block* b) {
        hostsim::SendClassMessage(b, MODMSG_STOP, 0, 0);
        Forget(b);
        SetRunning(0);
    }
    // Starts the blocks in this order, each on the real clock; the first
    // answer that is not 1, or 1.
    int StartAll(const std::vector<hostsim::Block*>& blocks) {
        for (hostsim::Block* b : blocks) {
            int answer = Start(b);
            if (answer != 1) return answer;
        }
        return 1;
    }
    void StopAll(const std::vector<hostsim::Block*>& blocks) {
        for (hostsim::Block* b : blocks)
            Stop(b);
    }

    // ---- Experiments ----

    hostsim::ExperimentOptions Manual(double seconds) {
        return experimenttest::Manual(seconds, [this] { WaitHeard(); });
    }
    static hostsim::ExperimentOptions RealTime(double seconds) {
        return experimenttest::RealTime(seconds);
    }
    // The host's experiment. Its starts run on the real clock unless the
    // options' beforeStart says otherwise (then the fixture checks that no
    // module answered them); afterwards the clock is real again and the
    // simulator has heard every request.
    int Run(const hostsim::ExperimentOptions& options, hostsim::ExperimentResult* result) {
        WinapiUseRealClock();
        struct Span {
            size_t from, to;
        };
        std::vector<Span> manual;
        int open = 0;
        size_t from = 0;
        auto close = [&] {
            if (open) manual.push_back({from, Sent()});
            open = 0;
        };
        hostsim::ExperimentOptions o = options;
        o.beforeStart = [&](int block) {
            close();
            if (options.beforeStart) options.beforeStart(block);
            open = WinapiClockIsManual();
            from = Sent();
        };
        o.onStarted = [&] {
            close();
            if (options.onStarted) options.onStarted();
        };
        int answer = hostsim::RunExperiment(o, result);
        close();
        WinapiUseRealClock();
        Settle();
        for (const Span& s : manual)
            ExpectUnanswered(s.from, s.to, "a start on the manual clock");
        return answer;
    }
    // The experiment for `seconds` with its cycles on the manual clock;
    // `started` once every block has started.
    hostsim::ExperimentResult Run(double seconds, const std::function<void()>& started = nullptr) {
        hostsim::ExperimentOptions o = Manual(seconds);
        if (started) {
            auto clock = o.onStarted;
            o.onStarted = [clock, started] {
                clock();
                started();
            };
        }
        hostsim::ExperimentResult r;
        EXPECT_EQ(1, Run(o, &r)) << r.error << " " << LastWarningText();
        return r;
    }
    static std::vector<hostsim::ReleasedBlock> Delivered(const hostsim::ExperimentResult& r,
                                                         const hostsim::Block* b, int output) {
        return experimenttest::Delivered(r, b, output);
    }
    // The experiment clock from 0, on the manual clock, for a test that
    // processes its started blocks itself.
    static void ClockFromZero() {
        WinapiUseManualClock(10000);
        hostsim::StartExperimentClock();
    }

    // Processes the block until `count` data blocks have been delivered in
    // all, or its module has had two seconds.
    int ProcessUntil(hostsim::Block* b, size_t count) {
        return ProcessUntilDelivered(b, count, 2000, UntilHeard());
    }
    // The blocks processed in turn until `done`.
    int ProcessUntil(const std::vector<hostsim::Block*>& blocks, const std::function<bool()>& done,
                     int turns = 2000) {
        return telviotest::ProcessUntil(blocks, done, turns, UntilHeard());
    }
    // Processes the block until the modules have received `lines` lines
    // since the log was cleared and the block has taken the last reply.
    int ProcessUntilLines(hostsim::Block* b, size_t lines) {
        if (!ProcessUntil({b}, [this, lines] { return bus.LogCount() >= lines; })) return 0;
        return ProcessUntilIdle(b, 2000, UntilHeard());
    }

    // ---- The end of a case ----

    // The clock is real again, the blocks started and not stopped are
    // stopped, and the simulator has heard every request sent.
    void EndCase() {
        StopStarted();
        Settle();
    }
    // EndCase at the end of the scope it is made in: one at the top of a
    // table's loop ends every case, also one left by an ASSERT.
    class CaseGuard {
      public:
        explicit CaseGuard(BusTest* test) : test_(test) {}
        ~CaseGuard() { test_->EndCase(); }
        CaseGuard(const CaseGuard&) = delete;
        CaseGuard& operator=(const CaseGuard&) = delete;

      private:
        BusTest* test_;
    };
    // The real clock, and the wait until the simulator has heard every line
    // sent to it.
    void Settle() {
        WinapiUseRealClock();
        WaitHeard();
    }
    // A bounded wait until the simulator has heard every line sent to it:
    // before a count of lines, or a check that none was sent.
    void WaitHeard() {
        const size_t sent = Sent();
        std::unique_lock<std::mutex> lock(heardLock_);
        EXPECT_TRUE(heardChanged_.wait_for(lock, std::chrono::milliseconds(kHeardWithinMs),
                                           [&] { return heard_.size() >= sent; }))
            << "the simulator heard " << heard_.size() << " of the " << sent << " lines sent";
    }
    // The wait of the processing loops before the manual clock moves.
    telviotest::Heard UntilHeard() {
        return [this] { WaitHeard(); };
    }
    // Lines written to the modules' port since the test began.
    size_t Sent() const { return static_cast<size_t>(WinapiCommLinesWritten(kPort) - sentBefore_); }

    // ---- What the modules received ----

    // The lines since the log was cleared (a module with checksums: without
    // its two digits).
    Lines Wire(int checksums = 0) const {
        Lines lines;
        for (const modsim::LogEntry& e : bus.Log())
            lines.push_back(checksums && e.line.size() > 2 ? e.line.substr(0, e.line.size() - 2)
                                                           : e.line);
        return lines;
    }
    // The lines after the first one equal to `line`.
    Lines After(const std::string& line, int checksums = 0) const {
        Lines wire = Wire(checksums);
        for (size_t i = 0; i < wire.size(); i++)
            if (wire[i] == line) return Lines(wire.begin() + static_cast<long>(i) + 1, wire.end());
        return {};
    }
    // What the module at `address` received after its model query.
    Lines AfterModel(int address = 1) const {
        char model[8];
        snprintf(model, sizeof model, "$%02XM", address & 0xFF);
        return After(model);
    }
    // The lines from the first one that starts with `head` on.
    Lines WireFrom(const std::string& head) const {
        Lines all = Wire();
        for (size_t i = 0; i < all.size(); i++)
            if (all[i].compare(0, head.size(), head) == 0)
                return Lines(all.begin() + static_cast<long>(i), all.end());
        return {};
    }
    // The lines that start with `head` (a line may carry its checksum).
    Lines Starting(const std::string& head) const {
        Lines out;
        for (const std::string& l : Wire())
            if (l.compare(0, head.size(), head) == 0) out.push_back(l);
        return out;
    }
    int Count(const std::string& line) const {
        Lines wire = Wire();
        return static_cast<int>(std::count(wire.begin(), wire.end(), line));
    }
    int CountStarting(const std::string& head) const {
        return static_cast<int>(Starting(head).size());
    }
    modsim::Module ModuleAt(int address) const {
        modsim::Module m;
        EXPECT_EQ(1, bus.GetModule(address, &m)) << "a module at " << address;
        return m;
    }

    // ---- What the user saw ----

    static const hostsim::Warning* LastWarning() {
        const std::vector<hostsim::Warning>& w = hostsim::Warnings();
        return w.empty() ? nullptr : &w.back();
    }
    static std::string LastWarningText() {
        return LastWarning() ? LastWarning()->text : std::string();
    }

    modsim::Bus bus;

  private:
    static constexpr size_t kNotSwitched = static_cast<size_t>(-1);

    int SendStart(hostsim::Block* b) {
        SetRunning(1);
        if (std::find(started_.begin(), started_.end(), b) == started_.end()) started_.push_back(b);
        return hostsim::SendClassMessage(b, MODMSG_START, 0, 0);
    }
    void Forget(hostsim::Block* b) {
        started_.erase(std::remove(started_.begin(), started_.end(), b), started_.end());
    }
    // The blocks started and not stopped are stopped, those the host still
    // holds; the clock is real.
    void StopStarted() {
        WinapiUseRealClock();
        for (hostsim::Block* b : started_)
            for (int i = 0; i < hostsim::BlockCount(); i++)
                if (hostsim::BlockAt(i) == b) hostsim::SendClassMessage(b, MODMSG_STOP, 0, 0);
        started_.clear();
        SetRunning(0);
    }

    // Every line the simulator heard, in order, from its serving thread:
    // the n-th is the n-th sent.
    void OnHeard(const modsim::LogEntry& e) {
        std::lock_guard<std::mutex> lock(heardLock_);
        if (silentFrom_ >= 0 && e.address == silentFrom_) {
            WinapiUseManualClock(GetTickCount());
            switchedAt_ = heard_.size();
            silentFrom_ = -1;
        }
        heard_.push_back(e);
        heardChanged_.notify_all();
    }
    // The lines sent from `from` to `to` (they have been heard) went
    // unanswered.
    void ExpectUnanswered(size_t from, size_t to, const char* what) {
        std::lock_guard<std::mutex> lock(heardLock_);
        for (size_t i = from; i < to && i < heard_.size(); i++)
            EXPECT_TRUE(heard_[i].reply.empty())
                << what << ": the module answered " << heard_[i].line
                << "; on the manual clock its reply may be lost: start on the real clock";
    }

    unsigned long sentBefore_ = 0;
    std::vector<hostsim::Block*> started_;
    std::mutex heardLock_;
    std::condition_variable heardChanged_;
    std::vector<modsim::LogEntry> heard_;
    std::atomic<int> silentFrom_{-1};
    std::atomic<size_t> switchedAt_{kNotSwitched};
};

} // namespace telviotest

#endif
