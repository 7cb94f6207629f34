// The experiment as the plug-in sees it: its clock, its stop, and the global
// strings a block's error policy writes.
#include "hostsim/internal.h"

#include <map>

namespace hostsim {

namespace {

struct ExperimentState {
    DWORD startTick = 0;
    int stopCalls = 0;
    int stringWrites = 0;
    std::map<int, std::string> strings;
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

} // namespace hostsim
