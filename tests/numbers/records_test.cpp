// The channel tables of a block's record, written only within their 16
// entries, and the defaults record.
#include "host/recordhelp.h"
#include "host_fixture.h"

#include <string.h>

namespace {

using numberstest::HostTest;

class Records : public HostTest {};

TEST_F(Records, ChannelEntriesWithinTheTable) {
    ModuleRecord record;
    memset(&record, 0x5A, sizeof record);
    ModuleRecord before = record;
    EXPECT_EQ(1, SetInputChannel(&record, 0, 7));
    EXPECT_EQ(1, SetInputChannel(&record, 15, -3));
    EXPECT_EQ(1, SetOutputChannel(&record, 15, 9));
    EXPECT_EQ(7, static_cast<int>(record.aiInputChannel[0]));
    EXPECT_EQ(-3, static_cast<int>(record.aiInputChannel[15]));
    EXPECT_EQ(9, static_cast<int>(record.aiOutputChannel[15]));
    // Beyond the table nothing is written: the neighbouring fields keep their bytes.
    ModuleRecord written = record;
    EXPECT_EQ(0, SetInputChannel(&record, 16, 1));
    EXPECT_EQ(0, SetInputChannel(&record, -1, 1));
    EXPECT_EQ(0, SetOutputChannel(&record, 16, 1));
    EXPECT_EQ(0, SetOutputChannel(&record, -1, 1));
    EXPECT_EQ(0, SetOutputChannel(nullptr, 0, 1));
    EXPECT_EQ(0, memcmp(&written, &record, sizeof record));
    EXPECT_EQ(0, memcmp(before.abHost1BA, record.abHost1BA, sizeof record.abHost1BA));
}

TEST_F(Records, Defaults) {
    DefaultsRecord r = {0, 0, 0};
    SetRecordDefaults(&r);
    EXPECT_EQ(100, r.First);
    EXPECT_EQ(2, r.Second);
    EXPECT_EQ(512, r.Third);
    EXPECT_EQ(100, Constant100());
    EXPECT_EQ(3108, Constant3108());
}

} // namespace
