// Cost of the registry calls on a large tree: a tree 10 wide and 5 deep (111,110
// keys) and a key with 50,000 subkeys are created and deleted through the calls
// the setup's registry library makes (create, open, query info, enumerate from the
// last index down, delete). Keys per second for each, and the time of the 111,110-
// key tree over the 11,110-key tree, which a linear cost keeps near 10.
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host/workstation/machine.h"
#include "platform/registry.h"

namespace {

namespace fs = std::filesystem;

class TemporaryMachine {
public:
    TemporaryMachine()
    {
        char pattern[] = "/tmp/orv-bench-XXXXXX";
        if (::mkdtemp(pattern)) directory_ = pattern;
        std::string error;
        if (directory_.empty() || !orv::host::CreateMachine(directory_ / "machine", {}, error) ||
            !orv::host::OpenMachine(directory_ / "machine", false, error))
            std::fprintf(stderr, "cannot make a machine: %s\n", error.c_str());
    }
    ~TemporaryMachine()
    {
        orv::host::CloseMachine();
        std::error_code ec;
        fs::remove_all(directory_, ec);
    }

private:
    fs::path directory_;
};

std::int64_t CreateTree(HKEY parent, int width, int depth)
{
    if (depth == 0) return 0;
    std::int64_t created = 0;
    char name[16];
    for (int i = 0; i < width; ++i) {
        std::snprintf(name, sizeof name, "k%d", i);
        HKEY child = nullptr;
        if (RegCreateKeyA(parent, name, &child) != ERROR_SUCCESS) return created;
        created += 1 + CreateTree(child, width, depth - 1);
        RegCloseKey(child);
    }
    return created;
}

// The deletion of the registry library: children from the highest index down,
// each key closed before it is deleted through the root and its full path.
bool DeleteTree(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char className[128];
    DWORD classSize = sizeof className, subKeys = 0, longest = 0;
    if (RegQueryInfoKeyA(key, className, &classSize, nullptr, &subKeys, &longest, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return false;
    }
    std::vector<char> name(longest + 1);
    for (DWORD index = subKeys; index-- > 0;) {
        LONG status = RegEnumKeyA(key, index, name.data(), static_cast<DWORD>(name.size()));
        if (status == static_cast<LONG>(ERROR_NO_MORE_ITEMS)) continue;
        if (status != ERROR_SUCCESS || !DeleteTree(root, path + "\\" + name.data())) {
            RegCloseKey(key);
            return false;
        }
    }
    RegCloseKey(key);
    RegDeleteKeyA(root, path.c_str());
    return true;
}

// Wall time of one tree's creation and deletion; its processor time in `cpuSeconds`,
// which a busy host disturbs less.
double TreeSeconds(int depth, std::int64_t& keys, double* cpuSeconds = nullptr)
{
    std::clock_t cpuStart = std::clock();
    auto start = std::chrono::steady_clock::now();
    HKEY top = nullptr;
    RegCreateKeyA(HKEY_LOCAL_MACHINE, "Bench", &top);
    keys = 1 + CreateTree(top, 10, depth);
    RegCloseKey(top);
    if (!DeleteTree(HKEY_LOCAL_MACHINE, "Bench")) std::fprintf(stderr, "deletion failed\n");
    if (cpuSeconds) *cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_Tree(benchmark::State& state)
{
    TemporaryMachine machine;
    std::int64_t keys = 0;
    for (auto _ : state) {
        double seconds = TreeSeconds(static_cast<int>(state.range(0)), keys);
        state.SetIterationTime(seconds);
    }
    state.counters["keys"] = static_cast<double>(keys);
    state.counters["keys_per_second"] =
        benchmark::Counter(static_cast<double>(keys) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Tree)->Arg(4)->Arg(5)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_WideKey(benchmark::State& state)
{
    TemporaryMachine machine;
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        HKEY wide = nullptr;
        RegCreateKeyA(HKEY_LOCAL_MACHINE, "Wide", &wide);
        char name[16];
        for (int i = 0; i < count; ++i) {
            std::snprintf(name, sizeof name, "s%05d", i);
            HKEY child = nullptr;
            RegCreateKeyA(wide, name, &child);
            RegCloseKey(child);
        }
        RegCloseKey(wide);
        DeleteTree(HKEY_LOCAL_MACHINE, "Wide");
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["keys_per_second"] = benchmark::Counter(
        static_cast<double>(count + 1) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WideKey)->Arg(50000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// Both trees on one machine, so the ratio compares like with like.
void BM_TreeScaling(benchmark::State& state)
{
    TemporaryMachine machine;
    double ratio = 0;
    double cpuRatio = 0;
    for (auto _ : state) {
        std::int64_t smallKeys = 0, largeKeys = 0;
        double smallCpu = 0, largeCpu = 0;
        double small = TreeSeconds(4, smallKeys, &smallCpu);
        double large = TreeSeconds(5, largeKeys, &largeCpu);
        ratio = large / small;
        cpuRatio = largeCpu / smallCpu;
        state.SetIterationTime(small + large);
    }
    state.counters["time_ratio_111110_to_11110"] = ratio;
    state.counters["cpu_time_ratio_111110_to_11110"] = cpuRatio;
}
BENCHMARK(BM_TreeScaling)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
