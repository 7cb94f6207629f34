// The frame of the multi-block types, through ND6014 (and ND6058 where the
// turn is at stake): the block table's limit, the MasterIDs after a load,
// the creation dialog at a module with functions taken, deletion of a slave
// and of a master with the hand-over, the start in either order, the turn
// while a host block is missing, tasks that are not due, the error wait
// beside a healthy module, and the answers of the class procedure.
#include "multi_fixture.h"

#include "modules/multi/nd6058.h"

namespace {

using multitest::kInputs6014;
using multitest::kND6014;
using multitest::kND6058;
using multitest::kNew6014;
using multitest::MultiTest;

class Multi : public MultiTest {
  protected:
    static ND6058_Param* P58(hostsim::Block* b) {
        return reinterpret_cast<ND6058_Param*>(b->param.data());
    }
    // The worksheet as text, its blocks' sections apart.
    std::vector<std::string> Sections() {
        std::string text;
        std::string error;
        EXPECT_EQ(1, hostsim::WorksheetToText(&text, &error)) << error;
        std::vector<std::string> out;
        size_t at = text.find("\nblock\n");
        out.push_back(text.substr(0, at + 1));
        while (at != std::string::npos) {
            size_t next = text.find("\nblock\n", at + 1);
            out.push_back(text.substr(at + 1, next == std::string::npos ? next : next - at));
            at = next;
        }
        return out;
    }
    static std::string Join(const std::vector<std::string>& sections) {
        std::string text;
        for (const std::string& s : sections)
            text += s;
        return text;
    }
    // The section with another value in a field's row.
    static std::string WithField(std::string section, const std::string& field, int value) {
        size_t at = section.find("field " + field + " ");
        if (at == std::string::npos) return section;
        size_t eq = section.find(" = ", at);
        size_t end = section.find('\n', eq);
        return section.substr(0, eq + 3) + std::to_string(value) + section.substr(end);
    }
    int LoadText(const std::string& text) {
        std::string error;
        int loaded = hostsim::WorksheetFromText(text, &error);
        EXPECT_EQ(1, loaded) << error;
        return loaded;
    }
    // The three blocks of one hardware module, the analog-input block the
    // master, at the address.
    std::vector<hostsim::Block*> Module6014(int address, double seconds = 900.0) {
        hostsim::Block* analog = Create(kND6014);
        EXPECT_NE(nullptr, analog);
        if (!analog) return {};
        OnCom1(analog, address, seconds);
        hostsim::Block* outputs = Create(kND6014);
        hostsim::Block* inputs = Create(kND6014);
        EXPECT_NE(nullptr, outputs);
        EXPECT_NE(nullptr, inputs);
        if (!outputs || !inputs) return {};
        Channels(inputs, 3, true);
        return {analog, outputs, inputs};
    }
};

TEST_F(Multi, TheThirtySecondBlockIsTheLastOnCreationAndOnLoad) {
    Load();
    for (int i = 0; i < 32; i++)
        ASSERT_NE(nullptr, Create(kND6014)) << i;
    size_t warnings = hostsim::Warnings().size();
    int answer = -1;
    WinapiQueueOk();
    EXPECT_EQ(nullptr, hostsim::CreateBlock(hostsim::FindClassByMenuId(kND6014), &answer));
    EXPECT_EQ(0, answer);
    ASSERT_EQ(warnings + 1, hostsim::Warnings().size());
    EXPECT_EQ("Max. number of 6014 modules supported by the driver reached", LastWarning()->text);
    // The dialog was not asked: the OK queued for it is still waiting.
    EXPECT_EQ(1, WinapiQueuedActionCount());
    WinapiDialogsReset();

    // 33 blocks in a worksheet: the last one is refused.
    std::vector<std::string> s = Sections();
    std::vector<std::string> many = {s[0]};
    for (int i = 0; i < 33; i++)
        many.push_back(s[1]);
    ASSERT_EQ(1, LoadText(Join(many)));
    ASSERT_EQ(33, hostsim::BlockCount());
    for (int i = 0; i < 32; i++)
        EXPECT_EQ(1, hostsim::BlockAt(i)->afterLoadAnswer) << i;
    EXPECT_EQ(0, hostsim::BlockAt(32)->afterLoadAnswer);
    EXPECT_EQ("Max. number of 6014 modules supported by the driver reached", LastWarning()->text);
    // Deleting the refused block touches nobody's table entry: the table
    // stays full until an accepted block goes.
    hostsim::DeleteBlock(hostsim::BlockAt(32));
    EXPECT_TRUE(hostsim::InternalErrors().empty());
    WinapiQueueOk();
    EXPECT_EQ(nullptr, hostsim::CreateBlock(hostsim::FindClassByMenuId(kND6014)));
    WinapiDialogsReset();
    hostsim::DeleteBlock(hostsim::BlockAt(0));
    EXPECT_NE(nullptr, Create(kND6014, [] { WinapiQueueClick(kNew6014); }));
}

TEST_F(Multi, ANewModuleAfterALoadTakesTheNextMasterID) {
    Load();
    hostsim::Block* first = Create(kND6014);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(100, P14(first)->MasterID);
    hostsim::Block* second = Create(kND6014, [] { WinapiQueueClick(kNew6014); });
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(101, P14(second)->MasterID);
    std::vector<std::string> s = Sections();
    s[1] = WithField(s[1], "MasterID", 100);
    s[2] = WithField(s[2], "MasterID", 105);
    ASSERT_EQ(1, LoadText(Join(s)));
    hostsim::Block* next = Create(kND6014, [] { WinapiQueueClick(kNew6014); });
    ASSERT_NE(nullptr, next);
    EXPECT_EQ(106, P14(next)->MasterID);
    // A record of an older format is refused and does not count.
    s[2] = WithField(s[2], "Version", 0);
    s[2] = WithField(s[2], "MasterID", 300);
    ASSERT_EQ(1, LoadText(Join(s)));
    EXPECT_EQ(0, hostsim::BlockAt(1)->afterLoadAnswer);
    EXPECT_EQ("Old module format (not supported)", LastWarning()->text);
    next = Create(kND6014, [] { WinapiQueueClick(kNew6014); });
    ASSERT_NE(nullptr, next);
    EXPECT_EQ(107, P14(next)->MasterID);
}

TEST_F(Multi, TheCreationDialogOffersWhatTheMasterHasFree) {
    struct Case {
        int taken;
        int joins;      // the new block joins the master
        int moduleType; // and takes this function
    } cases[] = {
        {7, 0, 0}, {1, 1, 1}, {3, 1, 2}, {6, 1, 0}, {5, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.taken);
        CaseGuard guard(this);
        Load();
        hostsim::Block* master = Create(kND6014);
        ASSERT_NE(nullptr, master);
        P14(master)->PortAssigned = c.taken;
        hostsim::Block* b = Create(kND6014);
        ASSERT_NE(nullptr, b);
        EXPECT_EQ(c.joins ? 0 : 1, P14(b)->IsMaster);
        EXPECT_EQ(c.moduleType, P14(b)->Module_Type);
        EXPECT_EQ(1 << c.moduleType, P14(b)->Port_Mask);
        if (c.joins) {
            EXPECT_EQ(c.taken | 1 << c.moduleType, P14(master)->PortAssigned);
        }
    }
    // A function taken cannot be chosen: the click is refused.
    Load();
    ASSERT_NE(nullptr, Create(kND6014));
    WinapiDialogsReset();
    hostsim::Block* b = Create(kND6014, [] {
        WinapiQueueClick(multitest::kAnalog6014);
        WinapiQueueClick(kInputs6014);
    });
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(2, P14(b)->Module_Type);
    EXPECT_EQ(1, WinapiFailedActionCount());
    // Cancel creates nothing.
    int answer = -1;
    WinapiQueueCancel();
    EXPECT_EQ(nullptr, hostsim::CreateBlock(hostsim::FindClassByMenuId(kND6014), &answer));
    EXPECT_EQ(0, answer);
}

TEST_F(Multi, DeletingASlaveFreesItsFunction) {
    Load();
    std::vector<hostsim::Block*> m = Module6014(1);
    ASSERT_EQ(3u, m.size());
    EXPECT_EQ(7, P14(m[0])->PortAssigned);
    EXPECT_EQ(5, P14(m[0])->ConfigInput);
    hostsim::DeleteBlock(m[2]);
    EXPECT_EQ(3, P14(m[0])->PortAssigned);
    EXPECT_EQ(1, P14(m[0])->ConfigInput);
    // The dialog offers it again, at the same module.
    hostsim::Block* again = Create(kND6014);
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(0, P14(again)->IsMaster);
    EXPECT_EQ(2, P14(again)->Module_Type);
    EXPECT_TRUE(hostsim::InternalErrors().empty());
}

TEST_F(Multi, DeletingAMasterHandsTheModuleToTheNextBlock) {
    Load();
    ASSERT_EQ(1, bus.AddModule(5, "6014", 0));
    std::vector<hostsim::Block*> m = Module6014(5, 0.5);
    ASSERT_EQ(3u, m.size());
    Mess(m[0]).Error_Stop = 0;
    Mess(m[0]).Error_Wait_Min = 3;
    hostsim::DeleteBlock(m[0]);
    hostsim::Block* heir = m[1];
    EXPECT_EQ(1, P14(heir)->IsMaster);
    EXPECT_EQ(0, P14(m[2])->IsMaster);
    EXPECT_EQ(6, P14(heir)->PortAssigned);
    EXPECT_EQ(4, P14(heir)->ConfigInput);
    // It talks to the same module the same way.
    EXPECT_EQ(5, Address(heir));
    EXPECT_EQ(1, Com(heir).Port_Number);
    EXPECT_EQ(3, Mess(heir).Error_Wait_Min);
    // It is in the module table: the module is polled for the slave.
    bus.EditModule(5, [](modsim::Module& mod) { mod.digitalInputs = 1; });
    hostsim::ExperimentResult r = Run(1.0);
    EXPECT_EQ(2u, Delivered(r, m[2], 0).size());
    EXPECT_GE(Count("@05DI"), 2);
    // The last block of a module leaves no master behind.
    hostsim::DeleteBlock(heir);
    ASSERT_EQ(1, P14(m[2])->IsMaster);
    hostsim::DeleteBlock(m[2]);
    EXPECT_EQ(0, hostsim::BlockCount());
    hostsim::Block* next = Create(kND6014);
    ASSERT_NE(nullptr, next);
    EXPECT_EQ(1, P14(next)->IsMaster);
    EXPECT_TRUE(hostsim::InternalErrors().empty());
}

TEST_F(Multi, EitherStartOrderMeasuresTheSame) {
    for (int reversed = 0; reversed < 2; reversed++) {
        SCOPED_TRACE(reversed ? "slaves first" : "master first");
        CaseGuard guard(this);
        Load();
        bus.ClearLog();
        // The module answers with checksums: a slave's requests must carry
        // them whether the master started before it or not.
        ASSERT_EQ(1, bus.AddModule(1, "6014", 1));
        bus.SetChannel(1, 0, 0.75);
        ASSERT_EQ(3u, Module6014(1, 0.5).size());
        if (reversed) {
            std::vector<std::string> s = Sections();
            ASSERT_EQ(4u, s.size());
            ASSERT_EQ(1, LoadText(s[0] + s[3] + s[2] + s[1]));
            ASSERT_EQ(1, P14(hostsim::BlockAt(2))->IsMaster);
        }
        hostsim::Block* analog = nullptr;
        hostsim::Block* inputs = nullptr;
        for (int i = 0; i < hostsim::BlockCount(); i++) {
            hostsim::Block* b = hostsim::BlockAt(i);
            if (P14(b)->Module_Type == 0) analog = b;
            if (P14(b)->Module_Type == 2) inputs = b;
        }
        ASSERT_NE(nullptr, analog);
        hostsim::ExperimentResult r = Run(1.0);
        EXPECT_EQ(0, r.stoppedByPlugin) << LastWarningText();
        std::vector<hostsim::ReleasedBlock> values = Delivered(r, analog, 0);
        ASSERT_EQ(2u, values.size());
        EXPECT_FLOAT_EQ(0.75f, values[0].samples.at(0));
        EXPECT_EQ(2u, Delivered(r, inputs, 1).size());
        EXPECT_EQ(1, CountStarting("@01CE"));
        bus.RemoveModule(1);
    }
}

TEST_F(Multi, AnAnalogReadingWaitsForTheHostWithoutBeingReadAgain) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "6014", 0));
    hostsim::Block* analog = Create(kND6014);
    ASSERT_NE(nullptr, analog);
    OnCom1(analog, 1, 0.5);
    hostsim::ExperimentOptions o = Manual(2.0);
    auto clock = o.onCycle;
    // No data block until a second has passed.
    hostsim::WithholdOutputBlocks(true);
    o.onCycle = [&](int cycle, int busy) {
        clock(cycle, busy);
        if (hostsim::ExperimentTime() >= 1.0) hostsim::WithholdOutputBlocks(false);
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    std::vector<hostsim::ReleasedBlock> values = Delivered(r, analog, 0);
    // The first reading, of time 0, goes out once the host has room; the
    // rounds go on from there.
    ASSERT_GE(values.size(), 2u);
    EXPECT_DOUBLE_EQ(0.0, values[0].time);
    EXPECT_EQ(Count("#01"), static_cast<int>(values.size()));
}

TEST_F(Multi, AnInputBlockWithoutItsHostBlockDoesNotHoldTheTurn) {
    Load("Plug.so");
    ASSERT_EQ(1, bus.AddModule(1, "6058", 0));
    ASSERT_EQ(1, bus.AddModule(2, "6058", 0));
    hostsim::Block* stuck = Create(kND6058);
    ASSERT_NE(nullptr, stuck);
    OnCom1(stuck, 1, 0.5);
    // An output module beside it, fed a new value every half second.
    hostsim::Block* lamps = Create(kND6058, [] {
        WinapiQueueClick(1300);
        WinapiQueueClick(1304);
    });
    ASSERT_NE(nullptr, lamps);
    ASSERT_EQ(0, P58(lamps)->IsInput);
    OnCom1(lamps, 2, 0.5);
    hostsim::InputSource square;
    square.kind = hostsim::INPUT_SQUARE;
    square.a = 0.0;
    square.b = 5.0;
    square.c = 1.0;
    std::string error;
    ASSERT_EQ(1, hostsim::ConnectInput(lamps, 0, square, &error)) << error;
    // The host has no data block for the input block's output.
    hostsim::WithholdOutputBlocks(true);
    Run(2.0);
    hostsim::WithholdOutputBlocks(false);
    // The image not delivered is not read again; the other module is
    // written at every new value.
    EXPECT_EQ(1, Count("$016"));
    EXPECT_GE(CountStarting("#02T"), 4);
}

TEST_F(Multi, TasksThatAreNotDueAreDroppedWithoutATransfer) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "6014", 0));
    std::vector<hostsim::Block*> m = Module6014(1, 10.0);
    ASSERT_EQ(3u, m.size());
    ASSERT_EQ(1, StartAll(m));
    ClockFromZero();
    bus.ClearLog();
    // The first round at once; then nothing is due for ten seconds, however
    // often the blocks queue their tasks.
    ASSERT_TRUE(ProcessUntil(m, [] { return hostsim::ReleasedOutputBlocks().size() >= 3; }));
    for (int i = 0; i < 300; i++) {
        for (hostsim::Block* b : m)
            hostsim::ProcessBlock(b);
        WinapiAdvanceClock(10);
    }
    WaitHeard();
    EXPECT_EQ(1, Count("#01"));
    EXPECT_EQ(1, Count("@01DI"));
    EXPECT_EQ(1, Count("@01RE"));
    StopAll(m);
}

TEST_F(Multi, AFailingModuleWaitsWhileTheHealthyOneKeepsItsRate) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "6014", 0));
    ASSERT_EQ(1, bus.AddModule(2, "6014", 0));
    bus.SetChannel(1, 0, 3.5);
    hostsim::Block* healthy = Create(kND6014);
    ASSERT_NE(nullptr, healthy);
    OnCom1(healthy, 1, 0.5);
    hostsim::Block* failing = Create(kND6014, [] { WinapiQueueClick(kNew6014); });
    ASSERT_NE(nullptr, failing);
    OnCom1(failing, 2, 0.5);
    for (hostsim::Block* b : {healthy, failing}) {
        Mess(b).Error_Stop = 0;
        Mess(b).Error_Wait_Min = 1;
    }
    hostsim::ExperimentOptions o = Manual(12.0);
    auto started = o.onStarted;
    o.onStarted = [&] {
        started();
        bus.InjectFault(2, modsim::Fault(modsim::FaultKind::Silence, modsim::kAlways));
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    EXPECT_EQ(0, r.stoppedByPlugin);
    EXPECT_TRUE(Delivered(r, failing, 0).empty());
    EXPECT_EQ(1, R14(failing)->Head.Frame.Error_Waiting);
    std::vector<double> times;
    for (const hostsim::ReleasedBlock& d : Delivered(r, healthy, 0)) {
        EXPECT_FLOAT_EQ(3.5f, d.samples.at(0));
        if (d.time >= 4.0) times.push_back(d.time);
    }
    ASSERT_EQ(16u, times.size());
    for (size_t i = 0; i < times.size(); i++)
        EXPECT_DOUBLE_EQ(4.0 + 0.5 * static_cast<double>(i), times[i]);
    // Two reads of the failing module: the request and its one repeat.
    EXPECT_EQ(2, Count("#02"));
}

TEST_F(Multi, TheClassProcedureAnswersAsTheMultiBlockForm) {
    Load();
    hostsim::Block* master = Create(kND6014);
    ASSERT_NE(nullptr, master);
    hostsim::Block* slave = Create(kND6014, [] { WinapiQueueClick(kInputs6014); });
    ASSERT_NE(nullptr, slave);
    ASSERT_EQ(2, P14(slave)->Module_Type);
    EXPECT_EQ(0, hostsim::SendClassMessage(master, MODMSG_QUERY172, 0, 0));
    EXPECT_EQ(1, hostsim::SendClassMessage(master, MODMSG_QUERY128, 0, 0));
    size_t calls = hostsim::DefaultActionCalls().size();
    hostsim::SetDefaultActionAnswer(42);
    const int unanswered[] = {MODMSG_CHECK_LAYOUT, MODMSG_EXPORT_NAMES, MODMSG_IMPORT_NAMES, 203};
    for (int msg : unanswered)
        EXPECT_EQ(42, hostsim::SendClassMessage(slave, msg, 0, 0)) << msg;
    EXPECT_EQ(calls + 4, hostsim::DefaultActionCalls().size());
    EXPECT_NE(0, hostsim::SendClassMessage(master, MODMSG_GET_SCHEMA, 0, 0));
    // A slave measures with its master's settings.
    Mess(master).Sample_Distance = 0.25;
    EXPECT_EQ(1, hostsim::SendClassMessage(slave, MODMSG_CHANNEL_TIMING, 0, 0));
    EXPECT_DOUBLE_EQ(0.25, slave->outputs[0].dSampleDistance);
    // Without one it has nothing to measure with.
    P14(master)->MasterID = 999;
    EXPECT_EQ(0, hostsim::SendClassMessage(slave, MODMSG_CHANNEL_TIMING, 0, 0));
    EXPECT_EQ("Slave has no master", LastWarning()->text);
    EXPECT_EQ(0, StartAll({slave}));
    EXPECT_EQ("Slave module has no master", LastWarning()->text);
    StopAll({slave});
}

TEST_F(Multi, TheSetupDialogKeepsAChannelAndChecksTheBlocksChannels) {
    Load();
    hostsim::Block* master = Create(kND6014);
    ASSERT_NE(nullptr, master);
    hostsim::Block* outputs = Create(kND6014);
    ASSERT_NE(nullptr, outputs);
    Channels(outputs, 3, false);
    // Both channels out of use: OK does nothing, the dialog is left open
    // (and then cancelled); the block keeps its channels.
    WinapiQueueRightDoubleClick(23002);
    WinapiQueueRightDoubleClick(23003);
    WinapiQueueOk();
    EXPECT_EQ(1, hostsim::SendClassMessage(outputs, MODMSG_SETUP_DIALOG, 0, 0));
    EXPECT_EQ(1, WinapiDialogCancelledByRun("DLG_ND6014DO"));
    EXPECT_EQ(3, Mask(outputs));
    // One channel: the output block gets one input.
    WinapiQueueRightDoubleClick(23003);
    WinapiQueueOk();
    EXPECT_EQ(1, hostsim::SendClassMessage(outputs, MODMSG_SETUP_DIALOG, 0, 0));
    EXPECT_EQ(1, Mask(outputs));
    EXPECT_EQ(1u, static_cast<UINT>(outputs->record.uInputs));
    EXPECT_EQ(0u, static_cast<UINT>(outputs->record.uOutputs));
    // A slave's port and address are its master's, not to be changed.
    WinapiControlInfo port;
    ASSERT_TRUE(WinapiDialogControl("DLG_ND6014DO", 1050, &port));
    EXPECT_EQ(0, port.enabled);
    // A block without a function has no channels to show.
    P14(outputs)->Port_Mask = 0;
    EXPECT_EQ(1, hostsim::SendClassMessage(outputs, MODMSG_SETUP_DIALOG, 0, 0));
    ASSERT_FALSE(hostsim::InternalErrors().empty());
    EXPECT_EQ(0u, hostsim::InternalErrors().back().find("Number of channels"));
}

} // namespace
