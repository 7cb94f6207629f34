// The analog output modules: the single-channel ones (6021 and its series), the two-channel
// 7022 and the four-channel ones with four digital inputs (6024 and its series).
//
// Single-channel module, reply layouts:
//   "#AA(data)"     the output value, "DD.DDD" answered ">", or signed ("+D.DDD") answered "!AA"
// Two-channel module (7022):
//   "#AAN(data)"    channel N ('0', '1') to the value "DD.DDD", answered ">"
//   "$AA9N"         "!AA" T S: the channel's type ('0' + range) and slew rate (one hex digit)
//   "$AA9NTS"       sets both, answered "!AA"
// Four-channel module:
//   "#AAN(data)"    channel N ('0'..'3' or 'A'..'D') to the signed value "+DD.DDD", answered ">"
//   "#AACN(data)"   the same, answered "!AA"
//   "$AA7CNR32"     answered "!AA"
//   "$AAI"          "!AA" and the four digital inputs in one hex digit
// A value outside the range the module's type code (0x30 + range) or the channel's type sets is
// refused ("?AA"), as a malformed one: the module keeps its output.
// The range codes: 0 0 to 20 mA, 1 4 to 20 mA, 2 0 to 10 V, 3 -10 to 10 V, 4 0 to 5 V, 5 -5 to
// 5 V.
#include "modsim.h"

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

// A value of the layout [sign] digits "." three digits, `digits` digits before the point
// (0: one or two); *hasSign tells whether it came with its sign.
int ParseOutputValue(const std::string& text, size_t digits, double* value, int* hasSign) {
    size_t at = 0;
    *hasSign = !text.empty() && (text[0] == '+' || text[0] == '-');
    if (*hasSign) at = 1;
    size_t point = text.find('.', at);
    if (point == std::string::npos || text.size() != point + 4) return 0;
    size_t whole = point - at;
    if (digits ? whole != digits : (whole < 1 || whole > 2)) return 0;
    for (size_t i = at; i < text.size(); i++)
        if (i != point && (text[i] < '0' || text[i] > '9')) return 0;
    *value = strtod(text.c_str(), nullptr);
    return 1;
}

int InRange(int range, double value) {
    static const double kLow[] = {0.0, 4.0, 0.0, -10.0, 0.0, -5.0};
    static const double kHigh[] = {20.0, 20.0, 10.0, 10.0, 5.0, 5.0};
    if (range < 0 || range > 5) return 0;
    return value >= kLow[range] && value <= kHigh[range];
}

// The range the module's type code sets.
int ModuleRange(const Module& m) {
    return m.typeCode >= 0x30 && m.typeCode <= 0x35 ? m.typeCode - 0x30 : -1;
}

void SetOutput(Module& m, const Command& c, int channel, double value) {
    m.outputs[channel] = value;
    m.writes.push_back(c.text);
}

// "#AA(data)".
int WriteSingle(Module& m, const Command& c, std::string& reply) {
    double v = 0.0;
    int hasSign = 0;
    if (!ParseOutputValue(c.args, 0, &v, &hasSign)) return 0;
    // Unsigned values are written with two digits before the point.
    if (!hasSign && c.args.find('.') != 2) return 0;
    if (!InRange(ModuleRange(m), v)) return 0;
    SetOutput(m, c, 0, v);
    reply = hasSign ? Ack(m) : ">";
    return 1;
}

// "#AAN(data)" of the two-channel module.
int Write7022(Module& m, const Command& c, std::string& reply) {
    const std::string& a = c.args;
    if (a.size() < 2 || (a[0] != '0' && a[0] != '1')) return 0;
    int channel = a[0] - '0';
    double v = 0.0;
    int hasSign = 0;
    if (!ParseOutputValue(a.substr(1), 2, &v, &hasSign) || hasSign) return 0;
    if (!InRange(m.channelType[channel], v)) return 0;
    SetOutput(m, c, channel, v);
    reply = ">";
    return 1;
}

// "$AA9N" and "$AA9NTS".
int TypeOf7022(Module& m, const Command& c, std::string& reply) {
    const std::string& a = c.args;
    if ((a.size() != 1 && a.size() != 3) || (a[0] != '0' && a[0] != '1')) return 0;
    int channel = a[0] - '0';
    if (a.size() == 1) {
        char text[16];
        snprintf(text, sizeof text, "!%02X%c%X", m.address & 0xFF, '0' + m.channelType[channel],
                 m.channelSlew[channel] & 0xF);
        reply = text;
        return 1;
    }
    int type = a[1] - '0';
    int slew = HexDigit(a[2]);
    if (type < 0 || type > 2 || slew < 0 || slew > 14) return 0;
    m.channelType[channel] = static_cast<unsigned char>(type);
    m.channelSlew[channel] = static_cast<unsigned char>(slew);
    m.writes.push_back(c.text);
    reply = Ack(m);
    return 1;
}

// "#AAN(data)" and "#AACN(data)" of the four-channel module.
int Write6024(Module& m, const Command& c, std::string& reply) {
    const std::string& a = c.args;
    size_t at = 1;
    int channel = -1;
    int acknowledge = 0;
    if (a.size() >= 2 && a[0] == 'C' && a[1] >= '0' && a[1] <= '3') {
        channel = a[1] - '0';
        at = 2;
        acknowledge = 1;
    } else if (!a.empty() && a[0] >= '0' && a[0] <= '3') {
        channel = a[0] - '0';
    } else if (!a.empty() && a[0] >= 'A' && a[0] <= 'D') {
        channel = a[0] - 'A';
    }
    double v = 0.0;
    int hasSign = 0;
    if (channel < 0 || !ParseOutputValue(a.substr(at), 2, &v, &hasSign) || !hasSign) return 0;
    if (!InRange(ModuleRange(m), v)) return 0;
    SetOutput(m, c, channel, v);
    reply = acknowledge ? Ack(m) : ">";
    return 1;
}

// "$AA7CNR32".
int Configure6024Channel(Module& m, const Command& c, std::string& reply) {
    const std::string& a = c.args;
    // The key took "7C": the channel and "R32" remain.
    if (a.size() != 4 || a[0] < '0' || a[0] > '3' || a.compare(1, 3, "R32") != 0) return 0;
    m.writes.push_back(c.text);
    reply = Ack(m);
    return 1;
}

// "$AAI".
int ReadInputs6024(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    char text[16];
    snprintf(text, sizeof text, "!%02X%1X", m.address & 0xFF, m.digitalInputs & 0xF);
    reply = text;
    return 1;
}

} // namespace

const CommandEntry kAnalogOutput1Commands[] = {
    {'#', "", WriteSingle},
    {0, nullptr, nullptr},
};
const CommandEntry kAnalogOutput7022Commands[] = {
    {'$', "9", TypeOf7022},
    {'#', "", Write7022},
    {0, nullptr, nullptr},
};
const CommandEntry kAnalogOutput4Commands[] = {
    {'$', "7C", Configure6024Channel},
    {'$', "I", ReadInputs6024},
    {'#', "", Write6024},
    {0, nullptr, nullptr},
};

} // namespace modsim
