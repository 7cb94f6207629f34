// The registration of every block type: one row a type, in the order the
// start-up registers them, with the class names and default names of each
// family and the type's strings and pictures. The sizes are those of the
// type's records, checked against the sizes stored worksheets hold.
#include "modules/types.h"

#include "frame/template.h"
#include "host/registration.h"
#include "modules/analog/nd6005.h"
#include "modules/analog/nd6005i.h"
#include "modules/analog/alarm.h"
#include "modules/analog/nd6013.h"
#include "modules/analog/nd6015.h"
#include "modules/analog/nd6017.h"
#include "modules/analog/nd6018.h"
#include "modules/analog/nd6019.h"
#include "modules/analog/nd6021.h"
#include "modules/analog/nd6022.h"
#include "modules/analog/nd6024.h"
#include "modules/analog/nd6024i.h"
#include "modules/digital/nd6041i.h"
#include "modules/multi/nd6014.h"
#include "modules/multi/nd6016.h"
#include "modules/multi/nd6058.h"
#include "modules/multi/nd6080.h"
#include "modules/digital/digital.h"
#include "resource.h"

#include <stddef.h>

namespace {

// The size of Record, which must be the one the host and stored worksheets
// know for the type.
template <class Record, int stored> constexpr int StoredSize() {
    static_assert(sizeof(Record) == stored, "a record has the size stored worksheets hold");
    return stored;
}

// Columns: type, sizes of the parameter and runtime records, channel data
// size, menu id, help context; class names in the families default, XX01,
// XX04, XX03, XX05, XX06, TELV (0: the type does not register there); default
// names of the same families (the default family loads its string); strings:
// default name, description, description in XX03; icon, symbol (TELV only);
// the class and processing procedures.
// clang-format off
const BlockTypeRow kBlockTypes[] = {
    {"ND6005", StoredSize<ND6005_Param, 2096>(), StoredSize<TemplateRuntime, 56>(), 8, IDM_ND6005, 1090,
     {"ND6005_MODULE", "4005_MODULE", "PVTH8_MODULE", "S7005_I_MODULE", "O6005_MODULE", "S8005_MODULE", "Q7005_I_MODULE"},
     {nullptr, "4005-00", "PADVTH8-00", "S7005-I-00", "O6005-00", "S8005-00", "Q7005-I-00"},
     1101, 1132, 1600, "ND6005_ICO", "Q7005I_IN", ND6005_ClassProc, ND6005_Process},
    {"ND6005I", StoredSize<ND6005I_Param, 1576>(), StoredSize<TemplateRuntime, 56>(), 4, IDM_ND6005I, 1090,
     {"ND6005R_MODULE", "4005R_MODULE", nullptr, "7005R_MODULE", "O6005R_MODULE", "S6005R_MODULE", "Q7005R_MODULE"},
     {nullptr, "4005R-00", nullptr, "S7005-R-00", "O6005R-00", "S6005R-00", "Q7005-R-00"},
     1102, 1134, 1625, "ND6005I_ICO", "Q7005R_IN", ND6005I_ClassProc, ND6005I_Process},
    {"ND6011", StoredSize<ND6011_Param, 1608>(), StoredSize<ND6011_Runtime, 120>(), 4, IDM_ND6011, 1100,
     {"ND6011_MODULE", "4011_MODULE", nullptr, "S7011_I_MODULE", "O6011_MODULE", nullptr, "Q7011_I_MODULE"},
     {nullptr, "4011-00", nullptr, "S7011-I-00", "O6011-00", nullptr, "Q7011-I-00"},
     1103, 1131, 1601, "ND6011_ICO", "Q7011I_IN", ND6011_ClassProc, ND6011_Process},
    {"ND6011P", StoredSize<ND6011_Param, 1608>(), StoredSize<ND6011_Runtime, 120>(), 4, IDM_ND6011P, 1100,
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7011P_I_MODULE"},
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7011P-I-00"},
     0, 1131, 0, "ND6011_ICO", "Q7011P_IN", ND6011P_ClassProc, ND6011P_Process},
    {"ND6012", StoredSize<ND6011_Param, 1608>(), StoredSize<ND6011_Runtime, 120>(), 4, IDM_ND6012, 1105,
     {"ND6012_MODULE", "4012_MODULE", nullptr, "S7012_I_MODULE", "O6012_MODULE", "SU8014_MODULE", "Q7012_I_MODULE"},
     {nullptr, "4012-00", nullptr, "S7012-I-00", "O6012-00", "S8014-00", "Q7012-I-00"},
     1104, 1133, 1602, "ND6012_ICO", "Q7012I_IN", ND6012_ClassProc, ND6012_Process},
    {"ND6013", StoredSize<ND6013_Param, 1576>(), StoredSize<TemplateRuntime, 56>(), 8, IDM_ND6013, 1110,
     {"ND6013_MODULE", "4013_MODULE", "PRTD3_MODULE", "S7013_I_MODULE", "O6013_MODULE", "SU8013_IN", "Q7013_I_MODULE"},
     {nullptr, "4013-00", "PADRTD3-00", "S7013-I-00", "O6013-00", "S8013-00", "Q7013-I-00"},
     1105, 1135, 1603, "ND6013_ICO", "Q7013I_IN", ND6013_ClassProc, ND6013_Process},
    {"ND6014", StoredSize<ND6014_Param, 1616>(), StoredSize<ND6014_Runtime, 272>(), 8, IDM_ND6014, 1140,
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7014_MODULE"},
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7014-00"},
     0, 1162, 0, "ND6014_ICO", "Q7014I_IN", ND6014_ClassProc, ND6014_Process},
    {"ND6015", StoredSize<ND6015_Param, 1640>(), StoredSize<TemplateRuntime, 56>(), 8, IDM_ND6015, 1113,
     {nullptr, nullptr, nullptr, "S7015_I_MODULE", nullptr, nullptr, "Q7015_I_MODULE"},
     {nullptr, nullptr, nullptr, "S7015-I-00", nullptr, nullptr, "Q7015-I-00"},
     0, 1160, 1160, "ND6015_ICO", "Q7015I_IN", ND6015_ClassProc, ND6015_Process},
    {"ND6017", StoredSize<ND6017_Param, 1576>(), StoredSize<TemplateRuntime, 56>(), 8, IDM_ND6017, 1115,
     {"ND6017_MODULE", "4017_MODULE", "PADV8_MODULE", "S7017-I_MODULE", "O6017_MODULE", "S8017_MODULE", "Q7017-I_MODULE"},
     {nullptr, "4017-00", "PAD-V8-00", "S7017-I-00", "O6017-00", "S8017-00", "Q7017-I-00"},
     1106, 1136, 1604, "ND6017_ICO", "Q7017I_IN", ND6017_ClassProc, ND6017_Process},
    {"ND6016", StoredSize<ND6016_Param, 1624>(), StoredSize<ND6016_Runtime, 280>(), 12, IDM_ND6016, 1140,
     {nullptr, nullptr, nullptr, "S7016_MODULE", nullptr, nullptr, "Q7016_MODULE"},
     {nullptr, nullptr, nullptr, "S7016-00", nullptr, nullptr, "Q7016-00"},
     0, 1159, 1159, "ND6016_ICO", "Q7016", ND6016_ClassProc, ND6016_Process},
    {"ND6018", StoredSize<ND6018_Param, 1576>(), StoredSize<ND6018_Runtime, 56>(), 8, IDM_ND6018, 1120,
     {"ND6018_MODULE", "4018_MODULE", "PVTH8_MODULE", "S7018_I_MODULE", "O6018_MODULE", "S8018_MODULE", "Q7018_I_MODULE"},
     {nullptr, "4018-00", "PADVTH8-00", "S7018-I-00", "O6018-00", "S8018-00", "Q7018-I-00"},
     1107, 1137, 1605, "ND6018_ICO", "Q7018I_IN", ND6018_ClassProc, ND6018_Process},
    {"ND6018P", StoredSize<ND6018_Param, 1576>(), StoredSize<ND6018_Runtime, 56>(), 8, IDM_ND6018P, 1120,
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7018P_I_MODULE"},
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7018P-I-00"},
     0, 1137, 0, "ND6018_ICO", "Q7018P_IN", ND6018P_ClassProc, ND6018P_Process},
    {"ND6019", StoredSize<ND6019_Param, 1640>(), StoredSize<TemplateRuntime, 56>(), 8, IDM_ND6019, 1123,
     {"ND6019_MODULE", "4019_MODULE", "PVTH8_MODULE", "S7019_I_MODULE", "O6019_MODULE", "S8019_MODULE", "Q7019_I_MODULE"},
     {nullptr, "4019-00", "PADVTH8-00", "S7019-I-00", "O6019-00", "S8019-00", "Q7019-I-00"},
     1108, 1152, 1606, "ND6019_ICO", "Q7019I_IN", ND6019_ClassProc, ND6019_Process},
    {"ND6021", StoredSize<ND6021_Param, 1952>(), StoredSize<ND6021_Runtime, 120>(), 8, IDM_ND6021, 1125,
     {"ND6021_MODULE", "4021_MODULE", "PAO1_MODULE", "S7021_O_MODULE", "O6021_MODULE", "S8021_MODULE", "Q7021_O_MODULE"},
     {nullptr, "4021-00", "PAD-AO1-00", "S-7021-O-00", "O6021-00", "S8021-00", "Q-7021-O-00"},
     1109, 1138, 1607, "ND6021_ICO", "Q7021O_IN", ND6021_ClassProc, ND6021_Process},
    {"ND6022", StoredSize<ND6022_Param, 1776>(), StoredSize<ND6022_Runtime, 184>(), 12, IDM_ND6022, 1220,
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q6022O_MODULE"},
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7022O-00"},
     0, 2000, 0, "ND6022_ICO", "Q7022O_IN", ND6022_ClassProc, ND6022_Process},
    {"ND6024", StoredSize<ND6024_Param, 504>(), StoredSize<ND6024_Runtime, 64>(), 12, IDM_ND6024, 1155,
     {"ND6024_MODULE", "4024_MODULE", nullptr, "S6024O_MODULE", "O6024_MODULE", "8024_MODULE", "Q6024O_MODULE"},
     {nullptr, "4024-00", nullptr, "S7024O-00", "O6024-00", "S8024-00", "Q7024O-00"},
     1110, 1146, 1608, "ND6024_ICO", "Q7024O_IN", ND6024_ClassProc, ND6024_Process},
    {"ND6024I", StoredSize<ND6024I_Param, 1576>(), StoredSize<ND6024I_Runtime, 64>(), 4, IDM_ND6024I, 1155,
     {"ND6024I_MODULE", "4024I_MODULE", nullptr, nullptr, nullptr, "8024I_MODULE", nullptr},
     {nullptr, "4024I-00", nullptr, nullptr, nullptr, "S8024I-00", nullptr},
     1111, 1147, 0, "ND6024I_ICO", nullptr, ND6024I_ClassProc, ND6024I_Process},
    {"ND6033", StoredSize<ND6033_Param, 1576>(), StoredSize<ND6033_Runtime, 184>(), 8, IDM_ND6033, 1225,
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7033_I_MODULE"},
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7033-I-00"},
     0, 2001, 0, "ND6033I_ICO", "Q7033I_IN", ND6033_ClassProc, ND6033_Process},
    {"ND6041I", StoredSize<DigitalParam, 1576>(), StoredSize<ND6041I_Runtime, 56>(), 4, IDM_ND6041I, 1200,
     {nullptr, nullptr, nullptr, "7041I_MODULE", nullptr, "8041I_MODULE", "7041-I-00"},
     {nullptr, nullptr, nullptr, "7041-I-00", nullptr, "S8041I-00", "Q7041-I-00"},
     0, 1155, 1609, "ND6050I_ICO", "Q7041I_IN", ND6041I_ClassProc, ND6041I_Process},
    {"ND6042O", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime16, 56>(), 4, IDM_ND6042O, 1205,
     {nullptr, nullptr, nullptr, "S7042_O_MODULE", nullptr, nullptr, "Q7042-O-00"},
     {nullptr, nullptr, nullptr, "S7042-O-00", nullptr, nullptr, "Q7042-O-00"},
     0, 1156, 1610, "ND6042O_ICO", "Q7042O_IN", ND6042O_ClassProc, ND6042O_Process},
    {"ND6043O", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime16, 56>(), 4, IDM_ND6043O, 1210,
     {nullptr, nullptr, nullptr, "S7043_O_MODULE", nullptr, nullptr, "Q7043_O_MODULE"},
     {nullptr, nullptr, nullptr, "S7043-O-00", nullptr, nullptr, "Q7043-O-00"},
     0, 1157, 1611, "ND6043O_ICO", "Q7043O_IN", ND6043O_ClassProc, ND6043O_Process},
    {"ND6044I", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime8, 56>(), 4, IDM_ND6044I, 1195,
     {nullptr, nullptr, nullptr, "7044I_MODULE", nullptr, nullptr, "Q7044I_MODULE"},
     {nullptr, nullptr, nullptr, "S7044-I-00", nullptr, nullptr, "Q7044-I-00"},
     0, 1153, 1612, "ND6050I_ICO", "Q7044I_IN", ND6044I_ClassProc, ND6044I_Process},
    {"ND6044O", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime8, 56>(), 4, IDM_ND6044O, 1195,
     {nullptr, nullptr, nullptr, "S7044_O_MODULE", nullptr, nullptr, "Q7044_O_MODULE"},
     {nullptr, nullptr, nullptr, "S7044-O-00", nullptr, nullptr, "Q7044-O-00"},
     0, 1154, 1613, "ND6044O_ICO", "Q7044O_IN", ND6044O_ClassProc, ND6044O_Process},
    {"ND6050I", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime8, 56>(), 4, IDM_ND6050I, 1130,
     {"ND6050I_MODULE", "4050I_MODULE", nullptr, "7050I_MODULE", "O6050I_MODULE", "S6050I_MODULE", "Q7050I_MODULE"},
     {nullptr, "4050-Inp00", nullptr, "S7050-I-00", "O6050-Inp00", "S8050-Inp00", "Q7050-I-00"},
     1112, 1139, 1614, "ND6050I_ICO", "Q7050I_IN", ND6050I_ClassProc, ND6050I_Process},
    {"ND6050O", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime8, 56>(), 4, IDM_ND6050O, 1130,
     {"ND6050O_MODULE", "4050O_MODULE", "PADDO7_MODULE", "S7050_O_MODULE", "O6050_MODULE", "S8050_MODULE", "Q7050_O_MODULE"},
     {nullptr, "4050-Out00", "PAD-DO7-00", "S7050-O-00", "O6050-Out00", "S8050-Out00", "Q7050-O-00"},
     1113, 1140, 1615, "ND6050O_ICO", "Q7050O_IN", ND6050O_ClassProc, ND6050O_Process},
    {"ND6052", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime8, 56>(), 4, IDM_ND6052, 1135,
     {"ND6052_MODULE", "4052_MODULE", "PADDI8_MODULE", "S7052I_MODULE", "O6052_MODULE", "S8052_MODULE", "Q7052I_MODULE"},
     {nullptr, "4052-00", "PAD-DI8-00", "S7052I-00", "O6052-00", "S8052-00", "Q7052I-00"},
     1114, 1141, 1616, "ND6052_ICO", "Q7052I_IN", ND6052_ClassProc, ND6052_Process},
    {"ND6053", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime16, 56>(), 4, IDM_ND6053, 1160,
     {"ND6053_MODULE", "4053_MODULE", nullptr, "7053_I_MODULE", "O6053_MODULE", "8053_MODULE", "Q7053_I_MODULE"},
     {nullptr, "4053-00", nullptr, "S-7053-I-00", "O6053-00", "S8053-00", "Q-7053-I-00"},
     1115, 1149, 1617, "ND6053_ICO", "Q7053I_IN", ND6053_ClassProc, ND6053_Process},
    {"ND6054", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime16, 56>(), 4, IDM_ND6054, 1165,
     {"ND6054_MODULE", nullptr, nullptr, nullptr, "O6054_MODULE", nullptr, nullptr},
     {nullptr, nullptr, nullptr, nullptr, "O6054-00", nullptr, nullptr},
     1116, 1150, 0, "ND6054_ICO", nullptr, ND6054_ClassProc, ND6054_Process},
    {"ND6055I", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime8, 56>(), 4, IDM_ND6055I, 1137,
     {"ND6055I_MODULE", "4055I_MODULE", nullptr, "7055I_MODULE", "O6055I_MODULE", "S6055I_MODULE", "Q7055I_MODULE"},
     {nullptr, "4055-Inp00", nullptr, "S7055-I-00", "O6055-Inp00", "S8055-Inp00", "Q7055-I-00"},
     1117, 1180, 1618, "ND6055I_ICO", "Q7055I_IN", ND6055I_ClassProc, ND6055I_Process},
    {"ND6055O", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime8, 56>(), 4, IDM_ND6055O, 1137,
     {"ND6055O_MODULE", "4055O_MODULE", "PADDO7_MODULE", "S7055_O_MODULE", "O6055_MODULE", "S8055_MODULE", "Q7055_O_MODULE"},
     {nullptr, "4055-Out00", "PAD-DO7-00", "S7055-O-00", "O6055-Out00", "S8055-Out00", "Q7055-O-00"},
     1118, 1182, 1619, "ND6055O_ICO", "Q7055O_IN", ND6055O_ClassProc, ND6055O_Process},
    {"ND6056", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime16, 56>(), 4, IDM_ND6056, 1140,
     {"ND6056_MODULE", nullptr, nullptr, nullptr, "O6056_MODULE", nullptr, nullptr},
     {nullptr, nullptr, nullptr, nullptr, "O6056-00", nullptr, nullptr},
     1119, 1151, 0, "ND6056_ICO", nullptr, ND6056_ClassProc, ND6056_Process},
    {"ND6058", StoredSize<ND6058_Param, 1600>(), StoredSize<ND6058_Runtime, 96>(), 4, IDM_ND6058, 1140,
     {"ND6058_MODULE", nullptr, nullptr, nullptr, "O6058_MODULE", nullptr, nullptr},
     {nullptr, nullptr, nullptr, nullptr, "O6058-00", nullptr, nullptr},
     1120, 1161, 0, "ND6058_ICO", nullptr, ND6058_ClassProc, ND6058_Process},
    {"ND6060I", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime8, 56>(), 4, IDM_ND6060I, 1140,
     {"ND6060I_MODULE", nullptr, nullptr, "7060I_MODULE", "O6060I_MODULE", "S8060I_MODULE", "Q7060I_MODULE"},
     {nullptr, nullptr, nullptr, "7060-Inp00", "O6060Inp00", "S8060Inp00", "Q7060-Inp00"},
     1121, 1142, 1620, "ND6060I_ICO", "Q7060I_IN", ND6060I_ClassProc, ND6060I_Process},
    {"ND6060O", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalChangeRuntime, 64>(), 4, IDM_ND6060O, 1140,
     {"ND6060O_MODULE", "4060O_MODULE", nullptr, "S7060O_MODULE", "O6060O_MODULE", "S8060O_MODULE", "Q7060O_MODULE"},
     {nullptr, "4060-Out00", nullptr, "S7060O-00", "O6060Out00", "S8060Out00", "Q7060O-00"},
     1122, 1143, 1621, "ND6060O_ICO", "Q7060O_IN", ND6060O_ClassProc, ND6060O_Process},
    {"ND6065I", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime8, 56>(), 4, IDM_ND6065I, 1230,
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7065I_MODULE"},
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7065 Inp00"},
     0, 2003, 0, "ND6065I_ICO", "Q7060I_IN", ND6065I_ClassProc, ND6065I_Process},
    {"ND6065O", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalChangeRuntime, 64>(), 4, IDM_ND6065O, 1230,
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7065O_MODULE"},
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7065O-00"},
     0, 2002, 0, "ND6065O_ICO", "Q7065O_IN", ND6065O_ClassProc, ND6065O_Process},
    {"ND6063", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime8, 56>(), 4, IDM_ND6063, 1180,
     {"ND6063_MODULE", nullptr, nullptr, nullptr, nullptr, nullptr, "7063_MODULE"},
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "7063-00"},
     1123, 1148, 0, "ND6063_ICO", "Q7063_IN", ND6063_ClassProc, ND6063_Process},
    {"ND6063I", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime8, 56>(), 4, IDM_ND6063I, 1180,
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7063I_MODULE"},
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7063 Inp00"},
     0, 2004, 0, "ND6063I_ICO", "Q7063I_IN", ND6063I_ClassProc, ND6063I_Process},
    {"ND6067", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime8, 56>(), 4, IDM_ND6067, 1215,
     {nullptr, nullptr, nullptr, "S7067O_MODULE", nullptr, "S8067_MODULE", "Q7067O_MODULE"},
     {nullptr, nullptr, nullptr, "S7067O-00", nullptr, "S8067-00", "Q7067O-00"},
     0, 1158, 1622, "ND6067O_ICO", "Q7067O_IN", ND6067_ClassProc, ND6067_Process},
    {"ND6080", StoredSize<ND6080_Param, 600>(), StoredSize<ND6080_Runtime, 128>(), 4, IDM_ND6080, 1145,
     {"ND6080_MODULE", "4080_MODULE", "PADCNT2", "S7080_MODULE", "O6080_MODULE", "S8080_MODULE", "Q7080_MODULE"},
     {nullptr, "4080-00", "PADCNT2-00", "S7080-00", "O6080-00", "S8080-00", "Q7080-00"},
     1124, 1144, 1623, "ND6080_ICO", "Q7080_IN", ND6080_ClassProc, ND6080_Process},
    {"ND6757O", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime16, 56>(), 4, IDM_ND6757O, 1231,
     {nullptr, nullptr, nullptr, "S7757_O_MODULE", nullptr, nullptr, "Q87057_O_MODULE"},
     {nullptr, nullptr, nullptr, "S6757-O-00", nullptr, nullptr, "Q87057-O-00"},
     0, 1168, 1624, "ND6757O_ICO", "Q87057O_IN", ND6757O_ClassProc, ND6757O_Process},
    {"ND6751", StoredSize<DigitalParam, 1576>(), StoredSize<DigitalRuntime16, 56>(), 4, IDM_ND6751, 1132,
     {"ND6751_MODULE", "4751_MODULE", nullptr, "7751_I_MODULE", "O6751_MODULE", "8751_MODULE", "Q87051_I_MODULE"},
     {nullptr, "4751-00", nullptr, "S-7751-I-00", "O6751-00", "S8751-00", "Q-87051-I-00"},
     2005, 2007, 2006, "ND6751_ICO", "Q87051I_IN", ND6751_ClassProc, ND6751_Process},
};
// clang-format on

constexpr int kBlockTypeCount = sizeof kBlockTypes / sizeof kBlockTypes[0];

// The host keeps the default name and description of each type for the life
// of the library.
char defaultNames[kBlockTypeCount][DEFAULT_NAME_CHARS + 1];
char descriptions[kBlockTypeCount][DESCRIPTION_CHARS + 1];

} // namespace

#define COUNT_BLOCK_TYPE(type) +1
static_assert(kBlockTypeCount == 0 BLOCK_TYPES(COUNT_BLOCK_TYPE), "one row for every type");
#undef COUNT_BLOCK_TYPE

void RegisterBlockTypes() {
    for (int i = 0; i < kBlockTypeCount; ++i)
        RegisterBlockType(kBlockTypes[i], defaultNames[i], descriptions[i]);
}
