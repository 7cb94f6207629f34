// Worksheet files: every schema field saved by name and loaded back at its
// offset; a file that cannot be loaded whole is refused with its line.
#include "plugin_fixture.h"

#include <math.h>
#include <stddef.h>
#include <string.h>
#include <unistd.h>

namespace {

// A parameter record with a field of every schema type.
struct FixtureParam {
    int Version;
    char Channel_Name[16][24];
    int Module_Address;
    WORD Channel_Mask;
    short Offset;
    BOOL Enabled;
    DWORD Ticks;
    float Gain;
    alignas(8) double Limit;
    WORD Dummy1[4];
    char Unit[2][64];
    int NotSaved; // not in the schema
};

const ParamSchemaEntry kSchema[] = {
    {"Version", "int", offsetof(FixtureParam, Version), 0},
    {"Channel_Name[0..15]", "string[24]", offsetof(FixtureParam, Channel_Name), 0},
    {"Module_Address", "int", offsetof(FixtureParam, Module_Address), 0},
    {"Channel_Mask", "WORD", offsetof(FixtureParam, Channel_Mask), 0},
    {"Offset", "short", offsetof(FixtureParam, Offset), 0},
    {"Enabled", "BOOL", offsetof(FixtureParam, Enabled), 0},
    {"Ticks", "DWORD", offsetof(FixtureParam, Ticks), 0},
    {"Gain", "float", offsetof(FixtureParam, Gain), 0},
    {"Limit", "double", offsetof(FixtureParam, Limit), 0},
    {"Dummy1", "WORD[0..3]", offsetof(FixtureParam, Dummy1), 0},
    {"Unit[0..1]", "string[64]", offsetof(FixtureParam, Unit), 0},
    {nullptr, nullptr, 0, 0},
};

int afterLoads = 0;

int MODULE_CALL FixtureClassProc(ModuleRecord*, int msg, int, int) {
    switch (msg) {
    case MODMSG_CREATE: return 1;
    case MODMSG_GET_SCHEMA: return static_cast<int>(reinterpret_cast<uintptr_t>(kSchema));
    case MODMSG_AFTER_LOAD: afterLoads++; return 1;
    default: return 0;
    }
}

int MODULE_CALL FixtureProcess(ModuleRecord*) {
    return 0;
}

class Worksheet : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(hostsim::Start());
        afterLoads = 0;
        ModuleClassRecord r;
        memset(&r, 0, sizeof r);
        r.pszClassName = "FIX-7_MODULE";
        r.pszDefaultName = "Fix-00";
        r.pszDescription = "Fixture block";
        r.uParamSize = sizeof(FixtureParam);
        r.uRuntimeSize = 8;
        r.uChannelDataSize = 4;
        r.uMenuId = 4100;
        r.pfnClassProc = FixtureClassProc;
        r.pfnProcess = FixtureProcess;
        ASSERT_EQ(1, hostsim::RegisterClassRecord(&r));
    }
    void TearDown() override { hostsim::CloseWorksheet(); }
    FixtureParam* NewFixture() {
        hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByName("FIX-7_MODULE"));
        return b ? static_cast<FixtureParam*>(b->record.pParam) : nullptr;
    }
    std::string Text() {
        std::string text, error;
        EXPECT_EQ(1, hostsim::WorksheetToText(&text, &error)) << error;
        return text;
    }
};

TEST_F(Worksheet, RoundTripKeepsEverySchemaField) {
    FixtureParam* p = NewFixture();
    ASSERT_NE(nullptr, p);
    p->Version = 3;
    for (int i = 0; i < 16; i++)
        snprintf(p->Channel_Name[i], 24, "Ch %d \"q\" \\", i);
    snprintf(p->Channel_Name[15], 24, "%s", "twenty-three characters");
    p->Module_Address = 255;
    p->Channel_Mask = 0xFFFF;
    p->Offset = -32768;
    p->Enabled = 1;
    p->Ticks = 4294967295u;
    p->Gain = 1.0f / 3.0f;
    p->Limit = -1.0 / 7.0;
    p->Dummy1[0] = 1;
    p->Dummy1[3] = 65535;
    snprintf(p->Unit[0], 64,
             "\xB0"
             "C");
    snprintf(p->Unit[1], 64, "mV");
    p->NotSaved = 99;
    hostsim::Block* first = hostsim::BlockAt(0);
    first->record.uInputs = 0;
    first->record.uOutputs = 8;
    snprintf(first->record.szName, sizeof first->record.szName, "Oven left");
    snprintf(first->record.szDescription, sizeof first->record.szDescription,
             "Zone 1 \xB0"
             "C");

    FixtureParam* second = NewFixture();
    ASSERT_NE(nullptr, second);
    second->Gain = -0.0f;
    second->Limit = 1e300;
    hostsim::BlockAt(1)->record.uInputs = 16;

    FixtureParam saved[2] = {*p, *second};
    std::string text = Text();
    EXPECT_NE(std::string::npos, text.find("  class = \"FIX-7_MODULE\"\n"));
    EXPECT_NE(std::string::npos, text.find("  field Channel_Name[15] string[24] = "
                                           "\"twenty-three characters\"\n"));
    EXPECT_NE(std::string::npos, text.find("  field Dummy1[3] WORD = 65535\n"));
    EXPECT_NE(std::string::npos, text.find("  field Unit[0] string[64] = \"\\xB0C\"\n"));
    EXPECT_EQ(std::string::npos, text.find("NotSaved"));

    std::string error;
    ASSERT_EQ(1, hostsim::WorksheetFromText(text, &error)) << error;
    ASSERT_EQ(2, hostsim::BlockCount());
    EXPECT_EQ(2, afterLoads);
    EXPECT_EQ(1, hostsim::BlockAt(0)->afterLoadAnswer);
    for (int k = 0; k < 2; k++) {
        SCOPED_TRACE(k);
        hostsim::Block* b = hostsim::BlockAt(k);
        FixtureParam* q = static_cast<FixtureParam*>(b->record.pParam);
        FixtureParam expected = saved[k];
        expected.NotSaved = 0; // bytes outside the schema come back zero
        EXPECT_EQ(0, memcmp(&expected, q, sizeof expected));
    }
    EXPECT_STREQ("Oven left", hostsim::BlockAt(0)->record.szName);
    EXPECT_STREQ("Zone 1 \xB0"
                 "C",
                 hostsim::BlockAt(0)->record.szDescription);
    EXPECT_EQ(8u, static_cast<UINT>(hostsim::BlockAt(0)->record.uOutputs));
    EXPECT_EQ(16u, static_cast<UINT>(hostsim::BlockAt(1)->record.uInputs));
    EXPECT_TRUE(signbit(static_cast<FixtureParam*>(hostsim::BlockAt(1)->record.pParam)->Gain));
    EXPECT_EQ(text, Text()) << "saving again gives the same file";
}

TEST_F(Worksheet, SaveAndLoadThroughAFile) {
    FixtureParam* p = NewFixture();
    ASSERT_NE(nullptr, p);
    p->Module_Address = 17;
    char path[] = "/tmp/telvio-worksheet-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    std::string error;
    ASSERT_EQ(1, hostsim::SaveWorksheet(path, &error)) << error;
    ASSERT_EQ(1, hostsim::LoadWorksheet(path, &error)) << error;
    ASSERT_EQ(1, hostsim::BlockCount());
    EXPECT_EQ(17, static_cast<FixtureParam*>(hostsim::BlockAt(0)->record.pParam)->Module_Address);
    unlink(path);
    EXPECT_EQ(0, hostsim::LoadWorksheet(path, &error));
    EXPECT_NE(std::string::npos, error.find("cannot read"));
}

// A good file with one line replaced.
std::string GoodFile(const std::string& replaceLine = "", int lineNumber = 0) {
    const char* lines[] = {
        "worksheet 1",                                 // 1
        "",                                            // 2
        "block",                                       // 3
        "  class = \"FIX-7_MODULE\"",                  // 4
        "  name = \"Good\"",                           // 5
        "  description = \"first block\"",             // 6
        "  inputs = 0",                                // 7
        "  outputs = 1",                               // 8
        "  field Version int = 1",                     // 9
        "  field Channel_Name[0] string[24] = \"T1\"", // 10
        "  field Channel_Mask WORD = 1",               // 11
        "  field Gain float = 2.5",                    // 12
        "end",                                         // 13
        "block",                                       // 14
        "  class = \"FIX-7_MODULE\"",                  // 15
        "  name = \"Second\"",                         // 16
        "  description = \"\"",                        // 17
        "  inputs = 0",                                // 18
        "  outputs = 0",                               // 19
        "  field Limit double = 0.25",                 // 20
        "end",                                         // 21
    };
    std::string out;
    int n = 0;
    for (const char* l : lines) {
        n++;
        out += (n == lineNumber ? replaceLine : std::string(l)) + "\n";
    }
    return out;
}

TEST_F(Worksheet, TheGoodFileLoads) {
    std::string error;
    ASSERT_EQ(1, hostsim::WorksheetFromText(GoodFile(), &error)) << error;
    ASSERT_EQ(2, hostsim::BlockCount());
    FixtureParam* p = static_cast<FixtureParam*>(hostsim::BlockAt(0)->record.pParam);
    EXPECT_EQ(1, p->Version);
    EXPECT_STREQ("T1", p->Channel_Name[0]);
    EXPECT_EQ(2.5f, p->Gain);
    EXPECT_EQ(0, p->Module_Address) << "a field not given stays zero";
    EXPECT_EQ(0.25, static_cast<FixtureParam*>(hostsim::BlockAt(1)->record.pParam)->Limit);
}

struct BadCase {
    const char* what;
    int line;
    const char* text; // the line put in place of the good one
    const char* message;
};

const BadCase kBad[] = {
    {"unknown class", 15, "  class = \"PVTH9_MODULE\"", "line 15: unknown class \"PVTH9_MODULE\""},
    {"wrong type", 9, "  field Version float = 1", "line 9: field Version is int, not float"},
    {"wrong element type", 10, "  field Channel_Name[0] string[64] = \"T1\"",
     "line 10: field Channel_Name[0] is string[24], not string[64]"},
    {"unknown field", 20, "  field Limits double = 1",
     "line 20: class FIX-7_MODULE has no field Limits"},
    {"index out of range", 10, "  field Channel_Name[16] string[24] = \"x\"",
     "line 10: class FIX-7_MODULE has no field Channel_Name[16]"},
    {"value not a number", 9, "  field Version int = one",
     "line 9: the value \"one\" does not parse as int"},
    {"trailing garbage", 12, "  field Gain float = 2.5x",
     "line 12: the value \"2.5x\" does not parse as float"},
    {"WORD out of range", 11, "  field Channel_Mask WORD = 65536",
     "line 11: the value \"65536\" does not parse as WORD"},
    {"text too long", 10, "  field Channel_Name[0] string[24] = \"twenty-four characters!!\"",
     "line 10: the text does not fit string[24]"},
    {"unquoted text", 10, "  field Channel_Name[0] string[24] = T1",
     "line 10: a text must be quoted"},
    {"truncated text", 5, "  name = \"Goo",
     "line 5: truncated line: the text has no closing quote"},
    {"truncated field", 9, "  field Version int", "line 9: truncated line"},
    {"truncated value", 9, "  field Version int =", "line 9: truncated line"},
    {"name too long", 16, "  name = \"Thirteen char\"",
     "line 16: the name is longer than 12 characters"},
    {"too many channels", 19, "  outputs = 17",
     "line 19: the outputs count \"17\" is not a number from 0 to 16"},
    {"field twice", 11, "  field Version int = 2", "line 11: field Version given twice"},
    {"missing header", 1, "worksheet 2", "line 1: not a worksheet"},
    {"class not first", 4, "  inputs = 0", "line 4: the class must come first"},
    {"missing end", 21, "", "line 21: the block begun at line 14 has no end (truncated file)"},
    {"missing count", 19, "", "line 21: block without outputs"},
};

class BadWorksheet : public Worksheet, public ::testing::WithParamInterface<BadCase> {};

TEST_P(BadWorksheet, IsRefusedWithItsLineAndNothingIsLoaded) {
    const BadCase& c = GetParam();
    FixtureParam* p = NewFixture();
    ASSERT_NE(nullptr, p);
    p->Version = 42;
    hostsim::Block* before = hostsim::BlockAt(0);
    std::string error;
    EXPECT_EQ(0, hostsim::WorksheetFromText(GoodFile(c.text, c.line), &error));
    EXPECT_EQ(0u, error.find(c.message)) << error;
    ASSERT_EQ(1, hostsim::BlockCount()) << "the worksheet stays as it was";
    EXPECT_EQ(before, hostsim::BlockAt(0));
    EXPECT_EQ(42, p->Version);
    EXPECT_EQ(0, afterLoads);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadWorksheet, ::testing::ValuesIn(kBad),
                         [](const ::testing::TestParamInfo<BadCase>& info) {
                             std::string n;
                             for (const char* p = info.param.what; *p; p++)
                                 n += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return n;
                         });

// A schema the host cannot follow is refused when saving, not written half.
const ParamSchemaEntry kBadSchema[] = {
    {"Version", "int", 0, 0},
    {"Beyond", "double", 12, 0}, // the record has 16 bytes
    {nullptr, nullptr, 0, 0},
};
int MODULE_CALL BadSchemaClassProc(ModuleRecord*, int msg, int, int) {
    if (msg == MODMSG_GET_SCHEMA) return static_cast<int>(reinterpret_cast<uintptr_t>(kBadSchema));
    return 1;
}

TEST_F(Worksheet, AFieldOutsideTheRecordIsRefusedOnSave) {
    ModuleClassRecord r;
    memset(&r, 0, sizeof r);
    r.pszClassName = "BAD_MODULE";
    r.uParamSize = 16;
    r.pfnClassProc = BadSchemaClassProc;
    ASSERT_EQ(1, hostsim::RegisterClassRecord(&r));
    ASSERT_NE(nullptr, hostsim::CreateBlock(hostsim::FindClassByName("BAD_MODULE")));
    std::string text, error;
    EXPECT_EQ(0, hostsim::WorksheetToText(&text, &error));
    EXPECT_EQ("block 1: class BAD_MODULE, schema row 1: field Beyond lies outside the record",
              error);
}

// The plug-in's own classes: a block is saved under its class name and comes
// back as the class registered under that name. In XX04 three types share
// "PVTH8_MODULE"; a saved block of any of them comes back as the first one
// registered, ND6005: the fields of a saved ND6018 or ND6019 block are all
// ND6005's.
TEST_F(PluginTest, SavedBlocksOfThePluginComeBackUnderTheirClassNames) {
    struct {
        const char* file;
        int menuId;
        int menuIdAfterLoad;
    } cases[] = {
        {"Telvio.so", 2955, 2955},
        {"Telvio.so", 2978, 2978}, // "7041-I-00", a class name that
                                   // looks like a block name
        {"xx04.so", 2955, 2991},
        {"xx04.so", 2992, 2991},
        {"xx04.so", 2997, 2959},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.menuId));
        if (plugin.module) hostsim::UnloadPlugin(&plugin);
        ASSERT_TRUE(hostsim::Start());
        ASSERT_EQ(1, Bind(std::string(c.file).insert(4, std::to_string(n++))));
        hostsim::SetDefaultActionAnswer(1);
        hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByMenuId(c.menuId));
        ASSERT_NE(nullptr, b);
        std::string text, error;
        ASSERT_EQ(1, hostsim::WorksheetToText(&text, &error)) << error;
        ASSERT_EQ(1, hostsim::WorksheetFromText(text, &error)) << error;
        ASSERT_EQ(1, hostsim::BlockCount());
        EXPECT_EQ(c.menuIdAfterLoad, hostsim::BlockAt(0)->moduleClass->record.uMenuId);
        EXPECT_EQ(1, hostsim::BlockAt(0)->afterLoadAnswer);
    }
}

} // namespace
