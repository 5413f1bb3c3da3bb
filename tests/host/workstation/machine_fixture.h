// A new machine in a temporary folder for each test, opened for the process.
#pragma once

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#include "host/workstation/machine.h"

namespace orv::test {

class MachineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/orv-machine-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        machine_ = root_ / "machine";
        std::string error;
        ASSERT_TRUE(orv::host::CreateMachine(machine_, options_, error)) << error;
        ASSERT_TRUE(orv::host::OpenMachine(machine_, false, error)) << error;
    }
    void TearDown() override
    {
        orv::host::CloseMachine();
        std::filesystem::remove_all(root_);
    }
    std::filesystem::path DriveC() const { return machine_ / "drives" / "C"; }

    orv::host::MachineOptions options_;
    std::filesystem::path root_;
    std::filesystem::path machine_;
};

}  // namespace orv::test
