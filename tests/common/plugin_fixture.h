// A copy of the plug-in under a family's file name, bound by the stand-in host.
#ifndef TESTS_COMMON_PLUGIN_FIXTURE_H
#define TESTS_COMMON_PLUGIN_FIXTURE_H

#include "remove_tree.h"
#include "hostsim/hostsim.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <fstream>
#include <string>

class PluginTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/telvio-registration-XXXXXX";
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

#endif
