// A copy of the plug-in under a family's file name, bound by the stand-in host.
#ifndef TESTS_COMMON_PLUGIN_FIXTURE_H
#define TESTS_COMMON_PLUGIN_FIXTURE_H

#include "remove_tree.h"
#include "hostsim/hostsim.h"
#include "winapi_headless.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <fstream>
#include <string>

class PluginTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/telvio-test-XXXXXX";
        const char* d = mkdtemp(tmpl);
        ASSERT_NE(nullptr, d);
        dir = d;
        ASSERT_TRUE(hostsim::Start());
        hostsim::SetExeFileDir((dir + "/").c_str());
    }
    void TearDown() override {
        if (plugin.module) hostsim::UnloadPlugin(&plugin);
        RemoveTree(dir);
    }
    // Copies the plug-in to dir/name and binds it; the binding's answer.
    int Bind(const std::string& name) {
        std::string path = dir + "/" + name;
        {
            std::ifstream in(TELVIO_PLUGIN, std::ios::binary);
            std::ofstream out(path, std::ios::binary);
            out << in.rdbuf();
        }
        if (!hostsim::LoadPlugin(path.c_str(), &plugin)) return -1;
        return plugin.setupResult;
    }

    std::string dir;
    hostsim::Plugin plugin;
};

// The same with the folder as the COM-port folder, the clock real and no
// dialog action or record left from an earlier test: the base of the tests
// that talk to simulated modules.
class PortFolderTest : public PluginTest {
  protected:
    void SetUp() override {
        WinapiUseRealClock();
        WinapiDialogsReset();
        PluginTest::SetUp();
        setenv("TELVIO_COM_DIR", dir.c_str(), 1);
    }
};

#endif
