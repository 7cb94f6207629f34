// The request kinds of the scan list: the command each kind sends in each
// family, the first reply character it expects, what its parser stores, and
// the short and malformed replies it refuses; and the list itself.
#include "engine_fixture.h"

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

struct RequestCase {
    int* family;
    int kind;
    int address;
    int param;
    float value; // output cells: the float, or the integer value of the cell
    const char* request;
    char expected;
};

class Kinds : public EngineTest {};

TEST_F(Kinds, EveryKindSendsItsCommandInEachFamily) {
    const RequestCase cases[] = {
        {&FAMILY_TELV, SCAN_AI_READ, 0x1A, 3, 0, "#1A3", '>'},
        {&FAMILY_TELV, SCAN_AI_READ, 0x1A, -1, 0, "#1A", '>'},
        {&FAMILY_TELV, SCAN_AO_WRITE, 2, 1, 5.0f, "#02105.000", '>'},
        {&FAMILY_XX03, SCAN_AO_WRITE, 2, 1, 5.0f, "#021+05.000", '>'},
        {&FAMILY_ND, SCAN_AO_WRITE, 2, 1, 5.0f, "#02B+05.000", '>'},
        {&FAMILY_TELV, SCAN_AO_WRITE, 2, -1, 5.0f, "#0205.000", '>'},
        {&FAMILY_TELV, SCAN_DI_READ, 1, -1, 0, "$016", '!'},
        {&FAMILY_TELV, SCAN_DO_WRITE, 1, -1, 0xA5, "#0100A5", '>'},
        {&FAMILY_TELV, SCAN_DI_READ_6052, 1, -1, 0, "$016", '!'},
        {&FAMILY_TELV, SCAN_DI16_READ, 1, -1, 0, "$016", '!'},
        {&FAMILY_TELV, SCAN_DIO_READ, 1, -1, 0, "@01DI", '!'},
        {&FAMILY_TELV, SCAN_EVENT_READ, 1, -1, 0, "@01RE", '!'},
        {&FAMILY_ND, SCAN_COUNTER_READ_6080, 1, 1, 0, "#011D", '>'},
        {&FAMILY_TELV, SCAN_COUNTER_READ_6080, 1, 1, 0, "#011", '>'},
        {&FAMILY_TELV, SCAN_DI_READ_6080, 1, -1, 0, "@01DI", '!'},
        {&FAMILY_TELV, SCAN_DO_WRITE_6056, 1, -1, 0x1234, "#01T1234", '>'},
        {&FAMILY_TELV, SCAN_DIO_READ_6058, 1, -1, 0, "$016", '!'},
        {&FAMILY_TELV, SCAN_DI_READ_6024DI, 1, -1, 0, "$01I", '!'},
        {&FAMILY_TELV, SCAN_EXCITATION_WRITE_6016, 1, -1, 2.5f, "$017+02.500", '!'},
        {&FAMILY_TELV, SCAN_DO1_WRITE_6016, 1, -1, 6, "@01DO12", '!'},
        {&FAMILY_TELV, SCAN_DO0_WRITE, 1, -1, 7, "@01DO03", '!'},
        {&FAMILY_TELV, SCAN_EVENT_READ_6016, 1, -1, 0, "@01RE", '!'},
        {&FAMILY_XX01, SCAN_AO_WRITE_6024, 1, 2, -1.0f, "#01C2-01.000", '!'},
        {&FAMILY_TELV, SCAN_AO_WRITE_6024, 1, 2, -1.0f, "#012-01.000", '>'},
        {&FAMILY_TELV, SCAN_DO1_WRITE16, 1, -1, 7, "@01DO17", '!'},
        {&FAMILY_TELV, SCAN_EVENT_READ_6014, 1, -1, 0, "@01RE", '!'},
        {&FAMILY_TELV, SCAN_DI16_READ_6041I, 1, -1, 0, "$016", '!'},
        {&FAMILY_TELV, SCAN_DO16_WRITE_6042O, 1, -1, 0xBEEF, "@01BEEF", '>'},
        {&FAMILY_TELV, SCAN_DO16_WRITE, 1, -1, 0x0102, "@010102", '>'},
        {&FAMILY_TELV, SCAN_DO4_WRITE_6063, 1, -1, 9, "@019", '>'},
        {&FAMILY_TELV, SCAN_DI_READ_6005I, 1, -1, 0, "@01DI", '!'},
    };
    for (const RequestCase& c : cases) {
        SelectFamily(c.family);
        Cell cell;
        memset(&cell, 0, sizeof cell);
        bool isFloat = c.kind == SCAN_AO_WRITE || c.kind == SCAN_EXCITATION_WRITE_6016 ||
                       c.kind == SCAN_AO_WRITE_6024;
        if (isFloat) {
            cell.f = c.value;
        } else {
            cell.d = static_cast<DWORD>(c.value);
        }
        ScanEntry e = {c.kind, 1, c.address, c.param, 0, &cell};
        char request[SCAN_REQUEST_SIZE];
        ASSERT_EQ(1, ScanFormatRequest(&e, request, sizeof request)) << c.request;
        EXPECT_STREQ(c.request, request) << "kind " << c.kind;
        EXPECT_EQ(c.expected, ScanExpectedReply(c.kind)) << "kind " << c.kind;
    }
}

TEST_F(Kinds, TheTwoLineWritesKeepOnlyTheTwoLowBitsInTheirCell) {
    BYTE cell = 7;
    ScanEntry e = {SCAN_DO0_WRITE, 1, 1, -1, 0, &cell};
    char request[SCAN_REQUEST_SIZE];
    ASSERT_EQ(1, ScanFormatRequest(&e, request, sizeof request));
    EXPECT_STREQ("@01DO03", request);
    EXPECT_EQ(3, cell);
}

TEST_F(Kinds, AnalogReadsLoseTheirChannelUnderTheChannelMaskSwitch) {
    ScanEntry e = {SCAN_AI_READ, 1, 0x1A, 3, 0, nullptr};
    char request[SCAN_REQUEST_SIZE];
    const struct {
        int mask;
        const char* request;
    } cases[] = {{0, "#1A3"}, {1, "#1A"}, {2, "#1A"}, {3, "#1A3"}};
    for (const auto& c : cases) {
        ScanAnalogChannelMask = c.mask;
        ASSERT_EQ(1, ScanFormatRequest(&e, request, sizeof request));
        EXPECT_STREQ(c.request, request) << "mask " << c.mask;
    }
}

struct ParseCase {
    int* family;
    int kind;
    const char* reply;
    int accepted;
    DWORD bits;  // integer cells: the cell's low bytes
    float value; // float cells
};

TEST_F(Kinds, RepliesAreParsedIntoTheCellOrRefusedWhenShortOrMalformed) {
    const ParseCase cases[] = {
        {&FAMILY_TELV, SCAN_AI_READ, ">+025.30", 1, 0, 25.3f},
        {&FAMILY_TELV, SCAN_AI_READ, ">-1,5", 1, 0, -1.5f},
        {&FAMILY_TELV, SCAN_AI_READ, ">", 0, 0, 0},
        {&FAMILY_TELV, SCAN_AI_READ, ">+", 0, 0, 0},
        {&FAMILY_TELV, SCAN_AI_READ, ">ERR", 0, 0, 0},
        // A reading is a whole, finite number a float holds; the next value
        // of a whole-module read may follow it.
        {&FAMILY_TELV, SCAN_AI_READ, ">+12abc", 0, 0, 0},
        {&FAMILY_TELV, SCAN_AI_READ, ">+9e99999", 0, 0, 0},
        {&FAMILY_TELV, SCAN_AI_READ, ">1e39", 0, 0, 0},
        {&FAMILY_TELV, SCAN_AI_READ, ">+1.2.3", 0, 0, 0},
        {&FAMILY_TELV, SCAN_AI_READ, ">+12-", 0, 0, 0},
        {&FAMILY_TELV, SCAN_AI_READ, ">1e3", 1, 0, 1000.0f},
        {&FAMILY_TELV, SCAN_AI_READ, ">+025.30 ", 1, 0, 25.3f},
        {&FAMILY_TELV, SCAN_AI_READ, ">+025.30+026.40-001.00", 1, 0, 25.3f},
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
    };
    for (const ParseCase& c : cases) {
        SelectFamily(c.family);
        Cell cell;
        memset(&cell, 0, sizeof cell);
        ScanEntry e = {c.kind, 1, 1, -1, 0, &cell};
        EXPECT_EQ(c.accepted, ScanParseReply(&e, c.reply)) << c.reply;
        bool isFloat = c.kind == SCAN_AI_READ || c.kind == SCAN_COUNTER_READ_6080;
        if (!c.accepted) {
            EXPECT_EQ(0u, cell.d) << "a refused reply leaves the cell: " << c.reply;
        } else if (isFloat) {
            EXPECT_FLOAT_EQ(c.value, cell.f) << c.reply;
        } else if (c.kind == SCAN_DIO_READ) {
            EXPECT_EQ(c.bits & 0xFF, cell.b[0]) << c.reply;
            EXPECT_EQ(c.bits >> 8, cell.b[1]) << c.reply;
        } else {
            EXPECT_EQ(c.bits, cell.d) << c.reply;
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
