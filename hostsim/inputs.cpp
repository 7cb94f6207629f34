// Input channels of blocks: what feeds them (another block's output channel
// or a generator of the host's own), the data blocks that wait at them, and
// GetInputBlock / NewReleaseInputBlock as the plug-in calls them.
#include "hostsim/internal.h"

#include <math.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <sstream>

namespace hostsim {

namespace {

struct InputState {
    int released = 0;
    int missed = 0;
};

InputState& I() {
    static InputState s;
    return s;
}

const char* const kKindNames[] = {"none", "block", "constant", "step", "ramp", "square"};

double GeneratorValue(const InputSource& g, double t) {
    switch (g.kind) {
    case INPUT_CONSTANT: return g.a;
    case INPUT_STEP: return t < g.c ? g.a : g.b;
    case INPUT_RAMP: {
        double phase = fmod(t, g.c) / g.c;
        return g.a + (g.b - g.a) * phase;
    }
    case INPUT_SQUARE: return fmod(t, g.c) < g.c / 2.0 ? g.a : g.b;
    default: return 0.0;
    }
}

int IsGenerator(InputSourceKind kind) {
    return kind == INPUT_CONSTANT || kind == INPUT_STEP || kind == INPUT_RAMP ||
           kind == INPUT_SQUARE;
}

std::string Number(double v) {
    char buf[40];
    snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

int ParseNumberWord(const std::string& w, double* out) {
    if (w.empty()) return 0;
    char* end = nullptr;
    double v = strtod(w.c_str(), &end);
    if (end == w.c_str() || *end != 0 || !isfinite(v)) return 0;
    *out = v;
    return 1;
}

} // namespace

namespace {

// Why the source cannot feed an input; empty when it can.
std::string CheckSource(const InputSource& source) {
    if (source.kind == INPUT_BLOCK && (source.output < 0 || source.output > 15))
        return "output " + std::to_string(source.output) + " is not one of 0..15";
    if (source.kind == INPUT_BLOCK && source.block.empty()) return "no block name";
    if (IsGenerator(source.kind) && !(source.every > 0.0 && isfinite(source.every)))
        return "a generator needs a sample spacing above 0";
    if ((source.kind == INPUT_RAMP || source.kind == INPUT_SQUARE) &&
        !(source.c > 0.0 && isfinite(source.c))) {
        return "a ramp or square needs a period above 0";
    }
    return "";
}

} // namespace

int ConnectInput(Block* block, int input, const InputSource& source, std::string* error) {
    std::string why;
    if (block == nullptr) {
        why = "no block";
    } else if (input < 0 || input > 15) {
        why = "input " + std::to_string(input) + " is not one of 0..15";
    } else {
        why = CheckSource(source);
    }
    if (!why.empty()) {
        if (error) *error = why;
        return 0;
    }
    block->inputSources[input] = source;
    block->waiting[input].clear();
    block->inputTaken[input] = false;
    block->nextGenerated[input] = 0.0;
    return 1;
}

std::string FormatInputSource(const InputSource& s) {
    switch (s.kind) {
    case INPUT_BLOCK: {
        std::string quoted = "\"";
        for (char c : s.block) {
            if (c == '"' || c == '\\') quoted += '\\';
            quoted += c;
        }
        return "block " + quoted + "\" output " + std::to_string(s.output);
    }
    case INPUT_CONSTANT: return "constant " + Number(s.a) + " every " + Number(s.every);
    case INPUT_STEP:
    case INPUT_RAMP:
    case INPUT_SQUARE:
        return std::string(kKindNames[s.kind]) + " " + Number(s.a) + " " + Number(s.b) + " " +
               Number(s.c) + " every " + Number(s.every);
    default: return "none";
    }
}

int ParseInputSource(const std::string& text, InputSource* out, std::string* error) {
    InputSource s;
    std::string why;
    std::istringstream in(text);
    std::string kind;
    in >> kind;
    if (kind == "none") {
        std::string rest;
        if (in >> rest) why = "nothing may follow none";
    } else if (kind == "block") {
        // block "NAME" output N
        std::string rest;
        std::getline(in, rest);
        size_t a = rest.find('"');
        size_t b = a == std::string::npos ? a : a + 1;
        std::string name;
        for (; b != std::string::npos && b < rest.size() && rest[b] != '"'; b++) {
            if (rest[b] == '\\' && b + 1 < rest.size()) b++;
            name += rest[b];
        }
        if (a == std::string::npos || b == std::string::npos || b >= rest.size()) {
            why = "block \"NAME\" output N expected";
        } else {
            std::istringstream tail(rest.substr(b + 1));
            std::string word, number, extra;
            tail >> word >> number >> extra;
            char* end = nullptr;
            long n = strtol(number.c_str(), &end, 10);
            if (word != "output" || number.empty() || *end != 0 || !extra.empty()) {
                why = "block \"NAME\" output N expected";
            } else {
                s.kind = INPUT_BLOCK;
                s.block = name;
                s.output = static_cast<int>(n < -1 ? -1 : (n > 16 ? 16 : n));
            }
        }
    } else {
        int params = 0;
        if (kind == "constant") {
            s.kind = INPUT_CONSTANT;
            params = 1;
        } else if (kind == "step" || kind == "ramp" || kind == "square") {
            s.kind = kind == "step" ? INPUT_STEP : kind == "ramp" ? INPUT_RAMP : INPUT_SQUARE;
            params = 3;
        } else {
            why =
                "unknown input source \"" + kind + "\" (none, block, constant, step, ramp, square)";
        }
        double* values[] = {&s.a, &s.b, &s.c};
        for (int i = 0; why.empty() && i < params; i++) {
            std::string w;
            in >> w;
            if (!ParseNumberWord(w, values[i])) why = "the " + kind + " needs its numbers";
        }
        std::string word;
        if (why.empty() && in >> word) {
            std::string w, extra;
            in >> w >> extra;
            if (word != "every" || !ParseNumberWord(w, &s.every) || !extra.empty())
                why = "only \"every SECONDS\" may follow the numbers";
        }
    }
    if (why.empty()) why = CheckSource(s);
    if (!why.empty()) {
        if (error) *error = why;
        return 0;
    }
    *out = s;
    return 1;
}

void QueueInputBlock(Block* block, int input, double time, double sampleDistance,
                     const std::vector<float>& samples) {
    if (block == nullptr || input < 0 || input > 15) return;
    size_t n = samples.size() > 65535 ? 65535 : samples.size();
    WaitingBlock w;
    w.bytes.assign(offsetof(DataBlock, afSamples) + (n > 0 ? n : 1) * sizeof(float), 0);
    DataBlock* d = reinterpret_cast<DataBlock*>(w.bytes.data());
    d->dBlockTime = time;
    d->dBlockSampleDistance = sampleDistance;
    d->wSampleCount = static_cast<WORD>(n);
    if (n > 0) memcpy(w.bytes.data() + offsetof(DataBlock, afSamples), samples.data(), n * 4);
    std::deque<WaitingBlock>& q = block->waiting[input];
    if (q.size() >= INPUT_QUEUE_BLOCKS) {
        // The oldest goes, unless the plug-in holds it: then the next oldest.
        if (block->inputTaken[input]) {
            q.erase(q.begin() + 1);
        } else {
            q.pop_front();
        }
    }
    q.push_back(std::move(w));
}

int WaitingInputBlocks(const Block* block, int input) {
    if (block == nullptr || input < 0 || input > 15) return 0;
    return static_cast<int>(block->waiting[input].size());
}

int InputBlocksReleased() {
    return I().released;
}

int InputBlocksMissed() {
    return I().missed;
}

void RouteReleasedOutput(const ModuleRecord* module, int output, const DataBlock* d) {
    if (module == nullptr || d == nullptr) return;
    std::string name(module->szName, strnlen(module->szName, sizeof module->szName));
    std::vector<float> samples(d->wSampleCount);
    if (!samples.empty())
        memcpy(samples.data(),
               reinterpret_cast<const unsigned char*>(d) + offsetof(DataBlock, afSamples),
               samples.size() * sizeof(float));
    for (int i = 0; i < BlockCount(); i++) {
        Block* b = BlockAt(i);
        for (int k = 0; k < 16; k++) {
            const InputSource& s = b->inputSources[k];
            if (s.kind == INPUT_BLOCK && s.output == output && s.block == name)
                QueueInputBlock(b, k, d->dBlockTime, d->dBlockSampleDistance, samples);
        }
    }
}

void RunGenerators(double now) {
    for (int i = 0; i < BlockCount(); i++) {
        Block* b = BlockAt(i);
        for (int k = 0; k < 16; k++) {
            const InputSource& s = b->inputSources[k];
            if (!IsGenerator(s.kind)) continue;
            // At most one queue's worth per call, so a long pause cannot loop for ever.
            for (int n = 0; n < INPUT_QUEUE_BLOCKS && b->nextGenerated[k] <= now; n++) {
                double t = b->nextGenerated[k];
                QueueInputBlock(b, k, t, s.every, {static_cast<float>(GeneratorValue(s, t))});
                b->nextGenerated[k] = t + s.every;
            }
        }
    }
}

void ResetInputs() {
    I() = InputState();
    for (int i = 0; i < BlockCount(); i++) {
        Block* b = BlockAt(i);
        for (int k = 0; k < 16; k++) {
            b->waiting[k].clear();
            b->inputTaken[k] = false;
            b->nextGenerated[k] = 0.0;
        }
    }
}

DataBlock* WINAPI HostGetInputBlock(ModuleRecord* module, int input) {
    Block* b = FindBlock(module);
    if (b == nullptr || input < 0 || input > 15 || static_cast<UINT>(input) >= b->record.uInputs ||
        b->waiting[input].empty()) {
        I().missed++;
        return nullptr;
    }
    b->inputTaken[input] = true;
    return reinterpret_cast<DataBlock*>(b->waiting[input].front().bytes.data());
}

void WINAPI HostNewReleaseInputBlock(ModuleRecord* module, int input, const char*, int) {
    Block* b = FindBlock(module);
    if (b == nullptr || input < 0 || input > 15 || !b->inputTaken[input] ||
        b->waiting[input].empty()) {
        return;
    }
    b->waiting[input].pop_front();
    b->inputTaken[input] = false;
    I().released++;
}

} // namespace hostsim
