// The module test and the probes against simulated modules: a module with
// checksums, one without, a silent one, wrong types, the channel numbers
// from a mask, and warnings by string id.
#include "engine_fixture.h"

#include "frame/moduletest.h"

#include "resource.h"

namespace {

using enginetest::EngineTest;
using modsim::Fault;
using modsim::FaultKind;

const char kOkay6017[] = "Status: OKAY\n\xAF\xAF\xAF\xAF\xAF\xAF\xAF\xAF\xAF\xAF\xAF\n"
                         "1. Module type 6017.\n2. Module uses checksums";
const char kNoReply[] = "Module does not reply!\n\xB7 Connected ?\n\xB7 Switched On ?";

class Probe : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        OpenBus();
        ASSERT_EQ(1, bus.AddModule(1, "6017", 1));
        // It answers a line without its checksum with "?01" rather than
        // silence, so the probe needs no time-out to find it.
        bus.EditModule(1, [](modsim::Module& m) { m.answerBadChecksum = 1; });
        ASSERT_EQ(1, bus.AddModule(2, "6050", 0));
        ASSERT_EQ(1, bus.AddModule(3, seven050, 0));
    }
    WinapiMessageBoxCall LastBox() {
        WinapiMessageBoxCall call;
        memset(&call, 0, sizeof call);
        WinapiMessageBoxAt(WinapiMessageBoxCount() - 1, &call);
        return call;
    }
    const modsim::Profile seven050 = {"7050", "B1.0", 0x40, 0, 0, nullptr, nullptr};
};

TEST_F(Probe, ChecksumsArePlainOrAbsentOrThereIsNoReply) {
    EXPECT_EQ(PROBE_CHECKSUMS, ProbeChecksum(1, 1)); // "?01" to the plain query
    EXPECT_EQ(PROBE_PLAIN, ProbeChecksum(1, 2));
    // Nobody at address 9: four time-outs of 2000 ms on the manual clock.
    WinapiUseManualClock(1000);
    EXPECT_EQ(PROBE_NO_REPLY, ProbeChecksum(1, 9));
    EXPECT_GE(GetTickCount() - 1000, 8000u);
    WinapiUseRealClock();
}

// A module that answers, but with lines too long for any reply or with
// checksums that never fit, is not reported as silent.
TEST_F(Probe, AReplyThatCannotBeReadIsNoSilence) {
    Fault overlong(FaultKind::Overlong, modsim::kAlways);
    overlong.length = 2000; // without end, as far as the probe's buffer goes
    ASSERT_EQ(1, bus.InjectFault(2, overlong));
    EXPECT_EQ(PROBE_UNREADABLE, ProbeChecksum(1, 2));
    ASSERT_EQ(1, bus.ClearFaults(2));
    ASSERT_EQ(1, bus.InjectFault(1, Fault(FaultKind::BadChecksum, modsim::kAlways)));
    EXPECT_EQ(PROBE_UNREADABLE, ProbeChecksum(1, 1));
}

TEST_F(Probe, TheModelNumberComesOnlyFromACleanReply) {
    EXPECT_EQ(6017, ReadModuleName(1, 1, 1));
    EXPECT_EQ(6050, ReadModuleName(1, 2, 0));
    ASSERT_EQ(1, bus.InjectFault(1, Fault(FaultKind::BadChecksum)));
    EXPECT_EQ(0, ReadModuleName(1, 1, 1));
    Fault wrong(FaultKind::WrongFirstChar);
    wrong.firstChar = '>';
    ASSERT_EQ(1, bus.InjectFault(2, wrong));
    EXPECT_EQ(0, ReadModuleName(1, 2, 0));
}

TEST_F(Probe, TheModelNumberIsReadFromFiveDigitsAtMost) {
    const modsim::Profile big = {"123456", "A", 0, 0, 0, nullptr, nullptr};
    ASSERT_EQ(1, bus.AddModule(4, big, 0));
    EXPECT_EQ(12345, ReadModuleName(1, 4, 0)); // !0412345 is read
}

TEST_F(Probe, TestModuleShowsEachOutcome) {
    const int k6017[] = {6017};
    const int k6050[] = {6050, 4050};
    CloseCom(1); // the test opens and closes the port itself
    EXPECT_EQ(1, TestModule(1, 1, k6017, 1));
    EXPECT_STREQ("Test module: COM1, address 1", LastBox().caption);
    EXPECT_STREQ(kOkay6017, LastBox().text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), LastBox().type & MB_ICONMASK);

    // Another series with the same last digits is another model: the start
    // of a type that does not list it refuses it too.
    EXPECT_EQ(0, TestModule(1, 3, k6050, 2));
    EXPECT_STREQ("Wrong Module Type: ND-7050.", LastBox().text);
    const int k7050[] = {6050, 7050};
    EXPECT_EQ(1, TestModule(1, 3, k7050, 2));
    EXPECT_NE(nullptr, strstr(LastBox().text, "1. Module type 7050.\n2. Module uses no checksums"));

    EXPECT_EQ(0, TestModule(1, 2, k6017, 1));
    EXPECT_STREQ("Wrong Module Type: ND-6050.", LastBox().text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), LastBox().type & MB_ICONMASK);

    WinapiUseManualClock(1000);
    EXPECT_EQ(0, TestModule(1, 9, k6050, 2));
    WinapiUseRealClock();
    EXPECT_STREQ(kNoReply, LastBox().text);
    EXPECT_STREQ("Test module: COM1, address 9", LastBox().caption);

    // A module that names no model passes only where the type takes such.
    const modsim::Profile nameless = {"", "A", 0, 0, 0, nullptr, nullptr};
    ASSERT_EQ(1, bus.AddModule(4, nameless, 0));
    const int kWithNone[] = {6050, 0};
    EXPECT_EQ(0, TestModule(1, 4, kWithNone, 2));
    EXPECT_NE(nullptr, strstr(LastBox().text, "1. Module type: Unknown."));
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), LastBox().type & MB_ICONMASK);
    EXPECT_EQ(0, TestModule(1, 4, k6050, 2));
    EXPECT_STREQ("Wrong module type connected.", LastBox().text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), LastBox().type & MB_ICONMASK);

    Fault overlong(FaultKind::Overlong, modsim::kAlways);
    ASSERT_EQ(1, bus.InjectFault(2, overlong));
    EXPECT_EQ(0, TestModule(1, 2, k6050, 2));
    EXPECT_STREQ("The module replied, but its reply could not be read.", LastBox().text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), LastBox().type & MB_ICONMASK);
    EXPECT_TRUE(hostsim::Warnings().empty());
}

TEST_F(Probe, TestModuleRefusesABadPortOrAddressAndARunningExperiment) {
    const int k6017[] = {6017};
    EXPECT_EQ(0, TestModule(0, 1, k6017, 1));
    EXPECT_EQ(0, TestModule(1, 0, k6017, 1));
    ASSERT_EQ(2u, hostsim::Warnings().size());
    EXPECT_EQ(" ?", hostsim::Warnings()[0].caption);
    EXPECT_EQ("COM Port ?", hostsim::Warnings()[0].text);
    EXPECT_EQ("Module address ?", hostsim::Warnings()[1].text);
    bExperimentIsRunning = 1;
    EXPECT_EQ(0, TestModule(1, 1, k6017, 1));
    bExperimentIsRunning = 0;
    EXPECT_EQ(0, WinapiMessageBoxCount());
    EXPECT_EQ(2u, hostsim::Warnings().size());
}

// The channel tables lie in the host's packed record (the inputs' at an
// address no int is stored at): they are read here by copy, as the plug-in
// writes them.
std::vector<int> Channels(const void* table, UINT count) {
    std::vector<int> out(count);
    memcpy(out.data(), table, count * sizeof(int));
    return out;
}

TEST_F(Probe, ChannelNumbersFollowTheSetBitsOfTheMask) {
    ModuleRecord m = {};
    m.uOutputs = 2;
    SetOutputChannelsFromMask(&m, 0x8001);
    EXPECT_EQ((std::vector<int>{1, 16}), Channels(m.aiOutputChannel, 2));
    m.uOutputs = 3;
    SetOutputChannelsFromMask(&m, 0x8001);
    EXPECT_EQ((std::vector<int>{1, 16, 17}), Channels(m.aiOutputChannel, 3));
    m.uInputs = 2;
    SetInputChannelsFromMask(&m, 0x0005);
    EXPECT_EQ((std::vector<int>{1, 3}), Channels(m.aiInputChannel, 2));
}

TEST_F(Probe, WarningsByStringId) {
    ShowWarningByIds(IDS_ERROR, IDS_NO_MEMORY);
    ASSERT_EQ(1u, hostsim::Warnings().size());
    EXPECT_EQ("Error", hostsim::Warnings()[0].caption);
    EXPECT_EQ("Not enough memory!", hostsim::Warnings()[0].text);
}

} // namespace
