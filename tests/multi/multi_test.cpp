// The frame of the multi-block types: the block table, the creation dialog,
// loading, deletion with the hand-over of mastership, the start in either
// order, the master's turn and the error wait.
#include "multi_fixture.h"

namespace {

using multitest::kND6014;
using multitest::MultiTest;

TEST_F(MultiTest, Placeholder) {
    Load();
    EXPECT_NE(nullptr, Create(kND6014));
}

} // namespace
