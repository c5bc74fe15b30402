// Unpacks every entry of a zip archive into a folder. Worker thread.
#pragma once

#include <string>

// True when the archive could be opened. Entries that fail are skipped silently; the rest are still written.
bool ExtractArchive(const std::wstring& archivePath, const std::wstring& folder);
