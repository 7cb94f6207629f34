// The request kinds of the scan list: the command each kind sends in each
// family, the first reply character it expects, what its parser stores, and
// the short and malformed replies it refuses; and the list itself.
#include "engine_fixture.h"

#include <set>
#include <string>

namespace {

using enginetest::EngineTest;
using enginetest::SelectFamily;

union Cell {
    float f;
    BYTE b[4];
    WORD w;
    short s;
    DWORD d;
};

// Every request kind once (and once more for each family that sends it
// otherwise): the command it sends, the first reply character it expects,
// and its cell: how many bytes of it the kind reads for its command or
// writes with its reply, and what a reply stores there.
struct KindCase {
    int* family;
    int kind;
    int address;
    int param;
    double value; // output cells: the float, or the cell's bytes as a number
    const char* request;
    char expected;
    int cellBytes;     // the cell: 4 float, 1 byte, 2 bytes or 16 bits, 3 bytes, 32 bits
    bool isFloat;      // the cell holds a float
    const char* reply; // a good reply
    double stored;     // input kinds: what the reply leaves in the cell
};

class Kinds : public EngineTest {};

TEST_F(Kinds, EveryKindSendsItsCommandExpectsItsReplyAndUsesItsCell) {
    const KindCase cases[] = {
        {&FAMILY_TELV, SCAN_AI_READ, 0x1A, 3, 0, "#1A3", '>', 4, true, ">+025.30", 25.3},
        {&FAMILY_TELV, SCAN_AI_READ, 0x1A, -1, 0, "#1A", '>', 4, true, ">-01,500", -1.5},
        {&FAMILY_TELV, SCAN_AO_WRITE, 2, 1, 5.0, "#02105.000", '>', 4, true, ">", 0},
        {&FAMILY_XX03, SCAN_AO_WRITE, 2, 1, 5.0, "#021+05.000", '>', 4, true, ">", 0},
        {&FAMILY_ND, SCAN_AO_WRITE, 2, 1, 5.0, "#02B+05.000", '>', 4, true, ">", 0},
        {&FAMILY_TELV, SCAN_AO_WRITE, 2, -1, 5.0, "#0205.000", '>', 4, true, ">", 0},
        {&FAMILY_TELV, SCAN_DI_READ, 1, -1, 0, "$016", '!', 1, false, "!00C300", 0xC3},
        {&FAMILY_TELV, SCAN_DO_WRITE, 1, -1, 0xA5, "#0100A5", '>', 1, false, ">", 0},
        {&FAMILY_TELV, SCAN_DI_READ_6052, 1, -1, 0, "$016", '!', 1, false, "!5A0000", 0x5A},
        {&FAMILY_TELV, SCAN_DI16_READ, 1, -1, 0, "$016", '!', 2, false, "!1234", 0x1234},
        // Cell byte 0 from reply position 6, byte 1 from position 4.
        {&FAMILY_TELV, SCAN_DIO_READ, 1, -1, 0, "@01DI", '!', 2, false, "!010C305", 0xC305},
        {&FAMILY_TELV, SCAN_EVENT_READ, 1, -1, 0, "@01RE", '!', 2, false, "!01123", 123},
        {&FAMILY_ND, SCAN_COUNTER_READ_6080, 1, 1, 0, "#011D", '>', 4, true, ">00000026", 26},
        {&FAMILY_TELV, SCAN_COUNTER_READ_6080, 1, 1, 0, "#011", '>', 4, true, ">0000001A", 26},
        {&FAMILY_TELV, SCAN_DI_READ_6080, 1, -1, 0, "@01DI", '!', 1, false, "!01077", 0x77},
        {&FAMILY_TELV, SCAN_DO_WRITE_6056, 1, -1, 0x1234, "#01T1234", '>', 2, false, ">", 0},
        {&FAMILY_TELV, SCAN_DIO_READ_6058, 1, -1, 0, "$016", '!', 4, false, "!0001020304",
         0x04030201},
        // Cell bytes 0, 1 and 2 in this order.
        {&FAMILY_TELV, SCAN_DO_WRITE_6058, 1, -1, 0x332211, "#01T112233", '>', 3, false, ">", 0},
        {&FAMILY_TELV, SCAN_DI_READ_6024DI, 1, -1, 0, "$01I", '!', 1, false, "!01A", 10},
        {&FAMILY_TELV, SCAN_EXCITATION_WRITE_6016, 1, -1, 2.5, "$017+02.500", '!', 4, true, "!01",
         0},
        {&FAMILY_TELV, SCAN_DO1_WRITE_6016, 1, -1, 6, "@01DO12", '!', 1, false, "!01", 0},
        {&FAMILY_TELV, SCAN_DO0_WRITE, 1, -1, 7, "@01DO03", '!', 1, false, "!01", 0},
        {&FAMILY_TELV, SCAN_EVENT_READ_6016, 1, -1, 0, "@01RE", '!', 2, false, "!01-7", 0xFFF9},
        {&FAMILY_XX01, SCAN_AO_WRITE_6024, 1, 2, -1.0, "#01C2-01.000", '!', 4, true, "!01", 0},
        {&FAMILY_TELV, SCAN_AO_WRITE_6024, 1, 2, -1.0, "#012-01.000", '>', 4, true, ">", 0},
        // The 16-bit cell is sent whole, not reduced to a digit.
        {&FAMILY_TELV, SCAN_DO1_WRITE16, 1, -1, 0x1A7, "@01DO11A7", '!', 2, false, "!01", 0},
        {&FAMILY_TELV, SCAN_EVENT_READ_6014, 1, -1, 0, "@01RE", '!', 2, false, "!01-7", 0xFFF9},
        {&FAMILY_TELV, SCAN_DI16_READ_6041I, 1, -1, 0, "$016", '!', 2, false, "!ABCD00", 0xABCD},
        {&FAMILY_TELV, SCAN_DO16_WRITE_6042O, 1, -1, 0xBEEF, "@01BEEF", '>', 2, false, ">", 0},
        {&FAMILY_TELV, SCAN_DO16_WRITE, 1, -1, 0x0102, "@010102", '>', 2, false, ">", 0},
        {&FAMILY_TELV, SCAN_DO4_WRITE_6063, 1, -1, 9, "@019", '>', 1, false, ">", 0},
        {&FAMILY_TELV, SCAN_DI_READ_6005I, 1, -1, 0, "@01DI", '!', 1, false, "!0133", 0x33},
    };
    std::set<int> kinds;
    for (const KindCase& c : cases) {
        SCOPED_TRACE(std::string("kind ") + std::to_string(c.kind) + " " + c.request);
        kinds.insert(c.kind);
        SelectFamily(c.family);
        const bool output = strcmp(c.reply, ">") == 0 || strcmp(c.reply, "!01") == 0;
        // The bytes after the kind's cell hold a pattern that neither the
        // command may show nor the reply may overwrite.
        for (BYTE beyond : {BYTE{0x00}, BYTE{0xFF}}) {
            Cell cell;
            memset(&cell, beyond, sizeof cell);
            Cell want;
            if (c.isFloat) {
                want.f = static_cast<float>(output ? c.value : c.stored);
            } else {
                want.d = static_cast<DWORD>(output ? c.value : c.stored);
            }
            if (output) memcpy(&cell, &want, static_cast<size_t>(c.cellBytes));
            ScanEntry e = {c.kind, 1, c.address, c.param, 0, &cell};
            char request[SCAN_REQUEST_SIZE];
            ASSERT_EQ(1, ScanFormatRequest(&e, request, sizeof request));
            EXPECT_STREQ(c.request, request);
            EXPECT_EQ(c.expected, ScanExpectedReply(c.kind));
            EXPECT_EQ(1, ScanParseReply(&e, c.reply)) << c.reply;
            if (c.kind == SCAN_DO0_WRITE || c.kind == SCAN_DO1_WRITE_6016) want.b[0] &= 3;
            EXPECT_EQ(0, memcmp(&cell, &want, static_cast<size_t>(c.cellBytes)))
                << (output ? "the command leaves its cell" : "the reply is stored in the cell");
            for (size_t i = static_cast<size_t>(c.cellBytes); i < sizeof cell; i++)
                EXPECT_EQ(beyond, cell.b[i]) << "byte " << i << " is not the kind's";
        }
    }
    EXPECT_EQ(26u, kinds.size()) << "every kind is in the table";
}

TEST_F(Kinds, TheTwoLineWritesKeepOnlyTheTwoLowBitsInTheirCell) {
    BYTE cell = 7;
    ScanEntry e = {SCAN_DO0_WRITE, 1, 1, -1, 0, &cell};
    char request[SCAN_REQUEST_SIZE];
    ASSERT_EQ(1, ScanFormatRequest(&e, request, sizeof request));
    EXPECT_STREQ("@01DO03", request);
    EXPECT_EQ(3, cell);
}

struct ParseCase {
    int* family;
    int kind;
    const char* reply;
    int accepted;
    DWORD bits;       // integer cells: the cell's low bytes
    float value;      // float cells
    int param = -1;   // the entry's channel: a read of one channel, or of the whole module
    int anyWidth = 0; // readings of any width (the module's data format left as found)
};

TEST_F(Kinds, RepliesAreParsedIntoTheCellOrRefusedWhenShortOrMalformedOrForeign) {
    const ParseCase cases[] = {
        // Readings in engineering units: seven characters each. A read of
        // one channel takes exactly one; a read of the whole module takes
        // the first of them.
        {&FAMILY_TELV, SCAN_AI_READ, ">+025.30", 1, 0, 25.3f},
        {&FAMILY_TELV, SCAN_AI_READ, ">+025.30", 1, 0, 25.3f, 3},
        {&FAMILY_TELV, SCAN_AI_READ, ">-01,500", 1, 0, -1.5f},
        {&FAMILY_TELV, SCAN_AI_READ, ">+025.30+026.40-001.00", 1, 0, 25.3f},
        {&FAMILY_TELV, SCAN_AI_READ, ">+025.30+026.40-001.00", 0, 0, 0, 3},
        {&FAMILY_TELV, SCAN_AI_READ, ">+011.40+099.99", 0, 0, 0, 3},
        {&FAMILY_TELV, SCAN_AI_READ, ">+025.30 ", 1, 0, 25.3f},
        {&FAMILY_TELV, SCAN_AI_READ, ">+025.30 ", 0, 0, 0, 3},
        {&FAMILY_TELV, SCAN_AI_READ, ">+011", 0, 0, 0},
        {&FAMILY_TELV, SCAN_AI_READ, ">+011", 0, 0, 0, 3},
        {&FAMILY_TELV, SCAN_AI_READ, ">+0011.40", 0, 0, 0, 3},
        {&FAMILY_TELV, SCAN_AI_READ, ">-1,5", 0, 0, 0},
        {&FAMILY_TELV, SCAN_AI_READ, ">", 0, 0, 0},
        {&FAMILY_TELV, SCAN_AI_READ, ">+", 0, 0, 0},
        {&FAMILY_TELV, SCAN_AI_READ, ">ERR", 0, 0, 0},
        {&FAMILY_TELV, SCAN_AI_READ, ">+12abcd", 0, 0, 0},
        {&FAMILY_TELV, SCAN_AI_READ, ">+1.2.34", 0, 0, 0},
        {&FAMILY_TELV, SCAN_AI_READ, ">+1234-5", 0, 0, 0},
        // A module whose data format its start left as it was: a reading
        // of any width, a whole, finite number a float holds; one value to
        // a read of one channel; the first of a read of the whole module.
        {&FAMILY_TELV, SCAN_AI_READ, ">+025.30", 1, 0, 25.3f, 3, 1},
        {&FAMILY_TELV, SCAN_AI_READ, ">-1,5", 1, 0, -1.5f, 3, 1},
        {&FAMILY_TELV, SCAN_AI_READ, ">1e3", 1, 0, 1000.0f, 3, 1},
        {&FAMILY_TELV, SCAN_AI_READ, ">+011", 1, 0, 11.0f, 3, 1},
        {&FAMILY_TELV, SCAN_AI_READ, ">+025.30 ", 1, 0, 25.3f, 3, 1},
        {&FAMILY_TELV, SCAN_AI_READ, ">+011.40+099.99", 0, 0, 0, 3, 1},
        {&FAMILY_TELV, SCAN_AI_READ, ">+025.30+026.40-001.00", 1, 0, 25.3f, -1, 1},
        {&FAMILY_TELV, SCAN_AI_READ, ">+12abc", 0, 0, 0, 3, 1},
        {&FAMILY_TELV, SCAN_AI_READ, ">+9e99999", 0, 0, 0, 3, 1},
        {&FAMILY_TELV, SCAN_AI_READ, ">1e39", 0, 0, 0, 3, 1},
        {&FAMILY_TELV, SCAN_AI_READ, ">+1.2.3", 0, 0, 0, 3, 1},
        {&FAMILY_TELV, SCAN_AI_READ, ">+12-", 0, 0, 0, 3, 1},
        {&FAMILY_TELV, SCAN_DI_READ, "!00C300", 1, 0xC3, 0},
        {&FAMILY_TELV, SCAN_DI_READ, "!00C", 0, 0, 0},
        {&FAMILY_TELV, SCAN_DI_READ, "!00G100", 0, 0, 0},
        {&FAMILY_TELV, SCAN_DI_READ_6052, "!5A0000", 1, 0x5A, 0},
        {&FAMILY_TELV, SCAN_DI_READ_6052, "!5", 0, 0, 0},
        {&FAMILY_TELV, SCAN_DI16_READ, "!1234", 1, 0x1234, 0},
        {&FAMILY_TELV, SCAN_DI16_READ, "!123", 0, 0, 0},
        {&FAMILY_TELV, SCAN_DI16_READ_6041I, "!ABCD00", 1, 0xABCD, 0},
        {&FAMILY_TELV, SCAN_DIO_READ, "!010C305", 1, 0xC305, 0},
        {&FAMILY_TELV, SCAN_DIO_READ, "!010C30", 0, 0, 0},
        {&FAMILY_TELV, SCAN_EVENT_READ, "!01123", 1, 123, 0},
        {&FAMILY_TELV, SCAN_EVENT_READ_6014, "!01-7", 1, 0xFFF9, 0},
        {&FAMILY_TELV, SCAN_EVENT_READ_6016, "!01", 0, 0, 0},
        {&FAMILY_TELV, SCAN_EVENT_READ_6016, "!0112x", 0, 0, 0},
        {&FAMILY_TELV, SCAN_COUNTER_READ_6080, ">0000001A", 1, 0, 26.0f},
        {&FAMILY_TELV, SCAN_COUNTER_READ_6080, ">", 0, 0, 0},
        {&FAMILY_TELV, SCAN_COUNTER_READ_6080, ">00X0001A", 0, 0, 0},
        {&FAMILY_ND, SCAN_COUNTER_READ_6080, ">00000026", 1, 0, 26.0f},
        {&FAMILY_ND, SCAN_COUNTER_READ_6080, ">26Hz", 0, 0, 0},
        {&FAMILY_TELV, SCAN_DI_READ_6080, "!01077", 1, 0x77, 0},
        {&FAMILY_TELV, SCAN_DI_READ_6080, "!0107", 0, 0, 0},
        {&FAMILY_TELV, SCAN_DIO_READ_6058, "!0001020304", 1, 0x04030201, 0},
        {&FAMILY_TELV, SCAN_DIO_READ_6058, "!00010203", 0, 0, 0},
        {&FAMILY_TELV, SCAN_DI_READ_6024DI, "!01A", 1, 10, 0},
        {&FAMILY_TELV, SCAN_DI_READ_6024DI, "!01", 0, 0, 0},
        {&FAMILY_TELV, SCAN_DI_READ_6005I, "!0133", 1, 0x33, 0},
        {&FAMILY_TELV, SCAN_DI_READ_6005I, "!013", 0, 0, 0},
        {&FAMILY_TELV, SCAN_DO_WRITE, ">", 1, 0, 0},
        {&FAMILY_XX01, SCAN_AO_WRITE_6024, "!01", 1, 0, 0},
        // A reply that names its module must name the one asked (1).
        {&FAMILY_TELV, SCAN_DIO_READ, "!020C305", 0, 0, 0},
        {&FAMILY_TELV, SCAN_EVENT_READ, "!02123", 0, 0, 0},
        {&FAMILY_TELV, SCAN_EVENT_READ_6014, "!0a-7", 0, 0, 0},
        {&FAMILY_TELV, SCAN_EVENT_READ_6016, "!1112", 0, 0, 0},
        {&FAMILY_TELV, SCAN_DI_READ_6080, "!02077", 0, 0, 0},
        {&FAMILY_TELV, SCAN_DI_READ_6005I, "!0233", 0, 0, 0},
        {&FAMILY_TELV, SCAN_DI_READ_6024DI, "!02A", 0, 0, 0},
        {&FAMILY_TELV, SCAN_EXCITATION_WRITE_6016, "!02", 0, 0, 0},
        {&FAMILY_TELV, SCAN_EXCITATION_WRITE_6016, "!", 0, 0, 0},
        {&FAMILY_TELV, SCAN_DO1_WRITE_6016, "!02", 0, 0, 0},
        {&FAMILY_TELV, SCAN_DO0_WRITE, "!02", 0, 0, 0},
        {&FAMILY_TELV, SCAN_DO0_WRITE, "!01", 1, 0, 0},
        {&FAMILY_XX01, SCAN_AO_WRITE_6024, "!02", 0, 0, 0},
        // "$AA6" is answered with data alone: nothing there names the module.
        {&FAMILY_TELV, SCAN_DI16_READ, "!0234", 1, 0x0234, 0},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(std::string(c.reply) + " to the entry of channel " + std::to_string(c.param));
        SelectFamily(c.family);
        Cell cell;
        memset(&cell, 0, sizeof cell);
        ScanEntry own = {c.kind, 1, 1, c.param, 0, &cell};
        ScanEntry* e = &own;
        if (c.anyWidth) {
            ASSERT_EQ(1, ScanListCreate());
            ScanHandle h = ScanAddAiRead(1, 1, c.param, &cell.f, 0);
            ScanAcceptAnyWidth(h);
            e = ScanListEntry(h);
        }
        EXPECT_EQ(c.accepted, ScanParseReply(e, c.reply));
        if (c.anyWidth) ScanListFree();
        bool isFloat = c.kind == SCAN_AI_READ || c.kind == SCAN_COUNTER_READ_6080;
        if (!c.accepted) {
            EXPECT_EQ(0u, cell.d) << "a refused reply leaves the cell";
        } else if (isFloat) {
            EXPECT_FLOAT_EQ(c.value, cell.f);
        } else if (c.kind == SCAN_DIO_READ) {
            EXPECT_EQ(c.bits & 0xFF, cell.b[0]);
            EXPECT_EQ(c.bits >> 8, cell.b[1]);
        } else {
            EXPECT_EQ(c.bits, cell.d);
        }
    }
}

TEST_F(Kinds, TheListHandsOutHandlesInOrderAndStartsOverWhenMadeAnew) {
    float a = 0, b = 0;
    ASSERT_EQ(1, ScanListCreate());
    EXPECT_EQ(0, ScanAddAiRead(1, 1, 0, &a, 0));
    ASSERT_EQ(1, ScanListCreate()); // a second block finds the list
    EXPECT_EQ(1, ScanAddAiRead(1, 1, 1, &b, 0));
    EXPECT_EQ(2, ScanListCount());
    ScanListFree();
    ASSERT_EQ(1, ScanListCreate());
    EXPECT_EQ(0, ScanListCount());
    EXPECT_EQ(0, ScanAddAiRead(1, 1, 0, &a, 0));
    ScanListFree();
    EXPECT_EQ(0, hostsim::LiveAllocations());
}

TEST_F(Kinds, The1025thRequestStopsTheExperiment) {
    float cell = 0;
    ASSERT_EQ(1, ScanListCreate());
    for (int i = 0; i < SCAN_LIST_SIZE; i++)
        ASSERT_EQ(i, ScanAddAiRead(1, 1, 0, &cell, 0));
    EXPECT_EQ(-1, ScanAddAiRead(1, 1, 0, &cell, 0));
    EXPECT_EQ(1, hostsim::StopExperimentCalls());
    ASSERT_EQ(1u, hostsim::Warnings().size());
    EXPECT_EQ("Error", hostsim::Warnings()[0].caption);
    EXPECT_EQ("Too many XX02 channels in the worksheet.", hostsim::Warnings()[0].text);
}

TEST_F(Kinds, NoMemoryForTheListIsShown) {
    hostsim::FailAllocations(1);
    EXPECT_EQ(0, ScanListCreate());
    ASSERT_EQ(1u, hostsim::Warnings().size());
    EXPECT_EQ("Error", hostsim::Warnings()[0].caption);
    EXPECT_EQ("Not enough memory!", hostsim::Warnings()[0].text);
}

} // namespace
