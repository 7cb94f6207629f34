// The analog input modules' own commands: the channel enables, the type of
// each channel, the temperature scale and the channel alarms of the
// thermistor module, and its digital outputs. Replies are built from the
// modules' reply layouts; each setting is kept in the module's state.
#include "modsim.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace modsim {

namespace {

std::string AckReply(int address) {
    char text[8];
    snprintf(text, sizeof text, "!%02X", address & 0xFF);
    return text;
}

int ChannelOf(const Module& m, char digit) {
    int channel = HexDigit(digit);
    return channel >= 0 && channel < m.profile->analogInputs ? channel : -1;
}

int HexPair(const std::string& s, size_t at) {
    if (at + 2 > s.size()) return -1;
    int hi = HexDigit(s[at]);
    int lo = HexDigit(s[at + 1]);
    return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

// "$AA6": "!AAMM", the channel-enable mask.
int ReadChannelEnable(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    char text[16];
    snprintf(text, sizeof text, "!%02X%02X", m.address & 0xFF, m.channelEnable & 0xFF);
    reply = text;
    return 1;
}

// "$AA5MM": the channel-enable mask; answered "!AA".
int SetChannelEnable(Module& m, const Command& c, std::string& reply) {
    int mask = c.args.size() == 2 ? HexPair(c.args, 0) : -1;
    if (mask < 0) return 0;
    m.channelEnable = static_cast<unsigned>(mask);
    m.writes.push_back(c.text);
    reply = AckReply(m.address);
    return 1;
}

// "$AA8Cn": "!AACnRtt", the type code of channel n.
int ReadChannelType(Module& m, const Command& c, std::string& reply) {
    if (c.args.size() != 2 || c.args[0] != 'C') return 0;
    int channel = ChannelOf(m, c.args[1]);
    if (channel < 0) return 0;
    char text[24];
    snprintf(text, sizeof text, "!%02XC%XR%02X", m.address & 0xFF, channel,
             m.channelTypes[channel]);
    reply = text;
    return 1;
}

// "$AA7CnRtt": the type code of channel n, one the model has; answered "!AA".
int SetChannelType(Module& m, const Command& c, std::string& reply, int (*known)(int code)) {
    const std::string& a = c.args;
    if (a.size() != 5 || a[0] != 'C' || a[2] != 'R') return 0;
    int channel = ChannelOf(m, a[1]);
    int code = HexPair(a, 3);
    if (channel < 0 || code < 0 || !known(code)) return 0;
    m.channelTypes[channel] = static_cast<unsigned char>(code);
    m.writes.push_back(c.text);
    reply = AckReply(m.address);
    return 1;
}

// The type codes of the models: RTD sensors of the six-channel module,
// voltage, current and thermocouple ranges of the universal module,
// thermistors (and the user-defined ones) of the thermistor module.
int Rtd6015Code(int code) {
    return code >= 0x20 && code <= 0x2D;
}
int Universal6019Code(int code) {
    return code >= 0x00 && code <= 0x18;
}
int Thermistor6005Code(int code) {
    return (code >= 0x60 && code <= 0x6C) || (code >= 0x70 && code <= 0x77);
}

int SetChannelType6015(Module& m, const Command& c, std::string& reply) {
    return SetChannelType(m, c, reply, Rtd6015Code);
}
int SetChannelType6019(Module& m, const Command& c, std::string& reply) {
    return SetChannelType(m, c, reply, Universal6019Code);
}
int SetChannelType6005(Module& m, const Command& c, std::string& reply) {
    return SetChannelType(m, c, reply, Thermistor6005Code);
}

// "~AADC", "~AADF": the temperature scale; answered "!AA".
int SetScale(Module& m, const Command& c, std::string& reply) {
    if (c.body != "DC" && c.body != "DF") return 0;
    m.fahrenheit = c.body == "DF";
    m.writes.push_back(c.text);
    reply = AckReply(m.address);
    return 1;
}

// A limit as the module takes it: sign, three digits, point, two decimals.
int ParseLimit(const std::string& text, double* out) {
    if (text.size() != 7 || (text[0] != '+' && text[0] != '-') || text[4] != '.') return 0;
    for (size_t i = 1; i < 7; ++i)
        if (i != 4 && (text[i] < '0' || text[i] > '9')) return 0;
    *out = strtod(text.c_str(), nullptr);
    return 1;
}

// "@AAHI<limit>Cn<LO|MO>d" and "@AALO...": a channel's high or low alarm,
// latched ("LO") or momentary ("MO"), driving alarm output d; answered "!AA".
int SetAlarm(Module& m, const Command& c, std::string& reply, ChannelAlarm* alarms) {
    const std::string& a = c.args; // "+035.50C2LO1"
    double limit = 0;
    if (a.size() != 12 || !ParseLimit(a.substr(0, 7), &limit) || a[7] != 'C') return 0;
    int channel = ChannelOf(m, a[8]);
    std::string mode = a.substr(9, 2);
    int output = a[11] - '0';
    if (channel < 0 || (mode != "LO" && mode != "MO") || output < 0 || output > 5) return 0;
    ChannelAlarm& alarm = alarms[channel];
    alarm.on = 1;
    alarm.limit = limit;
    alarm.latched = mode == "LO";
    alarm.output = output;
    m.writes.push_back(c.text);
    reply = AckReply(m.address);
    return 1;
}
int SetHighAlarm(Module& m, const Command& c, std::string& reply) {
    return SetAlarm(m, c, reply, m.highAlarms);
}
int SetLowAlarm(Module& m, const Command& c, std::string& reply) {
    return SetAlarm(m, c, reply, m.lowAlarms);
}

// "@AADHCn", "@AADLCn": a channel's high or low alarm off; answered "!AA".
int AlarmOff(Module& m, const Command& c, std::string& reply, ChannelAlarm* alarms) {
    if (c.args.size() != 1) return 0;
    int channel = ChannelOf(m, c.args[0]);
    if (channel < 0) return 0;
    alarms[channel].on = 0;
    m.writes.push_back(c.text);
    reply = AckReply(m.address);
    return 1;
}
int HighAlarmOff(Module& m, const Command& c, std::string& reply) {
    return AlarmOff(m, c, reply, m.highAlarms);
}
int LowAlarmOff(Module& m, const Command& c, std::string& reply) {
    return AlarmOff(m, c, reply, m.lowAlarms);
}

// "@AADI": "!AADD", the states of the digital (alarm) outputs.
int ReadOutputs6005(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    char text[16];
    snprintf(text, sizeof text, "!%02X%02X", m.address & 0xFF, m.digitalOutputs & 0xFF);
    reply = text;
    return 1;
}

} // namespace

const CommandEntry k6017Commands[] = {
    {'$', "6", ReadChannelEnable},
    {'$', "5", SetChannelEnable},
    {'#', "", ReadAnalog},
    {0, nullptr, nullptr},
};

const CommandEntry k6015Commands[] = {
    {'$', "8", ReadChannelType},
    {'$', "7", SetChannelType6015},
    {'#', "", ReadAnalog},
    {0, nullptr, nullptr},
};

const CommandEntry k6019Commands[] = {
    {'$', "8", ReadChannelType},
    {'$', "7", SetChannelType6019},
    {'#', "", ReadAnalog},
    {0, nullptr, nullptr},
};

const CommandEntry k6005Commands[] = {
    {'$', "8", ReadChannelType},  {'$', "7", SetChannelType6005}, {'$', "5", SetChannelEnable},
    {'~', "DC", SetScale},        {'~', "DF", SetScale},          {'@', "HI", SetHighAlarm},
    {'@', "LO", SetLowAlarm},     {'@', "DHC", HighAlarmOff},     {'@', "DLC", LowAlarmOff},
    {'@', "DI", ReadOutputs6005}, {'#', "", ReadAnalog},          {0, nullptr, nullptr},
};

} // namespace modsim
