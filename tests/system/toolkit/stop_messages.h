// What the binding's tests ask of a run that must end: the messages shown before the
// fatal stop, so a test can tell the overflow stop from a quiet one.
#pragma once

#include "tests/fake/fake_platform.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace toolkit_test {

inline const std::vector<std::string> OverflowMessage{"DoMsgBox(Buffer Overflow,MS-Setup Error,16)"};
inline const std::vector<std::string> NoMessage{};

// Runs `body`, which must end the run, and answers the messages it showed first.
inline std::vector<std::string> MessagesBeforeStop(const std::function<void()> &body) {
    fake::ClearCalls();
    EXPECT_EQ(fake::RunUntilExit(body), 0);
    return fake::CallTexts({"DoMsgBox"});
}

}  // namespace toolkit_test
