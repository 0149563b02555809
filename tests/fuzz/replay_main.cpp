// The fuzz targets in the unit-test build, with any compiler: each seed of the target's corpus
// once, then mutants of them for a few seconds (bit flips, poison floats such as NaN, infinity
// and 1e38, cuts and growths). The sanitizers of the build catch what the checks do not; an
// input that stops the run is written to "crash-<target>" in the working directory.
//
//   NAME_replay SECONDS CORPUS_DIR...   (VZ_FUZZ_SEED picks another sequence of mutants)
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The hook lives in the sanitizer runtime, which a build without sanitizers does not link, even
// where the header is installed.
#if defined(__SANITIZE_ADDRESS__)
#define VZ_UNDER_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VZ_UNDER_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(VZ_UNDER_ADDRESS_SANITIZER) && defined(__has_include)
#if __has_include(<sanitizer/common_interface_defs.h>)
#include <sanitizer/common_interface_defs.h>
#define VZ_HAVE_SANITIZER_CALLBACK 1
#endif
#endif

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<uint8_t> gCurrent;
std::string gCrashFile;

void WriteCurrentInput() {
    FILE* f = std::fopen(gCrashFile.c_str(), "wb");
    if (f == nullptr) return;
    std::fwrite(gCurrent.data(), 1, gCurrent.size(), f);
    std::fclose(f);
    const char note[] = "replay: the input that stopped the run is in ";
    (void)!write(2, note, sizeof note - 1);
    (void)!write(2, gCrashFile.c_str(), gCrashFile.size());
    (void)!write(2, "\n", 1);
}

void OnSignal(int signal) {
    WriteCurrentInput();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

struct Random {
    uint64_t state;
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return uint32_t(state >> 16);
    }
    uint32_t Below(uint32_t n) { return n == 0 ? 0 : Next() % n; }
};

const uint32_t kPoison[] = {0x7FC00000u,
                            0x7F800000u,
                            0xFF800000u,
                            0x7E967699u /* 1e38 */,
                            0xFE967699u,
                            0x00000000u,
                            0x42B40001u /* just above 90 */,
                            0x0000FFFFu,
                            0xFFFFFFFFu,
                            0x80000000u,
                            0x43480000u /* 200 */};

void Mutate(std::vector<uint8_t>& input, Random& random) {
    const uint32_t changes = 1 + random.Below(4);
    for (uint32_t i = 0; i < changes; ++i) {
        const uint32_t size = uint32_t(input.size());
        switch (random.Below(6)) {
        case 0:
            if (size > 0) input[random.Below(size)] ^= uint8_t(1u << random.Below(8));
            break;
        case 1:
            if (size > 0) input[random.Below(size)] = uint8_t(random.Next());
            break;
        case 2:
            if (size >= 4) {
                const uint32_t word = kPoison[random.Below(sizeof kPoison / sizeof kPoison[0])];
                std::memcpy(&input[random.Below(size / 4) * 4], &word, 4);
            }
            break;
        case 3:
            input.resize(random.Below(size + 1));
            break;
        case 4: {
            const uint32_t grow = 1 + random.Below(64);
            for (uint32_t k = 0; k < grow; ++k)
                input.insert(input.begin() + random.Below(uint32_t(input.size()) + 1),
                             uint8_t(random.Next()));
            break;
        }
        default:
            if (size > 1) {
                const uint32_t from = random.Below(size), to = random.Below(size);
                const uint32_t n = random.Below(size - (from > to ? from : to)) + 1;
                std::memmove(&input[to], &input[from], n);
            }
            break;
        }
    }
}

void Run(const std::vector<uint8_t>& input) {
    gCurrent = input;
    LLVMFuzzerTestOneInput(gCurrent.data(), gCurrent.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SECONDS CORPUS_DIR...\n", argv[0]);
        return 2;
    }
    const double seconds = std::atof(argv[1]);
    gCrashFile = "crash-" + std::filesystem::path(argv[0]).filename().string();
    for (int s : {SIGILL, SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGTRAP})
        std::signal(s, OnSignal);
#ifdef VZ_HAVE_SANITIZER_CALLBACK
    __sanitizer_set_death_callback(WriteCurrentInput);
#endif

    std::vector<std::vector<uint8_t>> seeds;
    for (int i = 2; i < argc; ++i) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(argv[i], error)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream file(entry.path(), std::ios::binary);
            seeds.emplace_back(std::istreambuf_iterator<char>(file),
                               std::istreambuf_iterator<char>());
        }
    }
    if (seeds.empty()) {
        std::fprintf(stderr, "replay: no seeds\n");
        return 2;
    }
    for (const auto& seed : seeds)
        Run(seed);

    const char* seedText = std::getenv("VZ_FUZZ_SEED");
    Random random{seedText != nullptr ? std::strtoull(seedText, nullptr, 10) | 1
                                      : 0x9E3779B97F4A7C15u};
    const auto start = std::chrono::steady_clock::now();
    uint64_t runs = seeds.size();
    std::vector<uint8_t> input;
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() <
           seconds) {
        for (int batch = 0; batch < 64; ++batch) {
            // Mostly fresh mutants of a seed, sometimes a mutant of the last mutant.
            if (input.empty() || random.Below(4) != 0)
                input = seeds[random.Below(uint32_t(seeds.size()))];
            Mutate(input, random);
            Run(input);
            ++runs;
        }
    }
    std::printf("replay: %llu inputs (%zu seeds) in %.1f s, no failure\n",
                static_cast<unsigned long long>(runs), seeds.size(), seconds);
    return 0;
}
