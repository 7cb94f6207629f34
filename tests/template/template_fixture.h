// Blocks of the thermocouple type in the stand-in host: its class registered
// from the test side with the type's procedures, a module bus on COM1 that
// new blocks take, and helpers to read a block's records.
#ifndef TESTS_TEMPLATE_FIXTURE_H
#define TESTS_TEMPLATE_FIXTURE_H

#include "engine_fixture.h"
#include "frame/poll.h"
#include "frame/template.h"
#include "modules/analog/nd6018.h"

int MODULE_CALL ND6018_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam);
int MODULE_CALL ND6018_Process(ModuleRecord* module);
int MODULE_CALL ND6018P_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam);
int MODULE_CALL ND6018P_Process(ModuleRecord* module);

namespace templatetest {

class TemplateTest : public enginetest::EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        Register("Q7018_I_MODULE", "Q7018-I-00", ND6018_ClassProc, ND6018_Process);
        Register("Q7018P_I_MODULE", "Q7018P-I-00", ND6018P_ClassProc, ND6018P_Process);
        ComSettings r = enginetest::Row(1);
        ASSERT_EQ(1, PortTableMerge(&r));
        ComPortsDefined = 1;
        fGlobalMilliSecondsPerSample = 0.0;
        uiGlobalBlockSize = 0;
    }
    void Register(const char* className, const char* name, ModuleClassProc proc,
                  ModuleProcessProc process) {
        ModuleClassRecord rec;
        memset(&rec, 0, sizeof rec);
        rec.hInstance = module;
        rec.pszClassName = className;
        rec.uParamSize = 1576;
        rec.uRuntimeSize = 56;
        rec.uChannelDataSize = 8;
        rec.uMenuId = 2955;
        rec.pszDefaultName = name;
        rec.pszDescription = "ND6018 Thermocouple";
        rec.dwHelpContext = 1120;
        rec.pfnClassProc = proc;
        rec.pfnProcess = process;
        ASSERT_NE(0, hostsim::RegisterClassRecord(&rec));
    }
    hostsim::Block* NewBlock(const char* className = "Q7018_I_MODULE", int* answer = nullptr) {
        return hostsim::CreateBlock(hostsim::FindClassByName(className), answer);
    }
    static ND6018_Param* P(hostsim::Block* b) {
        return reinterpret_cast<ND6018_Param*>(b->param.data());
    }
    static ND6018_Runtime* R(hostsim::Block* b) {
        return reinterpret_cast<ND6018_Runtime*>(b->runtime.data());
    }
    // A thermocouple module at address 1 on COM1, served by its own thread.
    void Module(int checksum = 0) {
        std::string error;
        ASSERT_EQ(1, bus.Open(&error)) << error;
        ASSERT_EQ(1, bus.SetLink(ComLink(1)));
        ASSERT_EQ(1, bus.Start());
        ASSERT_EQ(1, bus.AddModule(1, "6018", checksum));
    }
    const hostsim::Warning* LastWarning() const {
        const std::vector<hostsim::Warning>& w = hostsim::Warnings();
        return w.empty() ? nullptr : &w.back();
    }
};

} // namespace templatetest

#endif
