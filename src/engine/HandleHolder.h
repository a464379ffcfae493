#pragma once
// Scoped owner of a handle *variable*: on the way out of a scope it closes
// whatever the variable then holds and leaves INVALID_HANDLE_VALUE behind, so
// the owner of the variable (a job's open-target handle) sees it closed too.
#include <windows.h>

class HandleHolder {
public:
    explicit HandleHolder(HANDLE& handle) : handle(handle) {}
    ~HandleHolder()
    {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }
    HandleHolder(const HandleHolder&) = delete;
    HandleHolder& operator=(const HandleHolder&) = delete;

private:
    HANDLE& handle;
};
