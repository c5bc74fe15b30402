// UTF-8 and UTF-16 at the edge of the platform-free code, which keeps paths and names as UTF-8. Windows only.
#pragma once

#include <string>
#include <string_view>

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);
