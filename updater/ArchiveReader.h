// A thin extraction layer over minizip: entry descriptions with Windows attributes and file times, a base folder
// that every written file stays inside, folder creation and file writing. Worker thread; one thread per reader.
#pragma once

#include <string>
#include <vector>

#include "updater/ArchiveEntry.h"

// Result codes of the layer; 0 is success.
constexpr int kArchiveOpenOrCreateFailed = 0x200;
constexpr int kArchiveWriteFailed = 0x400;
constexpr int kArchiveHeaderMismatch = 0x700;
constexpr int kArchiveExtraReadFailed = 0x800;
constexpr int kArchiveEncrypted = 0x1000;
constexpr int kArchiveIndexOutOfRange = 0x10000;
constexpr int kArchiveAlreadyOpen = 0x1000000;
constexpr int kArchiveDataFailed = 0x5000000;

class ArchiveReader {
public:
    ArchiveReader();
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    // Opens the archive for shared reading and reads its directory; the base folder becomes the current folder.
    int Open(const std::wstring& archivePath);
    int SetBaseFolder(const std::wstring& folder);
    // Index -1 describes the archive: its index field holds the number of entries.
    int GetEntry(int index, ArchiveEntry& entry);
    // Writes the entry under the name, relative to the base folder. Names that would leave the base folder once
    // resolved, device names and paths through reparse points are refused with kArchiveOpenOrCreateFailed.
    int ExtractEntry(int index, const std::wstring& name);
    int Close();

private:
    int PositionOn(int index);
    void CloseEntryData();
    int WriteEntryData(const std::wstring& path, unsigned attributes, const ArchiveEntry& entry,
                       unsigned long disposition);
    // Creates the folders of the relative path below the base; every existing one must resolve to where its name
    // says, so no link inside the base folder is followed.
    bool EnsureFolders(const std::wstring& base, const std::wstring& resolvedBase, const std::wstring& relative);

    void* m_archive = nullptr; // unzFile
    int m_count = 0;
    int m_currentIndex = -1;   // minizip's current entry, -1 when it has none
    int m_reachableLimit = -1; // the first index the directory could not reach, -1 while unknown
    bool m_entryDataOpen = false;
    ArchiveEntry m_cachedEntry;
    int m_cachedIndex = -1;
    bool m_cachedNameFits = false;
    std::vector<char> m_buffer;
    std::wstring m_baseFolder;
};
