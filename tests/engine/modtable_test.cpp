// The module table: order, removal, the 65th block, and the round-robin
// cursor, which stays inside the table when blocks are removed.
#include "engine_fixture.h"

namespace {

using enginetest::EngineTest;
using enginetest::NameBlock;

class Table : public EngineTest {
  protected:
    void Add(int n) {
        for (int i = 0; i < n; i++) {
            char name[16];
            snprintf(name, sizeof name, "B%d", i);
            NameBlock(&blocks[i], name);
            ASSERT_EQ(1, ModuleTableAdd(&blocks[i], &settings[i], 6000 + i));
        }
    }
    ModuleRecord blocks[MODULE_TABLE_SIZE + 1] = {};
    MessParam settings[MODULE_TABLE_SIZE + 1];
};

TEST_F(Table, RemovingMovesTheLaterEntriesDown) {
    Add(3);
    EXPECT_EQ(1, ModuleTableRemove(&blocks[0]));
    ASSERT_EQ(2, ModuleTableCount());
    EXPECT_STREQ("B1", ModuleTableName(0));
    EXPECT_EQ(&settings[1], ModuleTableSettings(0));
    EXPECT_EQ(6001, ModuleTableModel(0));
    EXPECT_STREQ("B2", ModuleTableName(1));
    EXPECT_EQ(&settings[2], ModuleTableSettings(1));
    EXPECT_EQ(0, ModuleTableRemove(&blocks[0]));
    EXPECT_EQ(nullptr, ModuleTableSettings(2));
    EXPECT_STREQ("", ModuleTableName(-1));
}

TEST_F(Table, TheCursorRunsRoundAndStartsAtTheFirstBlock) {
    Add(3);
    ModuleTableResetCursor();
    std::vector<ModuleRecord*> turns;
    for (int i = 0; i < 4; i++) {
        turns.push_back(ModuleTableCurrent());
        ModuleTableNext();
    }
    std::vector<ModuleRecord*> expected = {&blocks[0], &blocks[1], &blocks[2], &blocks[0]};
    EXPECT_EQ(expected, turns);
}

TEST_F(Table, AnEmptyTableHasNoTurn) {
    ModuleTableNext();
    EXPECT_EQ(0, ModuleTableCursor());
    EXPECT_EQ(nullptr, ModuleTableCurrent());
}

TEST_F(Table, RemovingKeepsTheCursorInsideTheTable) {
    Add(3);
    ModuleTableResetCursor();
    ModuleTableNext();
    ModuleTableNext(); // B2's turn
    ASSERT_EQ(1, ModuleTableRemove(&blocks[0]));
    EXPECT_EQ(&blocks[2], ModuleTableCurrent()); // still B2's turn
    ASSERT_EQ(1, ModuleTableRemove(&blocks[2]));
    EXPECT_EQ(&blocks[1], ModuleTableCurrent()); // past the end: back to the first
    ASSERT_EQ(1, ModuleTableRemove(&blocks[1]));
    EXPECT_EQ(nullptr, ModuleTableCurrent());
    EXPECT_EQ(0, ModuleTableCursor());
}

TEST_F(Table, The65thBlockIsRefused) {
    Add(MODULE_TABLE_SIZE);
    EXPECT_TRUE(hostsim::Warnings().empty());
    EXPECT_EQ(0, ModuleTableAdd(&blocks[MODULE_TABLE_SIZE], &settings[0], 6018));
    EXPECT_EQ(MODULE_TABLE_SIZE, ModuleTableCount());
    ASSERT_EQ(1u, hostsim::Warnings().size());
    EXPECT_EQ("Error", hostsim::Warnings()[0].caption);
    EXPECT_EQ("Max. number of modules already reached!", hostsim::Warnings()[0].text);
}

} // namespace
