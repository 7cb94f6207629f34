// The modules presented as several linked blocks: the analog input modules with digital outputs,
// a digital input and an event counter (6014, 6016 with two inputs and an excitation output),
// and the 28-line digital I/O module 6058.
//
// 6014 and 6016, reply layouts:
//   "#AA"          ">" and the inputs the channel mode selects, each "%+07.3f" (6014: its one
//                  input); "#AAN" input N alone (6016)
//   "$AA3"         "!AA" and the channel mode ('0' input 0, '1' input 1, '3' both); "$AA30",
//                  "$AA31", "$AA33N" set it (6016), "!AA"
//   "$AA7(+dd.ddd)" the excitation voltage (6016), "!AA"
//   "@AADI"        "!AA0" OO II: the digital outputs and the digital input, two hex digits each
//   "@AADO0N"      outputs 0-1 from the low two bits of N; "@AADO1N" outputs 2-3 (6016); "!AA"
//   "@AARE"        "!AA" and the event count in decimal; "@AACE" clears it, "!AA"
// 6058, ports DI (4 input lines), A and B (8 lines), CL and CH (4 lines):
//   "$AASBB"       the ports' directions: bit 3 A, bit 2 B, bit 1 CL, bit 0 CH set for an input
//   "$AA6"         "!AA" and four bytes of the line image, the lowest first: bits 0-3 DI,
//                  8-15 A, 16-23 B, 24-27 CH, 28-31 CL; a port configured as an output reports
//                  the lines it drives
//   "#AATAABBCC"   the output lines: byte AA port A, BB port B, CC port CL (low half) and CH
//                  (high half); ">"
// The digital inputs of a 6058 (Module::digitalInputs) are kept in the layout of its line image;
// its outputs (Module::digitalOutputs) in the layout of the write: bits 0-7 A, 8-15 B, 16-19
// CL, 20-23 CH.
#include "modsim.h"

#include <cstdio>
#include <cstdlib>

namespace modsim {

namespace {

std::string Ack(const Module& m) {
    char text[8];
    snprintf(text, sizeof text, "!%02X", m.address & 0xFF);
    return text;
}

// The inputs the channel mode of a 6016 reads with "#AA".
int ModeReads(char mode, int channel) {
    if (mode == '0') return channel == 0;
    if (mode == '1') return channel == 1;
    return 1;
}

int ReadInputs(Module& m, const Command& c, std::string& reply) {
    const int inputs = m.profile->analogInputs;
    int only = -1;
    if (!c.args.empty()) {
        if (c.args.size() != 1) return 0;
        only = HexDigit(c.args[0]);
        if (only < 0 || only >= inputs) return 0;
    }
    reply = ">";
    for (int ch = 0; ch < inputs; ++ch) {
        if (only >= 0 ? ch != only : !ModeReads(m.channelMode, ch)) continue;
        reply += EngineeringValue("%+07.3f", m.Channel(ch, c.timeS));
    }
    return 1;
}

int ChannelMode(Module& m, const Command& c, std::string& reply) {
    const std::string& a = c.args;
    if (a.empty()) {
        reply = Ack(m) + m.channelMode;
        return 1;
    }
    if (a == "0" || a == "1") {
        m.channelMode = a[0];
    } else if (a.size() == 2 && a[0] == '3' && a[1] >= '0' && a[1] <= '9') {
        m.channelMode = '3';
    } else {
        return 0;
    }
    m.writes.push_back(c.text);
    reply = Ack(m);
    return 1;
}

int Excitation(Module& m, const Command& c, std::string& reply) {
    const std::string& a = c.args;
    if (a.size() != 7 || (a[0] != '+' && a[0] != '-') || a[3] != '.') return 0;
    char* end = nullptr;
    double v = strtod(a.c_str(), &end);
    if (*end != 0) return 0;
    m.excitation = v;
    m.writes.push_back(c.text);
    reply = Ack(m);
    return 1;
}

int DigitalState(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    char text[16];
    snprintf(text, sizeof text, "!%02X0%02X%02X", m.address & 0xFF, m.digitalOutputs & 0xFF,
             m.digitalInputs & 0xFF);
    reply = text;
    return 1;
}

// "@AADO0N" and "@AADO1N": a pair of outputs from the low two bits of N.
int WriteOutputPair(Module& m, const Command& c, std::string& reply, int shift) {
    unsigned v;
    if (!ParseHex(c.args, 1, &v)) return 0;
    m.digitalOutputs = (m.digitalOutputs & ~(3u << shift)) | ((v & 3u) << shift);
    m.writes.push_back(c.text);
    reply = Ack(m);
    return 1;
}

int WriteOutputs01(Module& m, const Command& c, std::string& reply) {
    return WriteOutputPair(m, c, reply, 0);
}

int WriteOutputs23(Module& m, const Command& c, std::string& reply) {
    return WriteOutputPair(m, c, reply, 2);
}

int ClearEvents(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    m.events = 0;
    m.writes.push_back(c.text);
    reply = Ack(m);
    return 1;
}

// The ports of a 6058: the bit of the direction byte, where its lines sit in the line image and
// in the output image, and how many there are.
struct Port6058 {
    unsigned direction;
    int image;
    int output;
    int lines;
};
const Port6058 kPorts[] = {
    {8, 8, 0, 8},   // A
    {4, 16, 8, 8},  // B
    {2, 28, 16, 4}, // CL
    {1, 24, 20, 4}, // CH
};

int Configure6058(Module& m, const Command& c, std::string& reply) {
    unsigned v;
    if (!ParseHex(c.args, 2, &v) || v > 15) return 0;
    m.portsInput = v;
    m.writes.push_back(c.text);
    reply = Ack(m);
    return 1;
}

int ReadLines6058(Module& m, const Command& c, std::string& reply) {
    if (!c.args.empty()) return 0;
    unsigned image = m.digitalInputs & 0xFu;
    for (const Port6058& p : kPorts) {
        unsigned lines = (1u << p.lines) - 1;
        unsigned state = m.portsInput & p.direction ? (m.digitalInputs >> p.image) & lines
                                                    : (m.digitalOutputs >> p.output) & lines;
        image |= state << p.image;
    }
    char text[16];
    snprintf(text, sizeof text, "!%02X%02X%02X%02X%02X", m.address & 0xFF, image & 0xFF,
             (image >> 8) & 0xFF, (image >> 16) & 0xFF, (image >> 24) & 0xFF);
    reply = text;
    return 1;
}

int WriteLines6058(Module& m, const Command& c, std::string& reply) {
    unsigned v;
    if (!ParseHex(c.args, 6, &v)) return 0;
    m.digitalOutputs = ((v >> 16) & 0xFFu) | (v & 0xFF00u) | ((v & 0xFFu) << 16);
    m.writes.push_back(c.text);
    reply = ">";
    return 1;
}

} // namespace

const CommandEntry k6014Commands[] = {
    {'@', "DO0", WriteOutputs01}, {'@', "DI", DigitalState}, {'@', "RE", ReadEvents},
    {'@', "CE", ClearEvents},     {'#', "", ReadInputs},     {0, nullptr, nullptr},
};

const CommandEntry k6016Commands[] = {
    {'@', "DO0", WriteOutputs01}, {'@', "DO1", WriteOutputs23}, {'@', "DI", DigitalState},
    {'@', "RE", ReadEvents},      {'@', "CE", ClearEvents},     {'$', "3", ChannelMode},
    {'$', "7", Excitation},       {'#', "", ReadInputs},        {0, nullptr, nullptr},
};

const CommandEntry k6058Commands[] = {
    {'$', "S", Configure6058},
    {'$', "6", ReadLines6058},
    {'#', "T", WriteLines6058},
    {0, nullptr, nullptr},
};

} // namespace modsim
