// The models each block type takes, in one table: every type's start and
// its Test button against a simulated module that reports each model the
// type accepts (and one that reports no model where the type takes that),
// and against models close to them that the type refuses. The start and the
// Test button agree: the button never passes a module the start refuses.
#include "digital_fixture.h"

#include "resource.h"

#include <deque>
#include <string>
#include <vector>

namespace {

using digitaltest::kDefault;
using digitaltest::kTelv;

const char kWrongModule[] = "Wrong module type";
const char kNoReply[] = "Module does not reply!";

// A type, the module it serves, where its address and port lie in its
// record, and the models: "" is a module that reports none.
struct ModelsCase {
    const char* type;
    int menu;
    const char* plugin; // a family that registers it
    const char* base;   // the module whose commands the others answer with
    int addressOffset;
    int portOffset;
    int multiBlock; // created through its creation dialog
    std::vector<const char*> accepted;
    std::vector<const char*> refused;
    // The beginning of what the start shows for a negative model number.
    const char* negative = kWrongModule;
};

void PrintTo(const ModelsCase& c, std::ostream* os) {
    *os << c.type;
}

const std::vector<ModelsCase>& Cases() {
    static const std::vector<ModelsCase> cases = {
        // clang-format off
        // Analog inputs and outputs.
        {"ND6005", IDM_ND6005, kTelv, "7005", 388, 908, 0, {"6005", "4005", "7005", "8005", ""}, {"6019", "6006"}},
        {"ND6005I", IDM_ND6005I, kTelv, "6005", 388, 396, 0, {"6005", "4005", "7005", "8005", ""}, {"6050"}, kNoReply},
        {"ND6011", IDM_ND6011, kTelv, "6011", 388, 428, 0, {"6011", "7011", "4011", ""}, {"8011", "6012"}, kNoReply},
        {"ND6011P", IDM_ND6011P, kTelv, "7011", 388, 428, 0, {"7011", "6011"}, {"4011", ""}, kNoReply},
        {"ND6012", IDM_ND6012, kTelv, "6012", 388, 428, 0, {"6012", "7012", "7014", "8014", "4012", ""}, {"6011", "8012"}, kNoReply},
        {"ND6013", IDM_ND6013, kTelv, "6013", 388, 400, 0, {"6013", "4013", "7013", "8013", ""}, {"6015"}, kNoReply},
        {"ND6015", IDM_ND6015, kTelv, "6015", 388, 460, 0, {"6015", "4015", "7015", "8015", ""}, {"6013"}, kNoReply},
        {"ND6017", IDM_ND6017, kTelv, "6017", 388, 400, 0, {"6017", "4017", "7017", "8017", ""}, {"6018"}, kNoReply},
        {"ND6018", IDM_ND6018, kTelv, "6018", 388, 400, 0, {"6018", "4018", "7018", "8018", ""}, {"6017", "87018"}},
        {"ND6018P", IDM_ND6018P, kTelv, "6018", 388, 400, 0, {"6018", "4018", "7018", "8018", ""}, {"6019"}},
        {"ND6019", IDM_ND6019, kTelv, "7019", 388, 460, 0, {"6019", "4019", "7019", "8019", ""}, {"6018"}},
        {"ND6021", IDM_ND6021, kTelv, "6021", 388, 772, 0, {"6021", "4021", "7021", "8021", ""}, {"6024"}, "Module on channel 0 does not reply!"},
        {"ND6022", IDM_ND6022, kTelv, "7022", 388, 468, 0, {"7022", ""}, {"6022"}, kNoReply},
        {"ND6024", IDM_ND6024, kTelv, "7024", 100, 132, 0, {"6024", "4024", "7024", "8024", ""}, {"6021"}, kNoReply},
        {"ND6024I", IDM_ND6024I, kDefault, "6024", 388, 396, 0, {"6024", "4024", "7024", "8024", ""}, {"6022"}, kNoReply},
        {"ND6033", IDM_ND6033, kTelv, "7033", 388, 400, 0, {"7033", ""}, {"6033"}, kNoReply},
        // Digital inputs.
        {"ND6050I", IDM_ND6050I, kTelv, "6050", 388, 396, 0, {"6050", "4050", "7050", "8050", ""}, {"6052"}, kNoReply},
        {"ND6044I", IDM_ND6044I, kTelv, "6044", 388, 396, 0, {"6044", "4044", "7044", ""}, {"8044"}, kNoReply},
        {"ND6055I", IDM_ND6055I, kTelv, "6055", 388, 396, 0, {"6055", "4055", "7055", "8055", ""}, {"6050"}, kNoReply},
        {"ND6060I", IDM_ND6060I, kTelv, "6060", 388, 396, 0, {"6060", "7060"}, {"4060", "8060", ""}},
        {"ND6063I", IDM_ND6063I, kTelv, "7063", 388, 396, 0, {"7063"}, {"6063", "4063", ""}},
        {"ND6065I", IDM_ND6065I, kTelv, "7065", 388, 396, 0, {"7065"}, {"6065", ""}},
        {"ND6052", IDM_ND6052, kTelv, "6052", 388, 396, 0, {"6052", "4052", "7052", "8052", ""}, {"6053"}, kNoReply},
        {"ND6053", IDM_ND6053, kTelv, "6053", 388, 396, 0, {"6053", "4053", "7053", "8053", ""}, {"6054"}, kNoReply},
        {"ND6054", IDM_ND6054, kDefault, "6054", 388, 396, 0, {"6054", "4053", ""}, {"7053", "8053"}, kNoReply},
        {"ND6751", IDM_ND6751, kTelv, "6751", 388, 396, 0, {"6751", "4751", "7751", "87051", ""}, {"6753"}, kNoReply},
        {"ND6041I", IDM_ND6041I, kTelv, "7041", 388, 396, 0, {"6041", "4041", "7041", "8041", ""}, {"6042"}, kNoReply},
        // Digital outputs and relays.
        {"ND6050O", IDM_ND6050O, kTelv, "6050", 388, 396, 0, {"6050", "4050", "7050", "8050", ""}, {"6055"}, kNoReply},
        {"ND6055O", IDM_ND6055O, kTelv, "6055", 388, 396, 0, {"6055", "4055", "7055", "8055", ""}, {"6050"}, kNoReply},
        {"ND6044O", IDM_ND6044O, kTelv, "6044", 388, 396, 0, {"6044", "4044", "7044", ""}, {"8044"}, kNoReply},
        {"ND6067", IDM_ND6067, kTelv, "6067", 388, 396, 0, {"6067", "4067", "7067", "8067", ""}, {"6063"}, kNoReply},
        {"ND6063", IDM_ND6063, kTelv, "6063", 388, 396, 0, {"6063", "4063", "7063", ""}, {"8063"}, kNoReply},
        {"ND6042O", IDM_ND6042O, kTelv, "6042", 388, 396, 0, {"6042", "4042", "7042", ""}, {"6043"}, kNoReply},
        {"ND6043O", IDM_ND6043O, kTelv, "6043", 388, 396, 0, {"6043", "4043", "7043", ""}, {"6042"}, kNoReply},
        {"ND6757O", IDM_ND6757O, kTelv, "6757", 388, 396, 0, {"6757", "4757", "7757", "87057", ""}, {"8757"}, kNoReply},
        // Every number ending in 056, and no other.
        {"ND6056", IDM_ND6056, kDefault, "6056", 388, 396, 0, {"6056", "4056", "7056", "17056", ""}, {"7156", "6256", "6050"}},
        {"ND6060O", IDM_ND6060O, kTelv, "6060", 388, 396, 0, {"6060", "4060", "7060", "8060", ""}, {"6065"}},
        {"ND6065O", IDM_ND6065O, kTelv, "7065", 388, 396, 0, {"7065", ""}, {"6065"}},
        // Multi-block and counter types: any series of the module number.
        {"ND6014", IDM_ND6014, kTelv, "6014", 388, 396, 1, {"6014", "87014"}, {"6016", ""}},
        {"ND6016", IDM_ND6016, kTelv, "6016", 388, 396, 1, {"6016", "7016"}, {"6014", ""}},
        {"ND6058", IDM_ND6058, kDefault, "6058", 388, 396, 1, {"6058", "7058"}, {"6059", ""}},
        {"ND6080", IDM_ND6080, kTelv, "6080", 192, 100, 0, {"6080", "4080", "7080", "8080", ""}, {"6081"}, kNoReply},
        // clang-format on
    };
    return cases;
}

// The host, the plug-in of the type's family and COM1 with its simulated
// modules are the digital types' fixture's.
// The host, the plug-in of the type's family and COM1 with its simulated
// modules are the digital types' fixture's.
class Models : public digitaltest::DigitalTest, public ::testing::WithParamInterface<ModelsCase> {
  protected:
    void SetUp() override {
        DigitalTest::SetUp();
        ASSERT_EQ(1, Load(GetParam().plugin));
    }

    // A block of the type on the module at address 1 of COM1.
    hostsim::Block* NewBlock() {
        const ModelsCase& c = GetParam();
        const hostsim::ModuleClass* type = hostsim::FindClassByMenuId(c.menu);
        if (type == nullptr) return nullptr;
        if (c.multiBlock) WinapiQueueOk();
        hostsim::Block* b = hostsim::CreateBlock(type);
        if (b == nullptr) return nullptr;
        int one = 1;
        memcpy(b->param.data() + c.addressOffset, &one, sizeof one);
        memcpy(b->param.data() + c.portOffset, &one, sizeof one);
        return b;
    }
    // The module at address 1 reports `model` ("": none) and otherwise
    // answers as the type's own module.
    void Module(const std::string& model) {
        bus.RemoveModule(1);
        const modsim::Profile* base = modsim::FindProfile(GetParam().base);
        ASSERT_NE(nullptr, base);
        profiles.push_back(*base);
        names.push_back(model.empty() ? GetParam().base : model);
        profiles.back().model = names.back().c_str();
        ASSERT_EQ(1, bus.AddModule(1, profiles.back(), 0));
        if (model.empty()) {
            modsim::Fault f(modsim::FaultKind::WrongFirstChar, modsim::kAlways);
            f.match = "$01M";
            ASSERT_EQ(1, bus.InjectFault(1, f));
        }
    }
    // The start and the stop of the block: whether it started.
    int StartAndStop(hostsim::Block* b) {
        int answer = Start(b);
        Stop(b);
        return answer;
    }
    // What the Test button of the block's setup dialog showed.
    std::string Test(hostsim::Block* b) {
        int boxes = WinapiMessageBoxCount();
        WinapiQueueMessageBoxAnswer(IDOK);
        WinapiQueueClick(IDC_SETUP_TEST);
        WinapiQueueCancel();
        hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0);
        if (WinapiMessageBoxCount() != boxes + 1) return "(no message)";
        WinapiMessageBoxCall box;
        WinapiMessageBoxAt(boxes, &box);
        return box.text;
    }
    std::deque<modsim::Profile> profiles;
    std::deque<std::string> names;
};

TEST_P(Models, TheStartAndTheTestButtonTakeTheTypesModels) {
    const ModelsCase& c = GetParam();
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    for (const char* model : c.accepted) {
        SCOPED_TRACE(std::string("accepted \"") + model + "\"");
        Module(model);
        EXPECT_EQ(1, StartAndStop(b)) << LastWarningText();
        std::string shown = Test(b);
        EXPECT_EQ(0u, shown.find("Status: OKAY")) << shown;
    }
    for (const char* model : c.refused) {
        SCOPED_TRACE(std::string("refused \"") + model + "\"");
        Module(model);
        EXPECT_EQ(0, StartAndStop(b));
        EXPECT_EQ(0u, LastWarningText().find(kWrongModule)) << LastWarningText();
        EXPECT_EQ(std::string::npos, Test(b).find("Status: OKAY"));
    }
    // A model number that is not one ("!AA-123"), refused by the start with
    // the text of its type.
    SCOPED_TRACE("a negative number");
    Module("-123");
    EXPECT_EQ(0, StartAndStop(b));
    EXPECT_EQ(0u, LastWarningText().find(c.negative)) << LastWarningText();
    EXPECT_EQ(std::string::npos, Test(b).find("Status: OKAY"));
}

INSTANTIATE_TEST_SUITE_P(Types, Models, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<ModelsCase>& info) {
                             return std::string(info.param.type);
                         });

} // namespace
