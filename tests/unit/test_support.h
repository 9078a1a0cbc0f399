// Shared set-up for the unit tests: a fresh machine and a fresh launch state per test.
#pragma once
#include <gtest/gtest.h>

#include "launch/launch_state.h"
#include "launch/text.h"
#include "tests/fake/fake_host.h"

constexpr const char* ProductKeyPath = "SOFTWARE\\HalvardWorks\\Marlinth\\6.6";
constexpr const char* LocatorKeyPath = "SOFTWARE\\HalvardWorks\\Marlinth\\6.6\\nrcdrom";

class HostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetFake();
        ResetLaunchState();
    }
};
