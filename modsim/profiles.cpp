// Models and their command tables.
//
// Every model answers the common commands (name, firmware, configuration); a model's own table,
// searched first, adds what only that model does. A new command is one handler and one row.
#include "modsim.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace modsim {

namespace {

std::string Ack(int address) {
    char text[8];
    snprintf(text, sizeof text, "!%02X", address & 0xFF);
    return text;
}

int ReadHexByte(const std::string& s, size_t at, unsigned char* out) {
    if (at + 2 > s.size()) return 0;
    int hi = HexDigit(s[at]);
    int lo = HexDigit(s[at + 1]);
    if (hi < 0 || lo < 0) return 0;
    *out = static_cast<unsigned char>(hi * 16 + lo);
    return 1;
}

// "$AA2": "!AATTCCFF": address, type code, baud code, data format (0x40: checksums).
int ReadConfiguration(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    char text[16];
    unsigned format = (m.dataFormat & ~0x40u) | (m.checksum ? 0x40u : 0u);
    snprintf(text, sizeof text, "!%02X%02X%02X%02X", m.address & 0xFF, m.typeCode, m.baudCode,
             format & 0xFF);
    reply = text;
    return 1;
}

// "$AAM": "!AA" and the model name.
int ReadName(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    reply = Ack(m.address) + m.profile->model;
    return 1;
}

// "$AAF": "!AA" and the firmware version.
int ReadFirmware(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    reply = Ack(m.address) + m.profile->firmware;
    return 1;
}

// "%AANNTTCCFF": new address, type code, baud code, data format; answered "!AA". The module
// keeps its address (a move to another address is refused) and its checksum mode, which a real
// module changes only at its next power-up; the type code, baud code and the other format bits
// are taken at once.
int SetConfiguration(Module& m, const Command& c, std::string& reply) {
    unsigned char bytes[4];
    if (c.args.size() != 8) return 0;
    for (int i = 0; i < 4; ++i)
        if (!ReadHexByte(c.args, 2 * i, &bytes[i])) return 0;
    if (bytes[0] != m.address) return 0;
    if (bytes[2] < 3 || bytes[2] > 10) return 0;
    m.typeCode = bytes[1];
    m.baudCode = bytes[2];
    m.dataFormat = static_cast<unsigned char>(bytes[3] & ~0x40);
    m.writes.push_back(c.text);
    reply = Ack(m.address);
    return 1;
}

int ParseHexDigits(const std::string& text, size_t count, unsigned* out) {
    if (text.size() != count) return 0;
    unsigned v = 0;
    for (char ch : text) {
        int d = HexDigit(ch);
        if (d < 0) return 0;
        v = v * 16 + static_cast<unsigned>(d);
    }
    *out = v;
    return 1;
}

std::string Printf(const char* format, unsigned a, unsigned b = 0, unsigned c = 0, unsigned d = 0,
                   unsigned e = 0) {
    char text[64];
    snprintf(text, sizeof text, format, a, b, c, d, e);
    return text;
}

// "$AA6" in the layouts of the module series.
int ReadDigital8(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    reply = Printf("!%02X%02X00", m.digitalOutputs & 0xFF, m.digitalInputs & 0xFF);
    return 1;
}
int ReadDigital6052(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    reply = Printf("!%02X0000", m.digitalInputs & 0xFF);
    return 1;
}
int ReadDigital16(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    reply = Printf("!%04X00", m.digitalInputs & 0xFFFF);
    return 1;
}
// "#AA00DD": the output byte, answered ">".
int WriteDigital8(Module& m, const Command& c, std::string& reply) {
    unsigned v;
    if (!ParseHexDigits(c.args, 2, &v)) return 0;
    m.digitalOutputs = v;
    m.writes.push_back(c.text);
    reply = ">";
    return 1;
}
// "@AAN" (four lines) and "@AADDDD" (sixteen), answered ">".
int WriteDigitalAt(Module& m, const Command& c, std::string& reply) {
    unsigned v;
    if (!ParseHexDigits(c.args, 1, &v) && !ParseHexDigits(c.args, 4, &v)) return 0;
    m.digitalOutputs = v;
    m.writes.push_back(c.text);
    reply = ">";
    return 1;
}
// "#AATDDDD" (sixteen lines) and "#AATDDDDDD" (three bytes, the first byte
// first), answered ">".
int WriteDigitalT(Module& m, const Command& c, std::string& reply) {
    unsigned v;
    if (ParseHexDigits(c.args, 4, &v)) {
        m.digitalOutputs = v;
    } else if (ParseHexDigits(c.args, 6, &v)) {
        m.digitalOutputs = (v >> 16) | (v & 0xFF00u) | ((v & 0xFFu) << 16);
    } else {
        return 0;
    }
    m.writes.push_back(c.text);
    reply = ">";
    return 1;
}

// The module's own output watchdog, in the commands of both module series;
// each is answered "!AA" and noted among the writes.
//   "~AA1"          the host watchdog status is cleared (7000 series)
//   "~AA21TT<safe>" on, time-out TT, with the safe value (6000 series)
//   "~AA20<...>"    off (6000 series)
//   "~AA31TT"       on, time-out TT (7000 series)
//   "~AA30TT"       off (7000 series)
//   "~AA5<...>"     the safe value: the outputs as they are ("S"), or given
int WatchdogCommand(Module& m, const Command& c, std::string& reply) {
    const std::string& b = c.body;
    unsigned char t = 0;
    if (b == "1") {
        // status cleared; the settings stay
    } else if (b.compare(0, 2, "21") == 0 && ReadHexByte(b, 2, &t)) {
        m.watchdog.enabled = 1;
        m.watchdog.timeoutTenths = t;
        m.watchdog.safeValue = b.substr(4);
    } else if (b.compare(0, 2, "31") == 0 && b.size() == 4 && ReadHexByte(b, 2, &t)) {
        m.watchdog.enabled = 1;
        m.watchdog.timeoutTenths = t;
    } else if (b.compare(0, 2, "20") == 0 || (b.compare(0, 2, "30") == 0 && b.size() == 4)) {
        m.watchdog.enabled = 0;
    } else if (b.compare(0, 1, "5") == 0) {
        m.watchdog.safeValue = b.substr(1);
    } else {
        return 0;
    }
    m.writes.push_back(c.text);
    reply = Ack(m.address);
    return 1;
}

const CommandEntry kAnalogInputCommands[] = {
    {'#', "", ReadAnalog},
    {0, nullptr, nullptr},
};
const CommandEntry kDigital16InCommands[] = {
    {'$', "6", ReadDigital16},
    {0, nullptr, nullptr},
};
const CommandEntry kDigital8Commands[] = {
    {'$', "6", ReadDigital8},
    {'#', "00", WriteDigital8},
    {0, nullptr, nullptr},
};
const CommandEntry k6063Commands[] = {
    {'$', "6", ReadDigital8},
    {'#', "00", WriteDigital8},
    {'@', "", WriteDigitalAt},
    {0, nullptr, nullptr},
};
// The safe value of a 7000-series module's watchdog goes out as the low
// output byte ("#AA00DD").
const CommandEntry kDigital16OutCommands[] = {
    {'@', "", WriteDigitalAt},
    {'#', "00", WriteDigital8},
    {0, nullptr, nullptr},
};
const CommandEntry k6052Commands[] = {
    {'$', "6", ReadDigital6052},
    {0, nullptr, nullptr},
};
const CommandEntry k6056Commands[] = {
    {'#', "T", WriteDigitalT},
    {0, nullptr, nullptr},
};

// Type codes and formats are the modules' power-on defaults; analog values are sent in
// engineering units.
const Profile kProfiles[] = {
    // analog inputs
    {"6005", "A1.0", 0x00, 0x00, 8, "%+07.2f", k6005Commands, 0x60},
    {"7005", "A2.0", 0x00, 0x00, 8, "%+07.2f", k6005Commands, 0x60},
    {"6011", "A1.0", 0x0E, 0x00, 1, "%+07.2f", kAlarmInputCommands},
    {"6012", "A1.0", 0x08, 0x00, 1, "%+07.3f", kAlarmInputCommands},
    {"4011", "A1.0", 0x0E, 0x00, 1, "%+07.2f", kAlarmInputCommands},
    {"4012", "A1.0", 0x08, 0x00, 1, "%+07.3f", kAlarmInputCommands},
    {"6013", "A1.0", 0x20, 0x00, 3, "%+07.2f", kAnalogInputCommands},
    {"7013", "A2.0", 0x20, 0x00, 1, "%+07.2f", kAnalogInputCommands},
    {"6014", "A1.0", 0x08, 0x00, 1, "%+07.3f", k6014Commands},
    {"6015", "A1.0", 0x20, 0x00, 6, "%+07.2f", k6015Commands, 0x20},
    {"7015", "A2.0", 0x20, 0x00, 6, "%+07.2f", k6015Commands, 0x20},
    {"6016", "A1.0", 0x00, 0x00, 2, "%+07.3f", k6016Commands},
    {"6017", "A1.0", 0x08, 0x00, 8, "%+07.3f", k6017Commands},
    {"6018", "A1.0", 0x0E, 0x00, 8, "%+07.2f", kAnalogInputCommands},
    {"6019", "A1.0", 0x00, 0x00, 8, "%+07.2f", k6019Commands},
    {"7019", "A2.0", 0x00, 0x00, 8, "%+07.2f", k6019Commands},
    {"6033", "A1.0", 0x20, 0x00, 3, "%+07.2f", kAnalogInputCommands},
    {"7033", "A2.0", 0x20, 0x00, 3, "%+07.2f", kAnalogInputCommands},
    {"7011", "A2.0", 0x0E, 0x00, 1, "%+07.2f", kAlarmInputCommands},
    {"7012", "A2.0", 0x08, 0x00, 1, "%+07.3f", kAlarmInputCommands},
    {"7014", "A2.0", 0x08, 0x00, 1, "%+07.3f", kAlarmInputCommands},
    {"8014", "A2.0", 0x08, 0x00, 1, "%+07.3f", kAlarmInputCommands},
    {"7017", "A2.0", 0x08, 0x00, 8, "%+07.3f", k6017Commands},
    {"7018", "A2.0", 0x0E, 0x00, 8, "%+07.2f", kAnalogInputCommands},
    // analog outputs
    {"6021", "A1.0", 0x30, 0x00, 0, nullptr, kAnalogOutput1Commands},
    {"4021", "A1.0", 0x30, 0x00, 0, nullptr, kAnalogOutput1Commands},
    {"7021", "A2.0", 0x30, 0x00, 0, nullptr, kAnalogOutput1Commands},
    {"8021", "A2.0", 0x30, 0x00, 0, nullptr, kAnalogOutput1Commands},
    {"7022", "A2.0", 0x30, 0x00, 0, nullptr, kAnalogOutput7022Commands},
    {"6024", "A1.0", 0x33, 0x00, 0, nullptr, kAnalogOutput4Commands},
    {"4024", "A1.0", 0x33, 0x00, 0, nullptr, kAnalogOutput4Commands},
    {"7024", "A2.0", 0x33, 0x00, 0, nullptr, kAnalogOutput4Commands},
    {"8024", "A2.0", 0x33, 0x00, 0, nullptr, kAnalogOutput4Commands},
    // digital inputs and outputs, relays
    {"6041", "A1.0", 0x40, 0x00, 0, nullptr, kDigital16InCommands},
    {"6042", "A1.0", 0x40, 0x00, 0, nullptr, kDigital16OutCommands},
    {"6043", "A1.0", 0x40, 0x00, 0, nullptr, kDigital16OutCommands},
    {"6044", "A1.0", 0x40, 0x00, 0, nullptr, kDigital8Commands},
    {"6050", "A1.0", 0x40, 0x00, 0, nullptr, kDigital8Commands},
    {"6052", "A1.0", 0x40, 0x00, 0, nullptr, k6052Commands},
    {"6053", "A1.0", 0x40, 0x00, 0, nullptr, kDigital16InCommands},
    {"6054", "A1.0", 0x40, 0x00, 0, nullptr, kDigital16InCommands},
    {"6055", "A1.0", 0x40, 0x00, 0, nullptr, kDigital8Commands},
    {"6056", "A1.0", 0x40, 0x00, 0, nullptr, k6056Commands},
    {"6058", "A1.0", 0x40, 0x00, 0, nullptr, k6058Commands},
    {"6060", "A1.0", 0x40, 0x00, 0, nullptr, kDigital8Commands},
    {"6063", "A1.0", 0x40, 0x00, 0, nullptr, k6063Commands},
    {"6065", "A1.0", 0x40, 0x00, 0, nullptr, kDigital8Commands},
    {"6067", "A1.0", 0x40, 0x00, 0, nullptr, kDigital8Commands},
    {"6751", "A1.0", 0x40, 0x00, 0, nullptr, kDigital16InCommands},
    {"6757", "A1.0", 0x40, 0x00, 0, nullptr, kDigital16OutCommands},
    {"4050", "A1.0", 0x40, 0x00, 0, nullptr, kDigital8Commands},
    {"4053", "A1.0", 0x40, 0x00, 0, nullptr, kDigital16InCommands},
    {"7041", "A2.0", 0x40, 0x00, 0, nullptr, kDigital16InCommands},
    {"7042", "A2.0", 0x40, 0x00, 0, nullptr, kDigital16OutCommands},
    {"7043", "A2.0", 0x40, 0x00, 0, nullptr, kDigital16OutCommands},
    {"7044", "A2.0", 0x40, 0x00, 0, nullptr, kDigital8Commands},
    {"7050", "A2.0", 0x40, 0x00, 0, nullptr, kDigital8Commands},
    {"7053", "A2.0", 0x40, 0x00, 0, nullptr, kDigital16InCommands},
    {"7055", "A2.0", 0x40, 0x00, 0, nullptr, kDigital8Commands},
    {"7060", "A2.0", 0x40, 0x00, 0, nullptr, kDigital8Commands},
    {"7063", "A2.0", 0x40, 0x00, 0, nullptr, k6063Commands},
    {"7065", "A2.0", 0x40, 0x00, 0, nullptr, kDigital8Commands},
    {"7067", "A2.0", 0x40, 0x00, 0, nullptr, kDigital8Commands},
    {"7751", "A2.0", 0x40, 0x00, 0, nullptr, kDigital16InCommands},
    {"7757", "A2.0", 0x40, 0x00, 0, nullptr, kDigital16OutCommands},
    {"8067", "A2.0", 0x40, 0x00, 0, nullptr, kDigital8Commands},
    {"87051", "A2.0", 0x40, 0x00, 0, nullptr, kDigital16InCommands},
    {"87057", "A2.0", 0x40, 0x00, 0, nullptr, kDigital16OutCommands},
    // counter and frequency
    {"6080", "A1.0", 0x50, 0x00, 0, nullptr, kCounterCommands},
    {"4080", "A1.0", 0x50, 0x00, 0, nullptr, kCounterCommands},
    {"7080", "A2.0", 0x50, 0x00, 0, nullptr, kCounterCommands},
    {"8080", "A2.0", 0x50, 0x00, 0, nullptr, kCounterCommands},
};

} // namespace

// "@AARE": the event count.
int ReadEvents(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    char text[32];
    snprintf(text, sizeof text, "!%02X%d", m.address & 0xFF, m.events);
    reply = text;
    return 1;
}

// "#AA": all analog inputs, ">" followed by each value; "#AAN": channel N alone.
int ReadAnalog(Module& m, const Command& c, std::string& reply) {
    const Profile& p = *m.profile;
    int first = 0;
    int count = p.analogInputs;
    if (!c.args.empty()) {
        if (c.args.size() != 1) return 0;
        first = HexDigit(c.args[0]);
        if (first < 0 || first >= p.analogInputs) return 0;
        count = 1;
    }
    if (count <= 0) return 0;
    reply = ">";
    for (int ch = first; ch < first + count; ++ch)
        reply +=
            EngineeringValue(p.analogFormat ? p.analogFormat : "%+07.2f", m.Channel(ch, c.timeS));
    return 1;
}

std::string EngineeringValue(const char* format, double value) {
    const char* point = strchr(format, '.');
    int decimals = point ? atoi(point + 1) : 0;
    if (value > 999999.0) value = 999999.0;
    if (value < -999999.0) value = -999999.0;
    char text[32] = "";
    for (; decimals >= 0; --decimals) {
        snprintf(text, sizeof text, "%+07.*f", decimals, value);
        if (strlen(text) <= 7) break;
    }
    return text;
}

const CommandEntry kCommonCommands[] = {
    {'$', "2", ReadConfiguration}, {'$', "M", ReadName},       {'$', "F", ReadFirmware},
    {'%', "", SetConfiguration},   {'~', "", WatchdogCommand}, {0, nullptr, nullptr},
};

const Profile* Profiles(size_t* count) {
    if (count) *count = sizeof kProfiles / sizeof kProfiles[0];
    return kProfiles;
}

const Profile* FindProfile(const std::string& model) {
    for (const Profile& p : kProfiles)
        if (model == p.model) return &p;
    return nullptr;
}

unsigned char BaudCode(int baud) {
    switch (baud) {
    case 1200: return 3;
    case 2400: return 4;
    case 4800: return 5;
    case 9600: return 6;
    case 19200: return 7;
    case 38400: return 8;
    default: return 0;
    }
}

} // namespace modsim
