// extract-benchmark <archive.zip> <scratch folder> [rounds]: times ExtractArchive against minizip's own example
// extractor, miniunz (linked in from the same pinned sources), on the same archive, alternating the two, and prints
// the median of each and their ratio. Not run by the tests.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "updater/ExtractArchive.h"

extern "C" int miniunz_main(int argc, char** argv);

namespace {

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// Files and bytes below a folder, to show both extractors wrote the whole archive.
void Count(const std::wstring& folder, long& files, long long& bytes) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Count(folder + L"\\" + name, files, bytes);
        } else {
            ++files;
            bytes += static_cast<long long>(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename Action> double Seconds(Action action) {
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: extract-benchmark <archive.zip> <scratch folder> [rounds]\n");
        return 2;
    }
    const std::string archive = argv[1];
    const std::string scratch = argv[2];
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    const std::wstring wideArchive(archive.begin(), archive.end());
    const std::wstring wideScratch(scratch.begin(), scratch.end());
    CreateDirectoryW(wideScratch.c_str(), nullptr);
    char startFolder[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, startFolder);

    std::vector<double> ours, theirs;
    for (int round = 0; round < rounds; ++round) {
        const std::wstring oursFolder = wideScratch + L"\\ours";
        const std::string theirsFolder = scratch + "\\miniunz";
        RemoveTree(oursFolder);
        RemoveTree(std::wstring(theirsFolder.begin(), theirsFolder.end()));
        CreateDirectoryA(theirsFolder.c_str(), nullptr);

        ours.push_back(Seconds([&] {
            if (!ExtractArchive(wideArchive, oursFolder)) {
                std::fprintf(stderr, "ExtractArchive could not open the archive\n");
            }
        }));
        theirs.push_back(Seconds([&] {
            std::string a0 = "miniunz", a1 = "-x", a2 = "-o", a3 = archive, a4 = "-d", a5 = theirsFolder;
            char* args[] = {a0.data(), a1.data(), a2.data(), a3.data(), a4.data(), a5.data(), nullptr};
            // miniunz changes into the target folder and prints every file it writes.
            FILE* quiet = freopen("NUL", "w", stdout);
            (void)quiet;
            miniunz_main(6, args);
            fflush(stdout);
            freopen("CON", "w", stdout);
            SetCurrentDirectoryA(startFolder);
        }));
        long oursFiles = 0, theirsFiles = 0;
        long long oursBytes = 0, theirsBytes = 0;
        Count(oursFolder, oursFiles, oursBytes);
        Count(std::wstring(theirsFolder.begin(), theirsFolder.end()), theirsFiles, theirsBytes);
        std::fprintf(
            stderr, "round %d: ExtractArchive %.3f s (%ld files, %lld bytes), miniunz %.3f s (%ld files, %lld bytes)\n",
            round + 1, ours.back(), oursFiles, oursBytes, theirs.back(), theirsFiles, theirsBytes);
    }
    const double a = Median(ours), b = Median(theirs);
    std::fprintf(stderr, "median of %d: ExtractArchive %.3f s, miniunz %.3f s, ratio ExtractArchive/miniunz %.2f\n",
                 rounds, a, b, a / b);
    return 0;
}
