// A fixture for tests that touch the process-wide registry: each starts from an empty one,
// whatever ran before it in the same process.
#pragma once

#include <gtest/gtest.h>

#include "internal.h"

class fresh_registry : public ::testing::Test {
protected:
    void SetUp() override { qel::detail::ResetRegistryForTests(); }
    void TearDown() override { qel::detail::ResetRegistryForTests(); }
};
