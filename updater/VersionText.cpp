#include "updater/VersionText.h"

#include <climits>

std::vector<std::wstring> SplitText(const std::wstring& text, const std::wstring& separator) {
    std::vector<std::wstring> parts;
    if (separator.empty()) {
        parts.push_back(text);
        return parts;
    }
    std::size_t start = 0;
    for (std::size_t found = text.find(separator, start); found != std::wstring::npos;
         found = text.find(separator, start)) {
        parts.push_back(text.substr(start, found - start));
        start = found + separator.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

long ReadDecimal(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > static_cast<long long>(INT32_MAX) + 1) {
            value = static_cast<long long>(INT32_MAX) + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT32_MAX) {
        value = INT32_MAX;
    }
    return static_cast<long>(value);
}

int CompareVersions(const std::wstring& local, const std::wstring& remote) {
    const auto localParts = SplitText(local, L".");
    const auto remoteParts = SplitText(remote, L".");
    if (localParts.size() != remoteParts.size()) {
        return 2;
    }
    for (std::size_t i = 0; i < localParts.size(); ++i) {
        const long a = ReadDecimal(localParts[i]);
        const long b = ReadDecimal(remoteParts[i]);
        if (a > b) {
            return -1;
        }
        if (a < b) {
            return 1;
        }
    }
    return 0;
}

bool IsAcceptedVersionDocument(const std::wstring& body) {
    std::size_t units = 0;
    for (wchar_t c : body) {
        // wchar_t holds whole code points on some hosts; count what UTF-16 would need.
        units += (static_cast<std::uint32_t>(c) >> 16) != 0 ? 2 : 1;
    }
    return units >= 1 && units <= 10;
}

bool FirmwareIsNewer(std::uint16_t displayVersion, const std::wstring& document) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring hex;
    unsigned value = displayVersion;
    do {
        hex.insert(hex.begin(), digits[value & 15]);
        value >>= 4;
    } while (value != 0);
    return ReadDecimal(hex) < ReadDecimal(document);
}

bool IsUsableInFileName(const std::wstring& version) {
    if (version.empty() || version == L"." || version == L"..") {
        return false;
    }
    for (wchar_t c : version) {
        if (c < 0x20 || c == 0x7F) {
            return false;
        }
        switch (c) {
        case L'\\':
        case L'/':
        case L':':
        case L'*':
        case L'?':
        case L'"':
        case L'<':
        case L'>':
        case L'|':
            return false;
        default:
            break;
        }
    }
    return true;
}
