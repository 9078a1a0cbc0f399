// Shared set-up for the unit tests: a fresh machine and a fresh launch state per test.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/launch_state.h"
#include "base/text.h"
#include "res/resource.h"
#include "tests/fake/fake_host.h"

// Every misuse of the fake fails the test that made it.
inline const bool FakeMisuseFailsTheTest = [] {
    SetFakeMisuseHandler(
        [](const std::string& call) { ADD_FAILURE() << "the fake was passed " << call; });
    return true;
}();

constexpr const char* ProductKeyPath = "SOFTWARE\\HalvardWorks\\Marlinth\\6.6";
constexpr const char* LocatorKeyPath = "SOFTWARE\\HalvardWorks\\Marlinth\\6.6\\nrcdrom";

// A fresh machine, with the Japanese code page's lead bytes when asked, and a fresh run.
inline void FreshMachine(bool codePage932 = false)
{
    ResetFake();
    ResetLaunchState();
    if (codePage932)
        UseCodePage932();
}

// The user types text into the location dialog and presses OK ("=": OK on the text shown;
// "-": Cancel); Cancel follows only when OK was refused. The files arriving turn up while the
// dialog is open, as a medium put in then.
inline void AnswerDialog(const std::string& typed, const std::vector<std::string>& arriving = {})
{
    Fake().DialogScript = [typed, arriving](HostDialogProc proc) -> intptr_t {
        for (const std::string& file : arriving)
            AddFile(file);
        proc(FakeDialog(), HostWmInitDialog, 0, 0);
        if (typed != "=" && typed != "-")
            Fake().DialogTexts[IDC_LOCATION] = typed;
        if (typed != "-")
            proc(FakeDialog(), HostWmCommand, IDOK, 0);
        if (Fake().EndDialogResults.empty())
            proc(FakeDialog(), HostWmCommand, IDCANCEL, 0);
        return Fake().EndDialogResults.back();
    };
}

class HostTest : public ::testing::Test {
protected:
    void SetUp() override { FreshMachine(); }
};
