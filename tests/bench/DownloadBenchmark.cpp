// download-benchmark <url> <file> [rounds]: times DownloadToFile on one resource and prints each round and the
// median in seconds. tests/bench/download_benchmark.sh runs it beside curl on the same file. Not run by the tests.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "updater/WebFetcher.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: download-benchmark <url> <file> [rounds]\n");
        return 2;
    }
    const std::string url = argv[1], file = argv[2];
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    std::vector<double> seconds;
    for (int round = 0; round < rounds; ++round) {
        WebFetcher fetcher;
        const auto start = std::chrono::steady_clock::now();
        const int result = fetcher.DownloadToFile(std::wstring(url.begin(), url.end()),
                                                  std::wstring(file.begin(), file.end()), nullptr);
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (result != kFetchDone) {
            std::fprintf(stderr, "DownloadToFile returned %d\n", result);
            return 1;
        }
        std::printf("%.3f\n", seconds.back());
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("median %.3f\n", seconds[seconds.size() / 2]);
    return 0;
}
