// The analog input modules with two alarm outputs, a digital input and an event counter (6011,
// 6012 and their series), and the counter and frequency modules (6080 and its series).
//
// Alarm input module, reply layouts:
//   "@AADI"        "!AA" M OO II: alarm mode ('0' off, '1' momentary, '2' latched), the digital
//                  outputs (bit 0 low alarm, bit 1 high alarm) and the digital inputs, in hex
//   "@AARH" "@AARL" "!AA" and the high or low limit as a signed decimal number
//   "@AARE"        "!AA" and the event count in decimal
//   "@AAHI(n)" "@AALO(n)" "@AAEAL" "@AAEAM" "@AADA" "@AACA" "@AACE" "@AADO(hh)"   "!AA"
// Counter module:
//   "#AAN"  ">" counter N in 8 hexadecimal digits; "#AAND" in decimal
//   "@AADI" "!AA0" OO "00": the two outputs (alarm or digital)
//   "$AAB" "$AAA" "!AA" and the input type or the gate mode in 2 hexadecimal digits
//   "$AA4"  "!AA" and '0' or '1' (digital filter)
//   "$AA0L" "$AA0H" "$AA1L" "$AA1H"  "!AA" and the minimum width (us) or trigger level
//           (tenths of a volt) in decimal
//   "@AAGN" "@AARP" "@AARA"  "!AA" and the preset of counter N or an alarm limit in 8 hex digits
//   setting commands of each, "$AA6N" (preset into counter), "$AA5N0/1" (stop, start),
//   "@AAEAN" "@AADAN" (alarm of counter N on, off), "@AADO(hh)"  "!AA"
#include "modsim.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace modsim {

namespace {

std::string Ack(const Module& m) {
    char text[8];
    snprintf(text, sizeof text, "!%02X", m.address & 0xFF);
    return text;
}

std::string Format(const char* format, double value) {
    char text[48];
    snprintf(text, sizeof text, format, value);
    return text;
}

std::string Format(const char* format, int value) {
    char text[48];
    snprintf(text, sizeof text, format, value);
    return text;
}

std::string FormatUnsigned(const Module& m, const char* format, unsigned value) {
    char text[48];
    snprintf(text, sizeof text, format, m.address & 0xFF, value);
    return text;
}

// A whole number text of `digits` decimal digits (0: any count from 1).
int ParseDecimal(const std::string& text, size_t digits, int* out) {
    if (text.empty() || (digits && text.size() != digits) || text.size() > 9) return 0;
    for (char ch : text)
        if (ch < '0' || ch > '9') return 0;
    *out = atoi(text.c_str());
    return 1;
}

int ParseHex(const std::string& text, size_t digits, unsigned* out) {
    if (text.size() != digits) return 0;
    unsigned v = 0;
    for (char ch : text) {
        int d = HexDigit(ch);
        if (d < 0 || (ch >= 'a' && ch <= 'f')) return 0;
        v = v * 16 + static_cast<unsigned>(d);
    }
    *out = v;
    return 1;
}

// A limit as the module takes it: a sign, digits and a decimal point.
int ParseLimit(const std::string& text, double* out) {
    if (text.size() < 2 || (text[0] != '+' && text[0] != '-')) return 0;
    char* end = nullptr;
    double v = strtod(text.c_str(), &end);
    if (!end || *end || !std::isfinite(v)) return 0;
    *out = v;
    return 1;
}

int Set(Module& m, const Command& c, std::string& reply) {
    m.writes.push_back(c.text);
    reply = Ack(m);
    return 1;
}

// ---- analog input with alarm outputs ----

// The alarm outputs as the input stands now; a latched alarm holds its outputs.
unsigned AlarmOutputs(Module& m, double timeS) {
    if (m.alarm.mode == '0') return m.digitalOutputs & 3u;
    double v = m.Channel(0, timeS);
    unsigned now = (v < m.alarm.low ? 1u : 0u) | (v > m.alarm.high ? 2u : 0u);
    if (m.alarm.mode == '2') {
        m.alarm.latched |= now;
        now = m.alarm.latched;
    }
    return now;
}

int AlarmReadState(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    char text[16];
    snprintf(text, sizeof text, "!%02X%c%02X%02X", m.address & 0xFF, m.alarm.mode,
             AlarmOutputs(m, c.timeS), m.digitalInputs & 0xFF);
    reply = text;
    return 1;
}

int AlarmReadLimit(Module& m, const Command& c, std::string& reply) {
    if (c.args != "H" && c.args != "L") return 0;
    reply = Ack(m) + Format("%+.6f", c.args == "H" ? m.alarm.high : m.alarm.low);
    return 1;
}

int AlarmSetHigh(Module& m, const Command& c, std::string& reply) {
    if (!ParseLimit(c.args, &m.alarm.high)) return 0;
    return Set(m, c, reply);
}

int AlarmSetLow(Module& m, const Command& c, std::string& reply) {
    if (!ParseLimit(c.args, &m.alarm.low)) return 0;
    return Set(m, c, reply);
}

int AlarmEnable(Module& m, const Command& c, std::string& reply) {
    if (c.args != "L" && c.args != "M") return 0;
    m.alarm.mode = c.args == "L" ? '2' : '1';
    m.alarm.latched = 0;
    return Set(m, c, reply);
}

int AlarmDisable(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    m.alarm.mode = '0';
    m.alarm.latched = 0;
    return Set(m, c, reply);
}

int AlarmClearLatch(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    m.alarm.latched = 0;
    return Set(m, c, reply);
}

int ClearEvents(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    m.events = 0;
    return Set(m, c, reply);
}

// "@AADOhh": the outputs the host sets; a module whose outputs are its alarms refuses.
int AlarmWriteOutputs(Module& m, const Command& c, std::string& reply) {
    unsigned v;
    if (!ParseHex(c.args, 2, &v) || m.alarm.mode != '0') return 0;
    m.digitalOutputs = v & 3u;
    return Set(m, c, reply);
}

// ---- counter and frequency ----

int Counter(const std::string& text, size_t at) {
    if (text.size() <= at) return -1;
    int n = HexDigit(text[at]);
    return n == 0 || n == 1 ? n : -1;
}

// The count: the counter register, and while it runs the input channel's value as the counts
// that came in; in frequency mode (type code 0x51) the input channel is the frequency.
unsigned Reading(const Module& m, int n, double timeS) {
    double in = m.Channel(n, timeS);
    unsigned counts = in > 0.0 ? static_cast<unsigned>(in) : 0u;
    if (m.typeCode == 0x51) return counts;
    return m.counters[n] + (m.counter.running[n] ? counts : 0u);
}

int CounterRead(Module& m, const Command& c, std::string& reply) {
    const std::string& a = c.args;
    int n = Counter(a, 0);
    if (n < 0 || a.size() > 2 || (a.size() == 2 && a[1] != 'D')) return 0;
    char text[24];
    snprintf(text, sizeof text, a.size() == 2 ? ">%08u" : ">%08X", Reading(m, n, c.timeS));
    reply = text;
    return 1;
}

unsigned CounterOutputs(const Module& m, double timeS) {
    unsigned out = m.digitalOutputs & 3u;
    for (int i = 0; i < 2; i++) {
        if (!m.counter.alarmOn[i]) continue;
        out &= ~(1u << i);
        if (Reading(m, i, timeS) >= m.counter.alarmLimit[i]) out |= 1u << i;
    }
    return out;
}

int CounterReadOutputs(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    reply = FormatUnsigned(m, "!%02X0%02X00", CounterOutputs(m, c.timeS));
    return 1;
}

int CounterWriteOutputs(Module& m, const Command& c, std::string& reply) {
    unsigned v;
    if (!ParseHex(c.args, 2, &v)) return 0;
    m.digitalOutputs = v & 3u;
    return Set(m, c, reply);
}

// A setting read with its key alone and written with its key and value.
int HexSetting(Module& m, const Command& c, std::string& reply, int* field, int high) {
    if (c.args.empty()) {
        reply = FormatUnsigned(m, "!%02X%02X", static_cast<unsigned>(*field));
        return 1;
    }
    unsigned v;
    if (!ParseHex(c.args, 1, &v) || static_cast<int>(v) > high) return 0;
    *field = static_cast<int>(v);
    return Set(m, c, reply);
}

int InputType(Module& m, const Command& c, std::string& reply) {
    return HexSetting(m, c, reply, &m.counter.inputType, 1);
}

int GateMode(Module& m, const Command& c, std::string& reply) {
    return HexSetting(m, c, reply, &m.counter.gateMode, 2);
}

int Filter(Module& m, const Command& c, std::string& reply) {
    if (c.args.empty()) {
        reply = Ack(m) + (m.counter.filter ? "1" : "0");
        return 1;
    }
    if (c.args != "0" && c.args != "1") return 0;
    m.counter.filter = c.args == "1";
    return Set(m, c, reply);
}

// A decimal pair of settings, low ("L") and high ("H"): read with the letter alone, written
// with the letter and `digits` digits (0: four or five) within low..high.
struct DecimalPair {
    int* low;
    int* high;
    size_t digits;
    int least, most;
    const char* reply; // format of the reply, after the address
};

int DecimalSetting(Module& m, const Command& c, std::string& reply, const DecimalPair& pair) {
    if (c.args.empty() || (c.args[0] != 'L' && c.args[0] != 'H')) return 0;
    int* field = c.args[0] == 'L' ? pair.low : pair.high;
    std::string value = c.args.substr(1);
    if (value.empty()) {
        reply = Ack(m) + Format(pair.reply, *field);
        return 1;
    }
    int v;
    bool width = pair.digits ? value.size() == pair.digits : value.size() == 4 || value.size() == 5;
    if (!width || !ParseDecimal(value, 0, &v) || v < pair.least || v > pair.most) return 0;
    *field = v;
    return Set(m, c, reply);
}

// "$AA0L", "$AA0H": the filter's minimum widths in microseconds.
int Width(Module& m, const Command& c, std::string& reply) {
    return DecimalSetting(m, c, reply,
                          {&m.counter.widthLow, &m.counter.widthHigh, 0, 2, 65535, "%d"});
}

// "$AA1L", "$AA1H": the TTL trigger levels in tenths of a volt.
int Trigger(Module& m, const Command& c, std::string& reply) {
    return DecimalSetting(m, c, reply, {&m.counter.trigLow, &m.counter.trigHigh, 2, 1, 50, "%02d"});
}

int ReadPreset(Module& m, const Command& c, std::string& reply) {
    int n = Counter(c.args, 0);
    if (n < 0 || c.args.size() != 1) return 0;
    reply = FormatUnsigned(m, "!%02X%08X", m.counter.preset[n]);
    return 1;
}

int SetPreset(Module& m, const Command& c, std::string& reply) {
    int n = Counter(c.args, 0);
    unsigned v;
    if (n < 0 || !ParseHex(c.args.substr(1), 8, &v)) return 0;
    m.counter.preset[n] = v;
    return Set(m, c, reply);
}

int LoadPreset(Module& m, const Command& c, std::string& reply) {
    int n = Counter(c.args, 0);
    if (n < 0 || c.args.size() != 1) return 0;
    m.counters[n] = m.counter.preset[n];
    return Set(m, c, reply);
}

int RunCounter(Module& m, const Command& c, std::string& reply) {
    int n = Counter(c.args, 0);
    if (n < 0 || c.args.size() != 2 || (c.args[1] != '0' && c.args[1] != '1')) return 0;
    m.counter.running[n] = c.args[1] == '1';
    return Set(m, c, reply);
}

int ReadAlarmLimit(Module& m, const Command& c, std::string& reply) {
    if (c.args != "P" && c.args != "A") return 0;
    reply = FormatUnsigned(m, "!%02X%08X", m.counter.alarmLimit[c.args == "P" ? 0 : 1]);
    return 1;
}

int SetAlarmLimit0(Module& m, const Command& c, std::string& reply) {
    if (!ParseHex(c.args, 8, &m.counter.alarmLimit[0])) return 0;
    return Set(m, c, reply);
}

int SetAlarmLimit1(Module& m, const Command& c, std::string& reply) {
    if (!ParseHex(c.args, 8, &m.counter.alarmLimit[1])) return 0;
    return Set(m, c, reply);
}

int CounterAlarm(Module& m, const Command& c, std::string& reply, int on) {
    int n = Counter(c.args, 0);
    if (n < 0 || c.args.size() != 1) return 0;
    m.counter.alarmOn[n] = on;
    return Set(m, c, reply);
}

int CounterAlarmOn(Module& m, const Command& c, std::string& reply) {
    return CounterAlarm(m, c, reply, 1);
}

int CounterAlarmOff(Module& m, const Command& c, std::string& reply) {
    return CounterAlarm(m, c, reply, 0);
}

} // namespace

const CommandEntry kAlarmInputCommands[] = {
    {'@', "DI", AlarmReadState}, {'@', "DO", AlarmWriteOutputs}, {'@', "DA", AlarmDisable},
    {'@', "RE", ReadEvents},     {'@', "R", AlarmReadLimit},     {'@', "HI", AlarmSetHigh},
    {'@', "LO", AlarmSetLow},    {'@', "EA", AlarmEnable},       {'@', "CA", AlarmClearLatch},
    {'@', "CE", ClearEvents},    {'#', "", ReadAnalog},          {0, nullptr, nullptr},
};

const CommandEntry kCounterCommands[] = {
    {'@', "DI", CounterReadOutputs},
    {'@', "DO", CounterWriteOutputs},
    {'@', "DA", CounterAlarmOff},
    {'@', "EA", CounterAlarmOn},
    {'@', "R", ReadAlarmLimit},
    {'@', "PA", SetAlarmLimit0},
    {'@', "SA", SetAlarmLimit1},
    {'@', "G", ReadPreset},
    {'@', "P", SetPreset},
    {'$', "B", InputType},
    {'$', "A", GateMode},
    {'$', "4", Filter},
    {'$', "0", Width},
    {'$', "1", Trigger},
    {'$', "6", LoadPreset},
    {'$', "5", RunCounter},
    {'#', "", CounterRead},
    {0, nullptr, nullptr},
};

} // namespace modsim
