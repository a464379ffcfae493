// Every user-interface test runs unattended: anything modal that nobody
// arranged to answer fails the test at once instead of waiting for a user.
#include "ui/Utils.h"
#include "ui/toolkit/Application.h"
#include <gtest/gtest.h>

namespace {

class UnattendedEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        tk::Application::Instance().SetUnansweredHandler(
            [](const std::wstring& what) { ADD_FAILURE() << "nothing answered: " << what; });
        InstallMessageDialogPresenter();
    }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new UnattendedEnvironment);

}  // namespace
