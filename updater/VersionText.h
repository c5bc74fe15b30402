// Version documents of the update server: splitting, comparing and accepting them. Platform-free; called on the
// worker thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Empty parts remain: "1..2" gives three parts, "" one empty part.
std::vector<std::wstring> SplitText(const std::wstring& text, const std::wstring& separator);

// -1 local newer, 0 equal, 1 remote newer, 2 the texts have different numbers of parts.
int CompareVersions(const std::wstring& local, const std::wstring& remote);

// A version document is used only when its body is 1 to 10 UTF-16 code units long.
bool IsAcceptedVersionDocument(const std::wstring& body);

// Reads like the C library's wcstol in base 10: leading blanks, a sign, digits up to the first non-digit; no digits
// read as 0. Values beyond 32 bits saturate.
long ReadDecimal(const std::wstring& text);

// The display reports 0x0102 for release 102: its hex digits read back as a decimal number, up to the first letter.
bool FirmwareIsNewer(std::uint16_t displayVersion, const std::wstring& document);

// The version text becomes part of file names in the work folder; anything that could leave that folder or is not
// valid in a file name is refused.
bool IsUsableInFileName(const std::wstring& version);
