// Blocks in the stand-in host: created at the host's layout with the record
// sizes of their class, messages routed to the class procedure, and the
// host functions the plug-in calls on a block.
#include "plugin_fixture.h"

#include <string.h>

#include <set>
#include <vector>

namespace {

// A host function as the plug-in resolves it, by its name.
template <typename F> F HostFunctionNamed(const char* name) {
    LRESULT r = SendMessageA(hostsim::MainWindow(), HOSTMSG_GET_FUNCTION, 0,
                             reinterpret_cast<LPARAM>(name));
    return reinterpret_cast<F>(static_cast<uintptr_t>(r));
}

// The creation dialog of the types that present one module as several
// blocks: OK, a new hardware module with its first function.
void PressOk(HWND dialog) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

bool AllZero(const void* p, size_t n) {
    const unsigned char* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < n; i++) {
        if (b[i]) return false;
    }
    return true;
}

// The host hands a new block zeroed records of its class's sizes; a type
// still without its roles hands creation back to the host and keeps them
// zeroed, a type built on the frame fills in its defaults.
TEST_F(PluginTest, ABlockGetsRecordsOfItsClassSizes) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    hostsim::AnswerCreationDialogs(PressOk);
    hostsim::SetDefaultActionAnswer(1);
    int built = 0;
    for (int i = 0; i < hostsim::ClassCount(); i++) {
        const hostsim::ModuleClass* c = hostsim::ClassAt(i);
        SCOPED_TRACE(c->className);
        int answer = 0;
        size_t calls = hostsim::DefaultActionCalls().size();
        hostsim::Block* b = hostsim::CreateBlock(c, &answer);
        ASSERT_NE(nullptr, b);
        EXPECT_EQ(1, answer);
        bool handedToHost = hostsim::DefaultActionCalls().size() > calls &&
                            hostsim::DefaultActionCalls().back().msg == MODMSG_CREATE;
        const ModuleRecord& r = b->record;
        EXPECT_EQ(c->defaultName, r.szName);
        EXPECT_EQ(c->description, r.szDescription);
        EXPECT_EQ(static_cast<size_t>(c->record.uParamSize), b->param.size());
        EXPECT_EQ(static_cast<size_t>(c->record.uRuntimeSize), b->runtime.size());
        EXPECT_TRUE(AllZero(b->runtime.data(), b->runtime.size()));
        EXPECT_EQ(b->param.data(), r.pParam);
        EXPECT_EQ(b->runtime.data(), r.pRuntime);
        if (handedToHost) {
            EXPECT_EQ(0u, static_cast<UINT>(r.uInputs));
            EXPECT_EQ(0u, static_cast<UINT>(r.uOutputs));
            EXPECT_TRUE(AllZero(r.aiInputChannel, sizeof r.aiInputChannel));
            EXPECT_TRUE(AllZero(r.aiOutputChannel, sizeof r.aiOutputChannel));
            EXPECT_TRUE(AllZero(b->param.data(), b->param.size()));
        } else {
            built++;
            int version = 0;
            memcpy(&version, b->param.data(), sizeof version);
            EXPECT_EQ(1, version);
            EXPECT_EQ(1u, r.uInputs + r.uOutputs) << "a new block has one channel";
        }
        std::set<const void*> distinct;
        for (int k = 0; k < 16; k++) {
            EXPECT_EQ(static_cast<size_t>(c->record.uChannelDataSize), b->channelScan[k].size());
            EXPECT_EQ(b->channelScan[k].data(), r.apChannelScan[k]);
            EXPECT_EQ(&b->outputs[k], r.apOutput[k]);
            distinct.insert(r.apChannelScan[k]);
            distinct.insert(r.apOutput[k]);
        }
        EXPECT_EQ(32u, distinct.size());
    }
    EXPECT_EQ(38, hostsim::BlockCount());
    EXPECT_GE(built, 1) << "the thermocouple type is built on the frame";
}

// The module table holds 64 blocks: the 65th creation is answered 0 and the
// host removes the block again.
TEST_F(PluginTest, ACreationAnsweredZeroLeavesNoBlock) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    const hostsim::ModuleClass* c = hostsim::FindClassByMenuId(2955);
    ASSERT_NE(nullptr, c);
    for (int i = 0; i < 64; i++)
        ASSERT_NE(nullptr, hostsim::CreateBlock(c)) << i;
    int answer = -1;
    EXPECT_EQ(nullptr, hostsim::CreateBlock(c, &answer));
    EXPECT_EQ(0, answer);
    EXPECT_EQ(64, hostsim::BlockCount());
}

// Codes that no role handles reach the host with the same four arguments,
// and the host's answer comes back.
TEST_F(PluginTest, UnhandledCodesReachPerformDefaultActionAndItsAnswerComesBack) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    hostsim::AnswerCreationDialogs(PressOk);
    hostsim::SetDefaultActionAnswer(1);
    std::vector<hostsim::Block*> blocks;
    for (int i = 0; i < hostsim::ClassCount(); i++)
        blocks.push_back(hostsim::CreateBlock(hostsim::ClassAt(i)));
    const int codes[] = {3, 150, 203, 1000};
    int answer = 40;
    for (hostsim::Block* b : blocks) {
        ASSERT_NE(nullptr, b);
        SCOPED_TRACE(b->moduleClass->className);
        for (int code : codes) {
            hostsim::SetDefaultActionAnswer(++answer);
            size_t before = hostsim::DefaultActionCalls().size();
            EXPECT_EQ(answer, hostsim::SendClassMessage(b, code, 0x1234 + code, -7 - code));
            ASSERT_EQ(before + 1, hostsim::DefaultActionCalls().size());
            const hostsim::DefaultActionCall& call = hostsim::DefaultActionCalls().back();
            EXPECT_EQ(&b->record, call.module);
            EXPECT_EQ(static_cast<UINT>(code), call.msg);
            EXPECT_EQ(static_cast<WPARAM>(0x1234 + code), call.wParam);
            EXPECT_EQ(static_cast<LPARAM>(-7 - code), call.lParam);
        }
        // The types that present one module as several blocks answer 1 to
        // every call of their processing procedure.
        int several = hostsim::SendClassMessage(b, MODMSG_QUERY172, 0, 0) == 0;
        EXPECT_EQ(several, hostsim::ProcessBlock(b)) << "nothing to process yet";
    }
}

// The class learns of a deletion before the records go: the thermocouple
// type frees its place in the module table.
TEST_F(PluginTest, DeletingABlockTellsItsClassFirst) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    const hostsim::ModuleClass* c = hostsim::FindClassByMenuId(2955);
    std::vector<hostsim::Block*> blocks;
    for (int i = 0; i < 64; i++)
        blocks.push_back(hostsim::CreateBlock(c));
    ASSERT_NE(nullptr, blocks.back());
    hostsim::DeleteBlock(blocks[10]);
    EXPECT_NE(nullptr, hostsim::CreateBlock(c)) << "the deleted block's place is free again";
    EXPECT_EQ(nullptr, hostsim::CreateBlock(c));
}

// The record's help-file text lives only during the call; the host keeps a copy.
TEST(HostClasses, RegistrationCopiesTheTextsDuringTheCall) {
    ASSERT_TRUE(hostsim::Start());
    char className[32] = "FIXTURE_MODULE";
    char help[20] = "Fixture.hlp";
    ModuleClassRecord r;
    memset(&r, 0, sizeof r);
    r.pszClassName = className;
    r.pszHelpFile = help;
    r.pszDefaultName = "Fix-00";
    r.pszDescription = "Fixture";
    r.uParamSize = 16;
    r.uMenuId = 4000;
    ASSERT_EQ(1, hostsim::RegisterClassRecord(&r));
    memset(help, 'x', sizeof help - 1);
    memset(className, 'y', sizeof className - 1);
    const hostsim::ModuleClass* c = hostsim::FindClassByName("FIXTURE_MODULE");
    ASSERT_NE(nullptr, c);
    EXPECT_EQ("Fixture.hlp", c->helpFile);
    EXPECT_STREQ("Fixture.hlp", c->record.pszHelpFile);
    EXPECT_EQ(c, hostsim::FindClassByMenuId(4000));
    EXPECT_EQ(nullptr, hostsim::FindClassByName("OTHER_MODULE"));
}

// The RS-232 monitor's ring is host memory: switched on and left on, it is
// given back when the plug-in finishes.
TEST_F(PluginTest, TheMonitorLeftOnIsGivenBackAtTheFinish) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    int before = hostsim::LiveAllocations();
    ASSERT_EQ(1, hostsim::MonitorSwitchOn());
    EXPECT_GT(hostsim::LiveAllocations(), before);
    EXPECT_EQ(1, hostsim::FinishPlugin(&plugin));
    EXPECT_EQ(before, hostsim::LiveAllocations());
}

int countedDeletes = 0;

int MODULE_CALL CountingClassProc(ModuleRecord*, int msg, int, int) {
    if (msg == MODMSG_DELETE) countedDeletes++;
    return msg == MODMSG_CREATE;
}

// The host closes the worksheet before it lets the plug-in go, finished or
// not: every block is told and freed; what the plug-in left on the host's
// stack (the dialog font, which only its finish releases) goes with it.
TEST_F(PluginTest, UnloadingClosesTheWorksheetAndEmptiesTheStack) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    ModuleClassRecord r;
    memset(&r, 0, sizeof r);
    r.pszClassName = "COUNTING_MODULE";
    r.pszDefaultName = "Count-00";
    r.pszDescription = "Counts its deletions";
    r.uParamSize = 8;
    r.uMenuId = 4200;
    r.pfnClassProc = CountingClassProc;
    ASSERT_EQ(1, hostsim::RegisterClassRecord(&r));
    hostsim::Block* oven = hostsim::CreateBlock(hostsim::FindClassByMenuId(2955));
    ASSERT_NE(nullptr, oven);
    countedDeletes = 0;
    for (int i = 0; i < 2; i++)
        ASSERT_NE(nullptr, hostsim::CreateBlock(hostsim::FindClassByName("COUNTING_MODULE")));
    WinapiQueueCancel();
    hostsim::SendClassMessage(oven, MODMSG_SETUP_DIALOG, 0, 0);
    ASSERT_EQ(1, hostsim::StackedObjectsCreated()) << "the setup dialog made the dialog font";

    hostsim::UnloadPlugin(&plugin);
    EXPECT_EQ(0, hostsim::BlockCount());
    EXPECT_EQ(2, countedDeletes);
    EXPECT_EQ(0, hostsim::StackedObjectsDeleted()) << "an unloaded plug-in releases nothing";
    EXPECT_EQ(0, hostsim::ReleaseStackedObjects()) << "nothing is left on the stack";
}

TEST_F(PluginTest, HostFunctionsOnABlock) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    hostsim::SetDefaultActionAnswer(1);
    hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByMenuId(2955));
    ASSERT_NE(nullptr, b);
    ModuleRecord* m = &b->record;

    auto changeSize = HostFunctionNamed<PFN_ChangeModuleSize>("ChangeModuleSize");
    EXPECT_EQ(1, changeSize(m, 2, 8));
    EXPECT_EQ(2u, static_cast<UINT>(m->uInputs));
    EXPECT_EQ(8u, static_cast<UINT>(m->uOutputs));
    EXPECT_EQ(0, changeSize(m, 0, 17)) << "16 channels at most";
    EXPECT_EQ(0, changeSize(m, -1, 1));
    EXPECT_EQ(8u, static_cast<UINT>(m->uOutputs));

    auto changeName = HostFunctionNamed<PFN_ChangeModuleName>("ChangeModuleName");
    EXPECT_EQ(1, changeName(m, "Oven"));
    EXPECT_STREQ("Oven", m->szName);
    EXPECT_EQ(1, changeName(m, "A name that is far too long"));
    EXPECT_STREQ("A name that ", m->szName) << "12 characters";

    auto copyName = HostFunctionNamed<PFN_CopyChannelName>("CopyChannelName");
    EXPECT_EQ(1, copyName(m->apOutput[3], "Flow"));
    EXPECT_STREQ("Flow", b->outputNames[3]);
    EXPECT_EQ(1, copyName(m->apOutput[0], "A channel name longer than 23"));
    EXPECT_STREQ("A channel name longer t", b->outputNames[0]);
    OutputChannel stranger;
    EXPECT_EQ(0, copyName(&stranger, "x")) << "not a channel of any block";

    auto notify = HostFunctionNamed<PFN_GlvoModuleNotifyGlobalVar>("GlvoModuleNotifyGlobalVar");
    GlvoNotifyRecord g;
    memset(&g, 0, sizeof g);
    g.dwGlvoCode = 169;
    g.dwGlvoCount = 1;
    g.lGlvoParam = 77;
    g.lGlvoIndex = -1;
    snprintf(g.szGlvoText, sizeof g.szGlvoText, "---");
    EXPECT_EQ(1, notify(&g));
    memset(&g, 0xEE, sizeof g); // the plug-in's record lives on its stack
    ASSERT_EQ(1u, hostsim::GlobalVarNotifications().size());
    const GlvoNotifyRecord& kept = hostsim::GlobalVarNotifications()[0];
    EXPECT_EQ(169u, static_cast<DWORD>(kept.dwGlvoCode));
    EXPECT_EQ(77, static_cast<LONG>(kept.lGlvoParam));
    EXPECT_EQ(-1, static_cast<LONG>(kept.lGlvoIndex));
    EXPECT_STREQ("---", kept.szGlvoText);
}

} // namespace
