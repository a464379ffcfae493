#pragma once
// A critical section and its scoped lock. Used by every object that is shared
// between the user-interface thread and a worker (file list builder, logger,
// icon cache).
#include <windows.h>

class Mutex {
public:
    Mutex() { InitializeCriticalSection(&section); }
    ~Mutex() { DeleteCriticalSection(&section); }
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void Lock() { EnterCriticalSection(&section); }
    void Unlock() { LeaveCriticalSection(&section); }

private:
    CRITICAL_SECTION section;
};

class MutexHolder {
public:
    explicit MutexHolder(Mutex& mutex) : mutex(mutex) { mutex.Lock(); }
    ~MutexHolder() { mutex.Unlock(); }
    MutexHolder(const MutexHolder&) = delete;
    MutexHolder& operator=(const MutexHolder&) = delete;

private:
    Mutex& mutex;
};
