// The experiment: its clock, its stop, the global strings a block's error
// policy writes, and the host's run of a worksheet: channel timing, start,
// the processing cycles and stop.
#include "hostsim/internal.h"

#include <math.h>
#ifndef _WIN32
#include <time.h>
#endif

#include <chrono>
#include <map>

namespace hostsim {

namespace {

struct ExperimentState {
    DWORD startTick = 0;
    int stopCalls = 0;
    int stringWrites = 0;
    std::map<int, std::string> strings;
    int running = 0;
    int stopRequested = 0;
};

ExperimentState& E() {
    static ExperimentState s;
    return s;
}

} // namespace

int WINAPI HostGlStr_Set(WORD number, const char* text, int length) {
    if (text == nullptr || length < 0) return 0;
    E().strings[number] = std::string(text, static_cast<size_t>(length));
    E().stringWrites++;
    return 1;
}

void WINAPI HostStopExperiment() {
    E().stopCalls++;
    if (E().running) E().stopRequested = 1;
}

double WINAPI HostCurrentExperimentTime(int) {
    return static_cast<DWORD>(GetTickCount() - E().startTick) / 1000.0;
}

void ResetExperiment() {
    E() = ExperimentState();
    E().startTick = GetTickCount();
}

void StartExperimentClock() {
    E().startTick = GetTickCount();
}

int StopExperimentCalls() {
    return E().stopCalls;
}

std::string GlobalString(int number) {
    auto it = E().strings.find(number);
    return it == E().strings.end() ? std::string() : it->second;
}

int GlobalStringWrites() {
    return E().stringWrites;
}

int ExperimentRunning() {
    return E().running;
}

double ExperimentTime() {
    return HostCurrentExperimentTime(1);
}

namespace {

int Send(int index, Block* block, int msg, int wParam, ExperimentResult* r) {
    int answer = SendClassMessage(block, msg, wParam, 0);
    r->messages.push_back({index, msg, wParam, answer});
    return answer;
}

// The plug-in's own state variables; a plug-in that offers none is not told.
void SetRunningFlag(int running) {
    BOOL flag = running ? TRUE : FALSE;
    WriteDllVariable("bExperimentIsRunning", &flag, sizeof flag);
}

} // namespace

namespace {

// Durations of calls in steps of 10 ns up to 1 ms, for their medians without
// keeping every call.
class CallHistogram {
  public:
    void Add(double us) {
        size_t bin = us < 0 ? 0 : static_cast<size_t>(us * 100.0);
        if (bin >= bins_.size()) bin = bins_.size() - 1;
        bins_[bin]++;
        count_++;
    }
    double Median() const {
        long half = (count_ + 1) / 2, seen = 0;
        for (size_t i = 0; i < bins_.size(); i++) {
            seen += bins_[i];
            if (seen >= half && count_ > 0) return (static_cast<double>(i) + 0.5) / 100.0;
        }
        return 0.0;
    }

  private:
    std::vector<long> bins_ = std::vector<long>(100001, 0);
    long count_ = 0;
};

// Processor time of this thread, milliseconds; -1 where it is not measured
// (the Windows build: its counter moves in steps of the scheduler's tick).
double ThreadCpuMs() {
#ifdef _WIN32
    return -1.0;
#else
    timespec t;
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t) != 0) return -1.0;
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
#endif
}

double CounterUs(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    if (frequency.QuadPart <= 0) return 0.0;
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1e6 /
           static_cast<double>(frequency.QuadPart);
}

} // namespace

int RunExperiment(const ExperimentOptions& options, ExperimentResult* result) {
    ExperimentResult& r = *result;
    r = ExperimentResult();
    ExperimentState& e = E();
    if (e.running) {
        r.error = "an experiment is running";
        return 0;
    }
    if (!(options.seconds >= 0.0) || !isfinite(options.seconds)) {
        r.error = "the experiment time must be a number of seconds from 0";
        return 0;
    }
    if (options.globalMilliSecondsPerSample >= 0.0) {
        double ms = options.globalMilliSecondsPerSample;
        if (!WriteDllVariable("fGlobalMilliSecondsPerSample", &ms, sizeof ms)) {
            r.error = "the plug-in offers no 8-byte fGlobalMilliSecondsPerSample";
            return 0;
        }
    }
    if (options.globalBlockSize >= 0) {
        if (options.globalBlockSize > 0xFFFFFFFFLL) {
            r.error = "the global block size does not fit 32 bits";
            return 0;
        }
        UINT size = static_cast<UINT>(options.globalBlockSize);
        if (!WriteDllVariable("uiGlobalBlockSize", &size, sizeof size)) {
            r.error = "the plug-in offers no 4-byte uiGlobalBlockSize";
            return 0;
        }
    }
    std::vector<Block*> blocks;
    for (int i = 0; i < BlockCount(); i++)
        blocks.push_back(BlockAt(i));
    r.blocks = static_cast<int>(blocks.size());
    r.firstOutputBlock = ReleasedOutputBlocks().size();

    // The host asks each block for the timing of its output channels.
    for (int i = 0; i < r.blocks; i++) {
        UINT outputs = blocks[static_cast<size_t>(i)]->record.uOutputs;
        for (UINT k = 0; k < outputs && k < 16; k++)
            Send(i, blocks[static_cast<size_t>(i)], MODMSG_CHANNEL_TIMING, static_cast<int>(k), &r);
    }

    e.running = 1;
    e.stopRequested = 0;
    SetRunningFlag(1);
    int sentStart = 0;
    for (int i = 0; i < r.blocks; i++) {
        if (options.beforeStart) options.beforeStart(i);
        int answer = Send(i, blocks[static_cast<size_t>(i)], MODMSG_START, 0, &r);
        sentStart++;
        if (answer == 0) {
            r.failedBlock = i;
            break;
        }
        r.started++;
        if (e.stopRequested) break;
    }
    if (r.failedBlock < 0 && e.stopRequested) r.stoppedDuringStart = 1;
    const int ran = r.failedBlock < 0 && !e.stopRequested;

    if (ran) {
        // Nothing waits at the inputs from before; what onStarted queues does.
        ResetInputs();
        if (options.onStarted) options.onStarted();
        StartExperimentClock();
        DWORD startTicks = GetTickCount();
        WriteDllVariable("dwExperimentStartTimeTicks", &startTicks, sizeof startTicks);
        auto realStart = std::chrono::steady_clock::now();
        CallHistogram idle, busyCalls;
        for (;;) {
            double now = HostCurrentExperimentTime(1);
            if (now >= options.seconds) break;
            if (std::chrono::duration<double>(std::chrono::steady_clock::now() - realStart)
                    .count() > options.realSecondsLimit) {
                r.timedOut = 1;
                break;
            }
            RunGenerators(now);
            int busy = 0;
            const size_t deliveredBefore = ReleasedOutputBlocks().size();
            const int takenBefore = InputBlocksReleased();
            for (Block* b : blocks) {
                LARGE_INTEGER before, after;
                double cpuBefore = 0.0;
                if (options.timeCalls) {
                    cpuBefore = ThreadCpuMs();
                    QueryPerformanceCounter(&before);
                }
                int answer = ProcessBlock(b);
                if (options.timeCalls) {
                    QueryPerformanceCounter(&after);
                    double cpu = cpuBefore >= 0.0 ? ThreadCpuMs() - cpuBefore : -1.0;
                    if (cpu > r.times.longestCpuMs) r.times.longestCpuMs = cpu;
                    double us = CounterUs(before, after);
                    r.times.calls++;
                    if (us / 1000.0 > r.times.longestMs) r.times.longestMs = us / 1000.0;
                    if (answer == 0) {
                        r.times.idleCalls++;
                        idle.Add(us);
                    } else {
                        busyCalls.Add(us);
                    }
                }
                if (answer != 0) busy = 1;
                if (e.stopRequested) break;
            }
            r.cycles++;
            if (e.stopRequested) {
                r.stoppedByPlugin = 1;
                break;
            }
            if (options.onCycle) options.onCycle(r.cycles - 1, busy);
            if (options.until && options.until()) {
                r.ended = 1;
                break;
            }
            // A block waiting for its module's reply answers 1 on every call
            // and would keep the host spinning: the host rests whenever no
            // block delivered a data block or took one of its inputs.
            const bool delivered = ReleasedOutputBlocks().size() != deliveredBefore ||
                                   InputBlocksReleased() != takenBefore;
            if (!delivered && options.idleSleepMs > 0)
                Sleep(static_cast<DWORD>(options.idleSleepMs));
        }
        r.endTime = HostCurrentExperimentTime(1);
        r.times.medianIdleUs = idle.Median();
        r.times.medianBusyUs = busyCalls.Median();
    }

    // Every block that was asked to start is stopped, the one that failed
    // too: its start may have opened the port.
    for (int i = 0; i < sentStart; i++)
        Send(i, blocks[static_cast<size_t>(i)], MODMSG_STOP, 0, &r);
    SetRunningFlag(0);
    e.running = 0;
    e.stopRequested = 0;
    return ran;
}

} // namespace hostsim
