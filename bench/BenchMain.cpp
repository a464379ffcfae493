// Runs every registered benchmark, or those whose name contains an argument.
#include <windows.h>
#include <cstdio>
#include <vector>
#include "Bench.h"

namespace {
struct Entry {
    const char* name;
    BenchmarkFunction function;
};
std::vector<Entry>& Registry()
{
    static std::vector<Entry> entries;
    return entries;
}
}  // namespace

BenchmarkRegistration::BenchmarkRegistration(const char* name, BenchmarkFunction function)
{
    Registry().push_back({name, function});
}

void Report(const std::string& name, double value)
{
    std::printf("%s %.3f\n", name.c_str(), value);
    std::fflush(stdout);
}

double Seconds()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int main(int argc, char** argv)
{
    for (const Entry& entry : Registry()) {
        bool wanted = argc < 2;
        for (int i = 1; i < argc && !wanted; ++i)
            wanted = std::string(entry.name).find(argv[i]) != std::string::npos;
        if (wanted)
            entry.function();
    }
    return 0;
}
