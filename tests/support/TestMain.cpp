// Shared main of every test executable.
#include <windows.h>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // A crashing test must not wait for a debugger or an error dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
