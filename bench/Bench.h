#pragma once
// The benchmark program prints one figure per line as "name value". Each
// benchmark file registers its functions with VARNOX_BENCHMARK; a function
// reports its figures through Report.
#include <string>

void Report(const std::string& name, double value);

// Seconds since an arbitrary start, from the performance counter.
double Seconds();

using BenchmarkFunction = void (*)();
struct BenchmarkRegistration {
    BenchmarkRegistration(const char* name, BenchmarkFunction function);
};

#define VARNOX_BENCHMARK(name)                                                  \
    static void name();                                                         \
    static BenchmarkRegistration name##Registration(#name, name);               \
    static void name()
