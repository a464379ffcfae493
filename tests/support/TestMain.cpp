// Shared main of every test executable.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>

namespace {

// A crash ends the test executable at once with a message: under Wine an
// unhandled exception would otherwise start the debugger and the run would
// hang until ctest's time-out.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* exception)
{
    std::fprintf(stderr, "\nCRASH: exception 0x%08lX at %p\n",
                 static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode),
                 exception->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv)
{
    // A crashing test must not wait for a debugger or an error dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(EndOnCrash);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
