// What the registry tests on the fake share: a fresh fake platform with the registry
// library loaded, and the reports and deletions the calls made.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry/registry_api.h"
#include "registry/registry_keys.h"
#include "tests/fake/fake_platform.h"

namespace registry_test {

class RegistryKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        ASSERT_EQ(LoadRegistryApi(), 1);
        fake::ClearCalls();
    }
};

// The labels reported through the toolkit's error handler, in order. Every report
// must carry code 104, flag 1 and no second or third text.
inline std::vector<std::string> ReportedLabels() {
    std::vector<std::string> labels;
    for (const fake::Call &call : fake::Calls()) {
        if (call.name != "EercErrorHandler") continue;
        EXPECT_EQ(call.args, (std::vector<std::string>{"104", "1", call.args.at(2), "NULL", "NULL"}));
        labels.push_back(call.args.at(2));
    }
    return labels;
}

// The keys RegDeleteKeyA was asked to delete, in order, as "root,path".
inline std::vector<std::string> DeletedKeys() { return fake::CallTexts({"RegDeleteKeyA"}); }

// The run ended in the fatal stop: dialog 400 shown, then exit code 0.
inline void ExpectFatalStop(int exitCode) {
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(fake::ShownDialogs(), std::vector<int>{400});
}

}  // namespace registry_test
