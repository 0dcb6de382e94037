// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
//
// Runs a fuzz target's LLVMFuzzerTestOneInput once over every file given, or every file in the
// directories given (a missing directory counts as empty), without libFuzzer: the regular
// build replays the seed corpus and every input a fuzzer ever found this way. A finding
// aborts (or trips the sanitizers in a sanitizer build).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            for (const auto& entry : std::filesystem::directory_iterator(path))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else if (std::filesystem::exists(path, error)) {
            files.push_back(path);
        }
    }
    for (const std::filesystem::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<char> bytes { std::istreambuf_iterator<char>(in),
            std::istreambuf_iterator<char>() };
        std::fprintf(stderr, "%s (%zu bytes)\n", file.c_str(), bytes.size());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs replayed\n", files.size());
    return 0;
}
