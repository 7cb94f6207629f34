// Every family registers its block types in the fixed order, under its own
// class names, with the record sizes, menu ids, texts and bitmaps of each type.
#include "plugin_fixture.h"

#include <string.h>

#include <map>
#include <vector>

namespace {

struct TypeRow {
    const char* type;
    int menuId;
    int paramSize, runtimeSize, channelDataSize;
    int helpContext;
    const char* families; // D, 1, 4, 3, 5, 6, T; a dot where the type does not register
};

struct TelvRow {
    const char* type;
    const char* className;
    const char* defaultName;
    const char* description; // nullptr: a text of the type's own
    const char* symbol;
};

struct ClassOfType {
    const char* type;
    const char* className;
};

// type, menu id, parameter, runtime and per-channel bytes, help context, families
const TypeRow kTypes[] = {
    {"ND6005", 2991, 2096, 56, 8, 1090, "D14356T"},
    {"ND6005I", 2995, 1576, 56, 4, 1090, "D1.356T"},
    {"ND6011", 2950, 1608, 120, 4, 1100, "D1.35.T"},
    {"ND6011P", 2951, 1608, 120, 4, 1100, "......T"},
    {"ND6012", 2952, 1608, 120, 4, 1105, "D1.356T"},
    {"ND6013", 2953, 1576, 56, 8, 1110, "D14356T"},
    {"ND6014", 2989, 1616, 272, 8, 1140, "......T"},
    {"ND6015", 2988, 1640, 56, 8, 1113, "...3..T"},
    {"ND6017", 2954, 1576, 56, 8, 1115, "D14356T"},
    {"ND6016", 2987, 1624, 280, 12, 1140, "...3..T"},
    {"ND6018", 2955, 1576, 56, 8, 1120, "D14356T"},
    {"ND6018P", 2956, 1576, 56, 8, 1120, "......T"},
    {"ND6019", 2992, 1640, 56, 8, 1123, "D14356T"},
    {"ND6021", 2957, 1952, 120, 8, 1125, "D14356T"},
    {"ND6022", 2967, 1776, 184, 12, 1220, "......T"},
    {"ND6024", 2968, 504, 64, 12, 1155, "D1.356T"},
    {"ND6024I", 2969, 1576, 64, 4, 1155, "D1...6."},
    {"ND6033", 2970, 1576, 184, 8, 1225, "......T"},
    {"ND6041I", 2978, 1576, 56, 4, 1200, "...3.6T"},
    {"ND6042O", 2979, 1576, 56, 4, 1205, "...3..T"},
    {"ND6043O", 2980, 1576, 56, 4, 1210, "...3..T"},
    {"ND6044I", 2976, 1576, 56, 4, 1195, "...3..T"},
    {"ND6044O", 2977, 1576, 56, 4, 1195, "...3..T"},
    {"ND6050I", 2958, 1576, 56, 4, 1130, "D1.356T"},
    {"ND6050O", 2959, 1576, 56, 4, 1130, "D14356T"},
    {"ND6052", 2960, 1576, 56, 4, 1135, "D14356T"},
    {"ND6053", 2972, 1576, 56, 4, 1160, "D1.356T"},
    {"ND6054", 2973, 1576, 56, 4, 1165, "D...5.."},
    {"ND6055I", 2996, 1576, 56, 4, 1137, "D1.356T"},
    {"ND6055O", 2997, 1576, 56, 4, 1137, "D14356T"},
    {"ND6056", 2974, 1576, 56, 4, 1140, "D...5.."},
    {"ND6058", 2975, 1600, 96, 4, 1140, "D...5.."},
    {"ND6060I", 2961, 1576, 56, 4, 1140, "D..356T"},
    {"ND6060O", 2962, 1576, 64, 4, 1140, "D1.356T"},
    {"ND6065I", 2963, 1576, 56, 4, 1230, "......T"},
    {"ND6065O", 2964, 1576, 64, 4, 1230, "......T"},
    {"ND6063", 2971, 1576, 56, 4, 1180, "D.....T"},
    {"ND6063I", 2990, 1576, 56, 4, 1180, "......T"},
    {"ND6067", 2981, 1576, 56, 4, 1215, "...3.6T"},
    {"ND6080", 2965, 600, 128, 4, 1145, "D14356T"},
    {"ND6757O", 2993, 1576, 56, 4, 1231, "...3..T"},
    {"ND6751", 2994, 1576, 56, 4, 1132, "D1.356T"},
};
// TELV: class name, default name, description (0: our own), symbol
const TelvRow kTelv[] = {
    {"ND6005", "Q7005_I_MODULE", "Q7005-I-00", "ND6005 Analog Input", "Q7005I_IN"},
    {"ND6005I", "Q7005R_MODULE", "Q7005-R-00", nullptr, "Q7005R_IN"},
    {"ND6011", "Q7011_I_MODULE", "Q7011-I-00", "ND6011 Analog Input", "Q7011I_IN"},
    {"ND6011P", "Q7011P_I_MODULE", "Q7011P-I-00", "ND6011 Analog Input", "Q7011P_IN"},
    {"ND6012", "Q7012_I_MODULE", "Q7012-I-00", "ND6012 Analog Input", "Q7012I_IN"},
    {"ND6013", "Q7013_I_MODULE", "Q7013-I-00", "ND6013 Thermocouple", "Q7013I_IN"},
    {"ND6014", "Q7014_MODULE", "Q7014-00", "ND6014 Analog Input", "Q7014I_IN"},
    {"ND6015", "Q7015_I_MODULE", "Q7015-I-00", "ND6015 Thermocouple", "Q7015I_IN"},
    {"ND6017", "Q7017-I_MODULE", "Q7017-I-00", "ND6017 Voltage Measurement", "Q7017I_IN"},
    {"ND6016", "Q7016_MODULE", "Q7016-00", "ND6016 DMS Measurement", "Q7016"},
    {"ND6018", "Q7018_I_MODULE", "Q7018-I-00", "ND6018 Thermocouple", "Q7018I_IN"},
    {"ND6018P", "Q7018P_I_MODULE", "Q7018P-I-00", "ND6018 Thermocouple", "Q7018P_IN"},
    {"ND6019", "Q7019_I_MODULE", "Q7019-I-00", "ND6019 Thermocouple", "Q7019I_IN"},
    {"ND6021", "Q7021_O_MODULE", "Q-7021-O-00", "ND6021 Analog Output", "Q7021O_IN"},
    {"ND6022", "Q6022O_MODULE", "Q7022O-00", "q7022 Analog Output", "Q7022O_IN"},
    {"ND6024", "Q6024O_MODULE", "Q7024O-00", "ND6024 Analog Output", "Q7024O_IN"},
    {"ND6033", "Q7033_I_MODULE", "Q7033-I-00", "q7033 Thermocouple (3 Inputs)", "Q7033I_IN"},
    {"ND6041I", "7041-I-00", "Q7041-I-00", "ND6041 Digital-Inputs", "Q7041I_IN"},
    {"ND6042O", "Q7042-O-00", "Q7042-O-00", "ND6042 Digital-Outputs", "Q7042O_IN"},
    {"ND6043O", "Q7043_O_MODULE", "Q7043-O-00", "ND6043 Digital-Outputs", "Q7043O_IN"},
    {"ND6044I", "Q7044I_MODULE", "Q7044-I-00", "ND6044 Digital Inputs", "Q7044I_IN"},
    {"ND6044O", "Q7044_O_MODULE", "Q7044-O-00", "ND6044 Digital Outputs", "Q7044O_IN"},
    {"ND6050I", "Q7050I_MODULE", "Q7050-I-00", "ND6050I 8 Digital Input", "Q7050I_IN"},
    {"ND6050O", "Q7050_O_MODULE", "Q7050-O-00", "ND6050O 8 Digital Output", "Q7050O_IN"},
    {"ND6052", "Q7052I_MODULE", "Q7052I-00", "ND6052 8 Digital Input", "Q7052I_IN"},
    {"ND6053", "Q7053_I_MODULE", "Q-7053-I-00", "ND6053 16 Digital Input", "Q7053I_IN"},
    {"ND6055I", "Q7055I_MODULE", "Q7055-I-00", "ND6055I 8 Digital Input", "Q7055I_IN"},
    {"ND6055O", "Q7055_O_MODULE", "Q7055-O-00", "ND6055O 8 Digital Output", "Q7055O_IN"},
    {"ND6060I", "Q7060I_MODULE", "Q7060-Inp00", "ND6060I 4 Digital Input", "Q7060I_IN"},
    {"ND6060O", "Q7060O_MODULE", "Q7060O-00", "ND6060O 4 Relay Output", "Q7060O_IN"},
    {"ND6065I", "Q7065I_MODULE", "Q7065 Inp00", "q7065-I 4 Digital Input", "Q7060I_IN"},
    {"ND6065O", "Q7065O_MODULE", "Q7065O-00", "q7065-O 5 Relay Output", "Q7065O_IN"},
    {"ND6063", "7063_MODULE", "7063-00", "ND6063 8 Relay Output", "Q7063_IN"},
    {"ND6063I", "Q7063I_MODULE", "Q7063 Inp00", "q7063-I 8 Digital Input", "Q7063I_IN"},
    {"ND6067", "Q7067O_MODULE", "Q7067O-00", "ND6067 Digital Outputs", "Q7067O_IN"},
    {"ND6080", "Q7080_MODULE", "Q7080-00", "ND6080 Counter/Frequency Measurement", "Q7080_IN"},
    {"ND6757O", "Q87057_O_MODULE", "Q87057-O-00", "ND6757 Digital Outputs", "Q87057O_IN"},
    {"ND6751", "Q87051_I_MODULE", "Q-87051-I-00", "ND6751 16 Digital Inputs", "Q87051I_IN"},
};
//
const ClassOfType kClassesND[] = {
    {"ND6005", "ND6005_MODULE"},   {"ND6005I", "ND6005R_MODULE"}, {"ND6011", "ND6011_MODULE"},
    {"ND6012", "ND6012_MODULE"},   {"ND6013", "ND6013_MODULE"},   {"ND6017", "ND6017_MODULE"},
    {"ND6018", "ND6018_MODULE"},   {"ND6019", "ND6019_MODULE"},   {"ND6021", "ND6021_MODULE"},
    {"ND6024", "ND6024_MODULE"},   {"ND6024I", "ND6024I_MODULE"}, {"ND6050I", "ND6050I_MODULE"},
    {"ND6050O", "ND6050O_MODULE"}, {"ND6052", "ND6052_MODULE"},   {"ND6053", "ND6053_MODULE"},
    {"ND6054", "ND6054_MODULE"},   {"ND6055I", "ND6055I_MODULE"}, {"ND6055O", "ND6055O_MODULE"},
    {"ND6056", "ND6056_MODULE"},   {"ND6058", "ND6058_MODULE"},   {"ND6060I", "ND6060I_MODULE"},
    {"ND6060O", "ND6060O_MODULE"}, {"ND6063", "ND6063_MODULE"},   {"ND6080", "ND6080_MODULE"},
    {"ND6751", "ND6751_MODULE"},
};

const ClassOfType kClassesXX01[] = {
    {"ND6005", "4005_MODULE"},   {"ND6005I", "4005R_MODULE"}, {"ND6011", "4011_MODULE"},
    {"ND6012", "4012_MODULE"},   {"ND6013", "4013_MODULE"},   {"ND6017", "4017_MODULE"},
    {"ND6018", "4018_MODULE"},   {"ND6019", "4019_MODULE"},   {"ND6021", "4021_MODULE"},
    {"ND6024", "4024_MODULE"},   {"ND6024I", "4024I_MODULE"}, {"ND6050I", "4050I_MODULE"},
    {"ND6050O", "4050O_MODULE"}, {"ND6052", "4052_MODULE"},   {"ND6053", "4053_MODULE"},
    {"ND6055I", "4055I_MODULE"}, {"ND6055O", "4055O_MODULE"}, {"ND6060O", "4060O_MODULE"},
    {"ND6080", "4080_MODULE"},   {"ND6751", "4751_MODULE"},
};

const ClassOfType kClassesXX04[] = {
    {"ND6005", "PVTH8_MODULE"},   {"ND6018", "PVTH8_MODULE"},   {"ND6019", "PVTH8_MODULE"},
    {"ND6013", "PRTD3_MODULE"},   {"ND6017", "PADV8_MODULE"},   {"ND6021", "PAO1_MODULE"},
    {"ND6050O", "PADDO7_MODULE"}, {"ND6055O", "PADDO7_MODULE"}, {"ND6052", "PADDI8_MODULE"},
    {"ND6080", "PADCNT2"},
};

const ClassOfType kClassesXX03[] = {
    {"ND6005", "S7005_I_MODULE"},  {"ND6005I", "7005R_MODULE"},   {"ND6011", "S7011_I_MODULE"},
    {"ND6012", "S7012_I_MODULE"},  {"ND6013", "S7013_I_MODULE"},  {"ND6015", "S7015_I_MODULE"},
    {"ND6016", "S7016_MODULE"},    {"ND6017", "S7017-I_MODULE"},  {"ND6018", "S7018_I_MODULE"},
    {"ND6019", "S7019_I_MODULE"},  {"ND6021", "S7021_O_MODULE"},  {"ND6024", "S6024O_MODULE"},
    {"ND6041I", "7041I_MODULE"},   {"ND6042O", "S7042_O_MODULE"}, {"ND6043O", "S7043_O_MODULE"},
    {"ND6044I", "7044I_MODULE"},   {"ND6044O", "S7044_O_MODULE"}, {"ND6050I", "7050I_MODULE"},
    {"ND6050O", "S7050_O_MODULE"}, {"ND6052", "S7052I_MODULE"},   {"ND6053", "7053_I_MODULE"},
    {"ND6055I", "7055I_MODULE"},   {"ND6055O", "S7055_O_MODULE"}, {"ND6060I", "7060I_MODULE"},
    {"ND6060O", "S7060O_MODULE"},  {"ND6067", "S7067O_MODULE"},   {"ND6080", "S7080_MODULE"},
    {"ND6751", "7751_I_MODULE"},   {"ND6757O", "S7757_O_MODULE"},
};

const ClassOfType kClassesXX05[] = {
    {"ND6005", "O6005_MODULE"},   {"ND6005I", "O6005R_MODULE"}, {"ND6011", "O6011_MODULE"},
    {"ND6012", "O6012_MODULE"},   {"ND6013", "O6013_MODULE"},   {"ND6017", "O6017_MODULE"},
    {"ND6018", "O6018_MODULE"},   {"ND6019", "O6019_MODULE"},   {"ND6021", "O6021_MODULE"},
    {"ND6024", "O6024_MODULE"},   {"ND6050I", "O6050I_MODULE"}, {"ND6050O", "O6050_MODULE"},
    {"ND6052", "O6052_MODULE"},   {"ND6053", "O6053_MODULE"},   {"ND6054", "O6054_MODULE"},
    {"ND6055I", "O6055I_MODULE"}, {"ND6055O", "O6055_MODULE"},  {"ND6056", "O6056_MODULE"},
    {"ND6058", "O6058_MODULE"},   {"ND6060I", "O6060I_MODULE"}, {"ND6060O", "O6060O_MODULE"},
    {"ND6080", "O6080_MODULE"},   {"ND6751", "O6751_MODULE"},
};

const ClassOfType kClassesXX06[] = {
    {"ND6005", "S8005_MODULE"},   {"ND6005I", "S6005R_MODULE"}, {"ND6012", "SU8014_MODULE"},
    {"ND6013", "SU8013_IN"},      {"ND6017", "S8017_MODULE"},   {"ND6018", "S8018_MODULE"},
    {"ND6019", "S8019_MODULE"},   {"ND6021", "S8021_MODULE"},   {"ND6024", "8024_MODULE"},
    {"ND6024I", "8024I_MODULE"},  {"ND6041I", "8041I_MODULE"},  {"ND6050I", "S6050I_MODULE"},
    {"ND6050O", "S8050_MODULE"},  {"ND6052", "S8052_MODULE"},   {"ND6053", "8053_MODULE"},
    {"ND6055I", "S6055I_MODULE"}, {"ND6055O", "S8055_MODULE"},  {"ND6060I", "S8060I_MODULE"},
    {"ND6060O", "S8060O_MODULE"}, {"ND6067", "S8067_MODULE"},   {"ND6080", "S8080_MODULE"},
    {"ND6751", "8751_MODULE"},
};

struct FamilyCase {
    const char* fileName;
    char column; // the type table's family letter
    const ClassOfType* classes;
    size_t classCount;
    const char* helpFile;
};

#define FAMILY(file, column, list, help)                                                           \
    { file, column, list, sizeof list / sizeof list[0], help }
const FamilyCase kFamilies[] = {
    FAMILY("other.so", 'D', kClassesND, "Evehdflt.hlp"),
    FAMILY("xx01.so", '1', kClassesXX01, "ZivaXX01.hlp"),
    FAMILY("XX04.so", '4', kClassesXX04, "ZivaXX04.hlp"),
    FAMILY("xx03.so", '3', kClassesXX03, "ZivaXX03.hlp"),
    FAMILY("xx05.so", '5', kClassesXX05, "Evehomr.hlp"),
    FAMILY("xx06.so", '6', kClassesXX06, "Evehsup.hlp"),
    {"Telvio.so", 'T', nullptr, 0, "Evehzem.hlp"},
};

int Column(char family) {
    const char* columns = "D14356T";
    return static_cast<int>(strchr(columns, family) - columns);
}

// The class name of a type in the family, or "" where it does not register.
std::string ClassNameIn(const FamilyCase& f, const char* type) {
    if (f.column == 'T') {
        for (const TelvRow& t : kTelv) {
            if (strcmp(t.type, type) == 0) return t.className;
        }
        return "";
    }
    for (size_t i = 0; i < f.classCount; i++) {
        if (strcmp(f.classes[i].type, type) == 0) return f.classes[i].className;
    }
    return "";
}

class Registration : public PluginTest, public ::testing::WithParamInterface<FamilyCase> {};

TEST_P(Registration, TypesRegisterInOrderWithTheirClassNamesSizesAndMenuIds) {
    const FamilyCase& f = GetParam();
    ASSERT_EQ(1, Bind(f.fileName));
    std::vector<const TypeRow*> expected;
    for (const TypeRow& t : kTypes) {
        if (t.families[Column(f.column)] != '.') expected.push_back(&t);
    }
    if (f.column != 'T') {
        EXPECT_EQ(f.classCount, expected.size()) << "the family's class list";
    }
    ASSERT_EQ(static_cast<int>(expected.size()), hostsim::ClassCount());
    for (size_t i = 0; i < expected.size(); i++) {
        const TypeRow& t = *expected[i];
        SCOPED_TRACE(t.type);
        const hostsim::ModuleClass* c = hostsim::ClassAt(static_cast<int>(i));
        ASSERT_NE(nullptr, c);
        EXPECT_EQ(ClassNameIn(f, t.type), c->className);
        EXPECT_EQ(t.menuId, c->record.uMenuId);
        EXPECT_EQ(t.paramSize, c->record.uParamSize);
        EXPECT_EQ(t.runtimeSize, c->record.uRuntimeSize);
        EXPECT_EQ(t.channelDataSize, c->record.uChannelDataSize);
        EXPECT_EQ(static_cast<DWORD>(t.helpContext), c->record.dwHelpContext);
        EXPECT_EQ(reinterpret_cast<HINSTANCE>(plugin.module), c->record.hInstance);
        EXPECT_EQ(f.helpFile, c->helpFile) << "copied during the call";
        EXPECT_EQ(0u, c->record.dwReserved28);
        for (DWORD w : c->record.adwReserved)
            EXPECT_EQ(0u, w);
        EXPECT_NE(nullptr, c->record.pfnClassProc);
        EXPECT_NE(nullptr, c->record.pfnProcess);
        EXPECT_FALSE(c->defaultName.empty());
        EXPECT_LE(c->defaultName.size(), 12u);
        EXPECT_FALSE(c->description.empty());
        EXPECT_LE(c->description.size(), 40u);
        EXPECT_EQ(32, c->iconWidth);
        EXPECT_EQ(32, c->iconHeight);
        if (f.column == 'T') {
            EXPECT_EQ(62, c->symbolWidth);
            EXPECT_EQ(46, c->symbolHeight);
        } else {
            EXPECT_EQ(nullptr, c->record.hbmSymbol) << "only TELV has symbols";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Families, Registration, ::testing::ValuesIn(kFamilies),
                         [](const ::testing::TestParamInfo<FamilyCase>& info) {
                             return std::string("Family_") + info.param.column;
                         });

TEST_F(PluginTest, TelvRegistersThirtyEightClassesWithTheirNamesTextsAndSymbols) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    ASSERT_EQ(38, hostsim::ClassCount());
    for (int i = 0; i < 38; i++) {
        const TelvRow& t = kTelv[i];
        SCOPED_TRACE(t.type);
        const hostsim::ModuleClass* c = hostsim::ClassAt(i);
        EXPECT_EQ(t.className, c->className);
        EXPECT_EQ(t.defaultName, c->defaultName);
        if (t.description) {
            EXPECT_EQ(t.description, c->description);
        }
        EXPECT_NE(nullptr, c->record.hbmSymbol);
    }
    for (int id : {2969, 2973, 2974, 2975})
        EXPECT_EQ(nullptr, hostsim::FindClassByMenuId(id)) << "not in TELV: " << id;
}

TEST_F(PluginTest, MenuIdsOfTelvMatchItsMenu) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    HMENU menu = GetSubMenu(hostsim::MainMenu(), 3);
    ASSERT_NE(nullptr, menu);
    for (int i = 0; i < hostsim::ClassCount(); i++) {
        const hostsim::ModuleClass* c = hostsim::ClassAt(i);
        char text[64] = "";
        EXPECT_GT(GetMenuStringA(menu, static_cast<UINT>(c->record.uMenuId), text, sizeof text,
                                 MF_BYCOMMAND),
                  0)
            << c->className << " has no menu item " << c->record.uMenuId;
        EXPECT_EQ(c, hostsim::FindClassByMenuId(c->record.uMenuId));
    }
}

// Names and descriptions the other families give by example.
TEST_F(PluginTest, OtherFamiliesTakeTheirOwnDefaultNamesAndDescriptions) {
    struct Case {
        const char* file;
        int menuId;
        const char* defaultName;
        const char* description;
    } cases[] = {
        {"other.so", 2955, "ND6018-00", "ND6018 Thermocouple"},
        {"xx01.so", 2955, "4018-00", "ND6018 Thermocouple"},
        {"xx01.so", 2958, "4050-Inp00", "ND6050I 8 Digital Input"},
        {"xx01.so", 2959, "4050-Out00", "ND6050O 8 Digital Output"},
        {"xx03.so", 2955, "S7018-I-00", "S7018-I 8 Analog/Thermo Input"},
        {"xx03.so", 2957, "S-7021-O-00", nullptr},
        {"xx03.so", 2972, "S-7053-I-00", nullptr},
        {"xx03.so", 2994, "S-7751-I-00", "S87051-I 16 Digital Inputs"},
        {"xx03.so", 2978, "7041-I-00", nullptr},
        {"xx03.so", 2961, "7060-Inp00", nullptr},
        {"xx03.so", 2993, "S6757-O-00", nullptr},
        {"xx03.so", 2988, "S7015-I-00", "ND6015 Thermocouple"},
        {"xx03.so", 2987, "S7016-00", "ND6016 DMS Measurement"},
        {"xx05.so", 2955, "O6018-00", "ND6018 Thermocouple"},
        {"xx05.so", 2958, "O6050-Inp00", nullptr},
        {"xx05.so", 2961, "O6060Inp00", nullptr},
        {"xx06.so", 2955, "S8018-00", nullptr},
        {"xx06.so", 2958, "S8050-Inp00", nullptr},
        {"xx06.so", 2961, "S8060Inp00", nullptr},
        {"xx06.so", 2952, "S8014-00", "ND6012 Analog Input"},
        {"xx04.so", 2991, "PADVTH8-00", "ND6005 Analog Input"},
        {"xx04.so", 2955, "PADVTH8-00", nullptr},
        {"xx04.so", 2992, "PADVTH8-00", nullptr},
        {"xx04.so", 2953, "PADRTD3-00", nullptr},
        {"xx04.so", 2954, "PAD-V8-00", nullptr},
        {"xx04.so", 2957, "PAD-AO1-00", nullptr},
        {"xx04.so", 2959, "PAD-DO7-00", nullptr},
        {"xx04.so", 2997, "PAD-DO7-00", nullptr},
        {"xx04.so", 2960, "PAD-DI8-00", nullptr},
        {"xx04.so", 2965, "PADCNT2-00", "ND6080 Counter/Frequency Measurement"},
    };
    std::string bound;
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.menuId));
        if (bound != c.file) {
            if (plugin.module) hostsim::UnloadPlugin(&plugin);
            ASSERT_TRUE(hostsim::Start());
            ASSERT_EQ(1, Bind(std::string(c.file).insert(4, std::to_string(n++))))
                << "prefix must still select";
            bound = c.file;
        }
        const hostsim::ModuleClass* k = hostsim::FindClassByMenuId(c.menuId);
        ASSERT_NE(nullptr, k);
        EXPECT_EQ(c.defaultName, k->defaultName);
        if (c.description) {
            EXPECT_EQ(c.description, k->description);
        }
    }
}

TEST_F(PluginTest, SharedClassNamesOfXx04AreKeptAndResolveToTheFirstType) {
    ASSERT_EQ(1, Bind("xx04.so"));
    int pvth8 = 0, paddo7 = 0;
    for (int i = 0; i < hostsim::ClassCount(); i++) {
        pvth8 += hostsim::ClassAt(i)->className == "PVTH8_MODULE";
        paddo7 += hostsim::ClassAt(i)->className == "PADDO7_MODULE";
    }
    EXPECT_EQ(3, pvth8);
    EXPECT_EQ(2, paddo7);
    EXPECT_EQ(2991, hostsim::FindClassByName("PVTH8_MODULE")->record.uMenuId) << "ND6005";
    EXPECT_EQ(2959, hostsim::FindClassByName("PADDO7_MODULE")->record.uMenuId) << "ND6050O";
}

} // namespace
