#include "textCodec.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace kivhost {

namespace {

constexpr UINT messengerCodePage = 1250;

std::string convert(const std::string& text, UINT from, DWORD flags, UINT to, bool& ok) {
    ok = true;
    if (text.empty()) return text;
    int length = static_cast<int>(text.size());
    int wide = MultiByteToWideChar(from, flags, text.data(), length, nullptr, 0);
    if (wide <= 0) {
        ok = false;
        return text;
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(wide));
    MultiByteToWideChar(from, flags, text.data(), length, buffer.data(), wide);
    int narrow = WideCharToMultiByte(to, 0, buffer.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(narrow > 0 ? narrow : 0), '\0');
    if (narrow > 0) WideCharToMultiByte(to, 0, buffer.data(), wide, &result[0], narrow, nullptr, nullptr);
    return result;
}

}  // namespace

std::string toAnsi(const std::string& fileText) {
    bool ok = false;
    std::string converted = convert(fileText, CP_UTF8, MB_ERR_INVALID_CHARS, messengerCodePage, ok);
    return ok ? converted : fileText;
}

std::string toUtf8(const std::string& ansiText) {
    bool ok = false;
    return convert(ansiText, messengerCodePage, 0, CP_UTF8, ok);
}

void printLine(const std::string& ansiText) {
    std::string line = toUtf8(ansiText) + "\n";
    fwrite(line.data(), 1, line.size(), stdout);
    fflush(stdout);
}

bool readAnsiFile(const std::string& path, std::string& text, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    std::stringstream content;
    content << in.rdbuf();
    text = toAnsi(content.str());
    return true;
}

bool endsWithNoCase(const std::string& text, const std::string& tail) {
    if (text.size() < tail.size()) return false;
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str() + text.size() - tail.size(), -1,
                          tail.c_str(), -1) == CSTR_EQUAL;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace kivhost
