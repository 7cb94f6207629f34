// The helpers bound to the stand-in host, with the host's conventions set
// case by case: decimal, time and date separators, leading zeros, date order,
// long year, 12- or 24-hour clock.
#ifndef TESTS_NUMBERS_HOST_FIXTURE_H
#define TESTS_NUMBERS_HOST_FIXTURE_H

#include "host/driver.h"
#include "host/host.h"
#include "hostsim/hostsim.h"
#include "winapi_headless.h"

#include <gtest/gtest.h>

#include <stdint.h>

namespace numberstest {

inline DWORD TextAddress(const char* text) {
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(text));
}

struct Conventions {
    const char* decimal = ".";
    int decimalLeadingZero = 1;
    const char* time = ":";
    const char* date = ".";
    int dateOrder = 1; // wDateFormat
    int dayLeadingZero = 1;
    int monthLeadingZero = 1;
    int yearLong = 1;
    int time24h = 1;
    int timeLeadingZero = 1;
};

class HostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WinapiDialogsReset();
        ASSERT_TRUE(hostsim::Start());
        hwndHost = hostsim::MainWindow();
        Use(Conventions());
    }
    void TearDown() override { WinapiDialogsReset(); }
    // The host answers these values from now on; the plug-in binds again.
    void Use(const Conventions& c) {
        hostsim::SetVariableValue("DezTrenn", TextAddress(c.decimal));
        hostsim::SetVariableValue("bDecLeadingZero", static_cast<DWORD>(c.decimalLeadingZero));
        hostsim::SetVariableValue("TimeTrenn", TextAddress(c.time));
        hostsim::SetVariableValue("DateTrenn", TextAddress(c.date));
        hostsim::SetVariableValue("wDateFormat", static_cast<DWORD>(c.dateOrder));
        hostsim::SetVariableValue("bDateDayLeadingZero", static_cast<DWORD>(c.dayLeadingZero));
        hostsim::SetVariableValue("bDateMonthLeadingZero", static_cast<DWORD>(c.monthLeadingZero));
        hostsim::SetVariableValue("bDateYearLong", static_cast<DWORD>(c.yearLong));
        hostsim::SetVariableValue("bTime24h", static_cast<DWORD>(c.time24h));
        hostsim::SetVariableValue("bTimeLeadingZero", static_cast<DWORD>(c.timeLeadingZero));
        ASSERT_EQ(1, ResolveHostInterface(hostsim::MainWindow()));
    }
};

} // namespace numberstest

#endif
