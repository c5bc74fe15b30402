#include "updater/ExtractArchive.h"

#include "updater/ArchiveReader.h"

bool ExtractArchive(const std::wstring& archivePath, const std::wstring& folder) {
    ArchiveReader reader;
    if (reader.Open(archivePath) != 0) {
        return false;
    }
    reader.SetBaseFolder(folder);
    ArchiveEntry summary;
    reader.GetEntry(-1, summary);
    for (int i = 0; i < summary.index; ++i) {
        ArchiveEntry entry;
        const int result = reader.GetEntry(i, entry);
        // A directory that claims more entries than it holds ends here instead of stepping through billions of
        // missing ones.
        if (result == kArchiveIndexOutOfRange) {
            break;
        }
        if (result == 0) {
            reader.ExtractEntry(i, entry.name);
        }
    }
    reader.Close();
    return true;
}
