// Unloading the plug-in releases the linearisation tables it built.
#include "host/driver.h"
#include "host/host.h"
#include "host/linear.h"
#include "hostsim/hostsim.h"
#include "modules/exports.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

namespace {

TEST(Finish, FinishVarnixDllReleasesTheTables) {
    char folder[] = "/tmp/telvio-linear-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    ASSERT_TRUE(hostsim::Start());
    hostsim::SetExeFileDir((std::string(folder) + "/").c_str()); // the INI file goes there
    ASSERT_EQ(1, ResolveHostInterface(hostsim::MainWindow()));
    hwndHost = hostsim::MainWindow();
    int before = hostsim::LiveAllocations();
    ASSERT_EQ(1, LinearBuild(LINEAR_TYPE_K));
    EXPECT_NEAR(100.0, LinearLookup(LINEAR_PT100, 138.5), 0.01);
    EXPECT_EQ(before + 4, hostsim::LiveAllocations());

    EXPECT_EQ(1, FinishVarnixDLL(0));
    EXPECT_EQ(before, hostsim::LiveAllocations());
    EXPECT_EQ(1, LinearBuild(LINEAR_TYPE_K)); // built again after the release
    LinearFreeAll();
    std::string cmd = std::string("rm -rf '") + folder + "'";
    (void)system(cmd.c_str());
}

} // namespace
