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
    EXPECT_EQ(1, ProbeChecksum(1, 1)); // "?01" to the plain query
    EXPECT_EQ(2, ProbeChecksum(1, 2));
    // Nobody at address 9: four time-outs of 2000 ms on the manual clock.
    WinapiUseManualClock(1000);
    EXPECT_EQ(0, ProbeChecksum(1, 9));
    EXPECT_GE(GetTickCount() - 1000, 8000u);
    WinapiUseRealClock();
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
    CloseCom(1); // the test opens and closes the port itself
    EXPECT_EQ(1, TestModule(1, 1, 6017));
    EXPECT_STREQ("Test module: COM1, address 1", LastBox().caption);
    EXPECT_STREQ(kOkay6017, LastBox().text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), LastBox().type & MB_ICONMASK);

    EXPECT_EQ(1, TestModule(1, 3, 6050)); // another series, same last digits
    EXPECT_EQ(0, strncmp(LastBox().text, "Status: OKAY", 12));
    EXPECT_NE(nullptr, strstr(LastBox().text, "1. Module type 7050.\n2. Module uses no checksums"));

    EXPECT_EQ(0, TestModule(1, 2, 6052));
    EXPECT_STREQ("Wrong Module Type: ND-6050.", LastBox().text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), LastBox().type & MB_ICONMASK);

    WinapiUseManualClock(1000);
    EXPECT_EQ(0, TestModule(1, 9, 6050));
    WinapiUseRealClock();
    EXPECT_STREQ(kNoReply, LastBox().text);
    EXPECT_STREQ("Test module: COM1, address 9", LastBox().caption);
    EXPECT_TRUE(hostsim::Warnings().empty());
}

TEST_F(Probe, TestModuleRefusesABadPortOrAddressAndARunningExperiment) {
    EXPECT_EQ(0, TestModule(0, 1, 6050));
    EXPECT_EQ(0, TestModule(1, 0, 6050));
    ASSERT_EQ(2u, hostsim::Warnings().size());
    EXPECT_EQ(" ?", hostsim::Warnings()[0].caption);
    EXPECT_EQ("COM Port ?", hostsim::Warnings()[0].text);
    EXPECT_EQ("Module address ?", hostsim::Warnings()[1].text);
    bExperimentIsRunning = 1;
    EXPECT_EQ(0, TestModule(1, 1, 6017));
    bExperimentIsRunning = 0;
    EXPECT_EQ(0, WinapiMessageBoxCount());
    EXPECT_EQ(2u, hostsim::Warnings().size());
}

TEST_F(Probe, ChannelNumbersFollowTheSetBitsOfTheMask) {
    ModuleRecord m = {};
    m.uOutputs = 2;
    SetOutputChannelsFromMask(&m, 0x8001);
    EXPECT_EQ(1, m.aiOutputChannel[0]);
    EXPECT_EQ(16, m.aiOutputChannel[1]);
    m.uOutputs = 3;
    SetOutputChannelsFromMask(&m, 0x8001);
    EXPECT_EQ(17, m.aiOutputChannel[2]);
    m.uInputs = 2;
    SetInputChannelsFromMask(&m, 0x0005);
    EXPECT_EQ(1, m.aiInputChannel[0]);
    EXPECT_EQ(3, m.aiInputChannel[1]);
}

TEST_F(Probe, WarningsByStringId) {
    ShowWarningByIds(IDS_ERROR, IDS_NO_MEMORY);
    ASSERT_EQ(1u, hostsim::Warnings().size());
    EXPECT_EQ("Error", hostsim::Warnings()[0].caption);
    EXPECT_EQ("Not enough memory!", hostsim::Warnings()[0].text);
}

} // namespace
