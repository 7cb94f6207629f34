// Models and their command tables.
//
// Every model answers the common commands (name, firmware, configuration); a model's own table,
// searched first, adds what only that model does. A new command is one handler and one row.
#include "modsim.h"

#include <cstdio>
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
    for (int ch = first; ch < first + count; ++ch) {
        char value[32];
        snprintf(value, sizeof value, p.analogFormat ? p.analogFormat : "%+07.2f",
                 m.Channel(ch, c.timeS));
        reply += value;
    }
    return 1;
}

const CommandEntry kAnalogInputCommands[] = {
    {'#', "", ReadAnalog},
    {0, nullptr, nullptr},
};

// Type codes and formats are the modules' power-on defaults; analog values are sent in
// engineering units.
const Profile kProfiles[] = {
    // analog inputs
    {"6005", "A1.0", 0x00, 0x00, 8, "%+07.2f", kAnalogInputCommands},
    {"6011", "A1.0", 0x0E, 0x00, 1, "%+07.2f", kAnalogInputCommands},
    {"6012", "A1.0", 0x08, 0x00, 1, "%+07.3f", kAnalogInputCommands},
    {"6013", "A1.0", 0x20, 0x00, 1, "%+07.2f", kAnalogInputCommands},
    {"6014", "A1.0", 0x08, 0x00, 1, "%+07.3f", kAnalogInputCommands},
    {"6015", "A1.0", 0x20, 0x00, 7, "%+07.2f", kAnalogInputCommands},
    {"6016", "A1.0", 0x00, 0x00, 1, "%+07.3f", kAnalogInputCommands},
    {"6017", "A1.0", 0x08, 0x00, 8, "%+07.3f", kAnalogInputCommands},
    {"6018", "A1.0", 0x0E, 0x00, 8, "%+07.2f", kAnalogInputCommands},
    {"6019", "A1.0", 0x00, 0x00, 8, "%+07.2f", kAnalogInputCommands},
    {"6033", "A1.0", 0x20, 0x00, 3, "%+07.2f", kAnalogInputCommands},
    {"7011", "A2.0", 0x0E, 0x00, 1, "%+07.2f", kAnalogInputCommands},
    {"7012", "A2.0", 0x08, 0x00, 1, "%+07.3f", kAnalogInputCommands},
    {"7017", "A2.0", 0x08, 0x00, 8, "%+07.3f", kAnalogInputCommands},
    {"7018", "A2.0", 0x0E, 0x00, 8, "%+07.2f", kAnalogInputCommands},
    // analog outputs
    {"6021", "A1.0", 0x30, 0x00, 0, nullptr, nullptr},
    {"6022", "A1.0", 0x30, 0x00, 0, nullptr, nullptr},
    {"6024", "A1.0", 0x30, 0x00, 0, nullptr, nullptr},
    // digital inputs and outputs, relays
    {"6041", "A1.0", 0x40, 0x00, 0, nullptr, nullptr},
    {"6042", "A1.0", 0x40, 0x00, 0, nullptr, nullptr},
    {"6043", "A1.0", 0x40, 0x00, 0, nullptr, nullptr},
    {"6044", "A1.0", 0x40, 0x00, 0, nullptr, nullptr},
    {"6050", "A1.0", 0x40, 0x00, 0, nullptr, nullptr},
    {"6052", "A1.0", 0x40, 0x00, 0, nullptr, nullptr},
    {"6053", "A1.0", 0x40, 0x00, 0, nullptr, nullptr},
    {"6054", "A1.0", 0x40, 0x00, 0, nullptr, nullptr},
    {"6055", "A1.0", 0x40, 0x00, 0, nullptr, nullptr},
    {"6056", "A1.0", 0x40, 0x00, 0, nullptr, nullptr},
    {"6058", "A1.0", 0x40, 0x00, 0, nullptr, nullptr},
    {"6060", "A1.0", 0x40, 0x00, 0, nullptr, nullptr},
    {"6063", "A1.0", 0x40, 0x00, 0, nullptr, nullptr},
    {"6065", "A1.0", 0x40, 0x00, 0, nullptr, nullptr},
    {"6067", "A1.0", 0x40, 0x00, 0, nullptr, nullptr},
    {"6751", "A1.0", 0x40, 0x00, 0, nullptr, nullptr},
    {"6757", "A1.0", 0x40, 0x00, 0, nullptr, nullptr},
    // counter and frequency
    {"6080", "A1.0", 0x50, 0x00, 0, nullptr, nullptr},
};

} // namespace

const CommandEntry kCommonCommands[] = {
    {'$', "2", ReadConfiguration}, {'$', "M", ReadName},  {'$', "F", ReadFirmware},
    {'%', "", SetConfiguration},   {0, nullptr, nullptr},
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
