#pragma once
// Scoped owner of a handle *variable*: on the way out of a scope it closes
// whatever the variable then holds and leaves INVALID_HANDLE_VALUE behind, so
// the owner of the variable (a job's open-target handle) sees it closed too.
// Handles opened through an interface that must also close them (the wipe
// engine's I/O seam) are closed through its HandleCloser.
#include <windows.h>

class HandleCloser {
public:
    virtual bool Close(HANDLE handle) = 0;

protected:
    ~HandleCloser() = default;
};

class HandleHolder {
public:
    explicit HandleHolder(HANDLE& handle) : handle(handle), closer(nullptr) {}
    HandleHolder(HANDLE& handle, HandleCloser& closer) : handle(handle), closer(&closer) {}
    ~HandleHolder()
    {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
            if (closer)
                closer->Close(handle);
            else
                CloseHandle(handle);
        }
        handle = INVALID_HANDLE_VALUE;
    }
    HandleHolder(const HandleHolder&) = delete;
    HandleHolder& operator=(const HandleHolder&) = delete;

private:
    HANDLE& handle;
    HandleCloser* closer;
};
