#include "updater/ArchiveEntry.h"

#include <algorithm>
#include <climits>
#include <cwctype>

namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000ULL;
constexpr std::int64_t kDaysFrom1601To1970 = 134774;

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

unsigned DaysInMonth(unsigned year, unsigned month) {
    static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

bool IsReservedDeviceName(std::wstring part) {
    // Windows ignores everything from the first dot and trailing blanks when it matches device names.
    const std::size_t dot = part.find(L'.');
    if (dot != std::wstring::npos) {
        part.resize(dot);
    }
    while (!part.empty() && part.back() == L' ') {
        part.pop_back();
    }
    for (auto& c : part) {
        c = static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(c)));
    }
    if (part == L"CON" || part == L"PRN" || part == L"AUX" || part == L"NUL" || part == L"CONIN$" ||
        part == L"CONOUT$") {
        return true;
    }
    return part.size() == 4 && (part.compare(0, 3, L"COM") == 0 || part.compare(0, 3, L"LPT") == 0) &&
           part[3] >= L'0' && part[3] <= L'9';
}

std::uint32_t ReadLittle32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

int ClampSize(std::uint64_t size) {
    return size > INT_MAX ? INT_MAX : static_cast<int>(size);
}

} // namespace

std::wstring SanitiseEntryName(std::wstring name) {
    static const wchar_t* const parentSteps[] = {L"\\..\\", L"\\../", L"/../", L"/..\\"};
    for (;;) {
        if (name.size() >= 2 && name[1] == L':') {
            name.erase(0, 2);
            continue;
        }
        if (!name.empty() && IsSeparator(name[0])) {
            name.erase(0, 1);
            continue;
        }
        bool dropped = false;
        for (const wchar_t* step : parentSteps) {
            const std::size_t found = name.find(step);
            if (found != std::wstring::npos) {
                name.erase(0, found + 4);
                dropped = true;
                break;
            }
        }
        if (!dropped) {
            return name;
        }
    }
}

bool IsUnsafeEntryName(const std::wstring& name) {
    if (name.find(L':') != std::wstring::npos) {
        return true;
    }
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) {
            ++end;
        }
        const std::wstring part = name.substr(start, end - start);
        // Windows drops trailing dots and blanks, so ". ." and "..." are parent steps too.
        std::wstring trimmed = part;
        while (!trimmed.empty() && (trimmed.back() == L'.' || trimmed.back() == L' ')) {
            trimmed.pop_back();
        }
        if (trimmed.empty() && !part.empty() && part != L".") {
            return true;
        }
        if (!part.empty() && IsReservedDeviceName(part)) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

unsigned MapEntryAttributes(std::uint32_t versionMadeBy, std::uint32_t externalAttributes) {
    const std::uint32_t host = (versionMadeBy >> 8) & 0xFF;
    if (host == 0 || host == 7 || host == 11 || host == 14) {
        return externalAttributes &
               (kAttributeReadOnly | kAttributeHidden | kAttributeSystem | kAttributeDirectory | kAttributeArchive);
    }
    unsigned attributes = kAttributeArchive;
    if (externalAttributes & (1U << 30)) {
        attributes |= kAttributeDirectory;
    }
    if ((externalAttributes & (1U << 23)) == 0) {
        attributes |= kAttributeReadOnly;
    }
    return attributes;
}

std::optional<std::uint64_t> DosDateTimeToLocalFileTime(std::uint32_t dosDateTime) {
    const std::uint32_t date = dosDateTime >> 16;
    const std::uint32_t time = dosDateTime & 0xFFFF;
    const unsigned year = 1980 + (date >> 9);
    const unsigned month = (date >> 5) & 15;
    const unsigned day = date & 31;
    const unsigned hour = time >> 11;
    const unsigned minute = (time >> 5) & 63;
    const unsigned second = 2 * (time & 31);
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 || minute > 59 ||
        second > 59) {
        return std::nullopt;
    }
    const std::int64_t days = DaysFromCivil(year, month, day) + kDaysFrom1601To1970;
    const std::uint64_t seconds = static_cast<std::uint64_t>(days) * 86400 + hour * 3600 + minute * 60 + second;
    return seconds * kTicksPerSecond;
}

std::uint64_t UnixTimeToFileTime(std::int32_t seconds) {
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(seconds) * static_cast<std::int64_t>(kTicksPerSecond) +
                                      static_cast<std::int64_t>(kFileTimeOfUnixEpoch));
}

ExtendedTimes ParseExtendedTimestamp(const std::uint8_t* extra, std::size_t size) {
    ExtendedTimes times;
    if (extra == nullptr) {
        return times;
    }
    std::size_t pos = 0;
    while (size - pos >= 5) {
        const unsigned tag = extra[pos] | extra[pos + 1] << 8;
        const std::size_t length = extra[pos + 2];
        if (tag == 0x5455) {
            const std::size_t recordEnd = std::min(size, pos + 4 + length);
            const unsigned flags = extra[pos + 4];
            std::size_t at = pos + 5;
            std::optional<std::uint64_t>* slots[] = {&times.modification, &times.access, &times.creation};
            for (int bit = 0; bit < 3; ++bit) {
                if ((flags & (1U << bit)) == 0) {
                    continue;
                }
                // A record that claims more times than it holds yields only the ones it holds.
                if (at + 4 > recordEnd) {
                    break;
                }
                *slots[bit] = UnixTimeToFileTime(static_cast<std::int32_t>(ReadLittle32(extra + at)));
                at += 4;
            }
            return times;
        }
        pos += 4 + length;
        if (pos > size) {
            break;
        }
    }
    return times;
}

bool DescribeEntry(const RawEntryInfo& raw, const std::uint8_t* localExtra, std::size_t localExtraSize,
                   const EntryPlatform& platform, ArchiveEntry& entry) {
    const std::wstring name = SanitiseEntryName(platform.decodeName(raw.name));
    const bool fits = raw.nameComplete && name.size() < static_cast<std::size_t>(kEntryNameLength) &&
                      name.find(L'\0') == std::wstring::npos;
    const std::size_t copied = std::min(name.size(), static_cast<std::size_t>(kEntryNameLength - 1));
    std::copy_n(name.begin(), copied, entry.name);
    entry.name[copied] = L'\0';

    entry.attributes = MapEntryAttributes(raw.versionMadeBy, raw.externalAttributes);

    std::uint64_t dosTime = 0;
    if (const auto local = DosDateTimeToLocalFileTime(raw.dosDateTime)) {
        if (const auto utc = platform.localToUtc(*local)) {
            dosTime = *utc;
        }
    }
    entry.accessTime = entry.creationTime = entry.modificationTime = dosTime;
    const ExtendedTimes times = ParseExtendedTimestamp(localExtra, localExtraSize);
    if (times.modification) {
        entry.modificationTime = *times.modification;
    }
    if (times.access) {
        entry.accessTime = *times.access;
    }
    if (times.creation) {
        entry.creationTime = *times.creation;
    }
    entry.compressedSize = ClampSize(raw.compressedSize);
    entry.uncompressedSize = ClampSize(raw.uncompressedSize);
    return fits;
}
