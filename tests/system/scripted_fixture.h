#pragma once
// A scripted machine made active for the length of one test.

#include "host/machine.h"
#include "host/scripted_machine.h"
#include "host/system_objects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

class ScriptedMachineTest : public ::testing::Test {
protected:
    void SetUp() override { host::SetActiveMachine(&machine); }
    void TearDown() override { host::SetActiveMachine(nullptr); }

    host::ScriptedSystemState& State() { return machine.State(); }

    // The action-log lines that start with `prefix`.
    std::vector<std::string> ActionsStartingWith(const std::string& prefix) const {
        std::vector<std::string> lines;
        for (const std::string& line : machine.Actions())
            if (line.rfind(prefix, 0) == 0) lines.push_back(line);
        return lines;
    }

    host::ScriptedMachine machine;
};
