#pragma once
// Scoped owner of a handle *variable*: on the way out of a scope it closes
// whatever the variable then holds and leaves INVALID_HANDLE_VALUE behind, so
// the owner of the variable (a job's open-target handle) sees it closed too.
// Handles opened through a WipeIo are closed through it.
#include <windows.h>
#include "engine/WipeIo.h"

class HandleHolder {
public:
    explicit HandleHolder(HANDLE& handle) : handle(handle), io(nullptr) {}
    HandleHolder(HANDLE& handle, WipeIo& io) : handle(handle), io(&io) {}
    ~HandleHolder()
    {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
            if (io)
                io->Close(handle);
            else
                CloseHandle(handle);
        }
        handle = INVALID_HANDLE_VALUE;
    }
    HandleHolder(const HandleHolder&) = delete;
    HandleHolder& operator=(const HandleHolder&) = delete;

private:
    HANDLE& handle;
    WipeIo* io;
};
