#include "FileIO.h"

#include <algorithm>

#include "../win32/UniqueHandle.h"

FileRead ReadWholeFile(const std::wstring& path) {
    FileRead result;
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        result.error = GetLastError();
        return result;
    }
    char chunk[64 * 1024];
    DWORD got = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) {
        if (got == 0) return result;
        result.bytes.append(chunk, got);
    }
    result.error = GetLastError();
    result.bytes.clear();
    return result;
}

DWORD CreateEmptyFile(const std::wstring& path) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    return file ? ERROR_SUCCESS : GetLastError();
}

namespace {
DWORD WriteAndFlush(const std::wstring& path, const std::string& bytes) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return GetLastError();
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD part = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, part, &written, nullptr)) return GetLastError();
        done += written;
    }
    if (!FlushFileBuffers(file.get())) return GetLastError();
    return ERROR_SUCCESS;
}
}  // namespace

DWORD ReplaceFileContents(const std::wstring& path, const std::string& bytes) {
    // Not ReplaceFileW: some platforms move the old file away before the new one is in place.
    const std::wstring temporary = path + L".tmp";
    DWORD error = WriteAndFlush(temporary, bytes);
    if (error == ERROR_SUCCESS &&
        !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != ERROR_SUCCESS) DeleteFileW(temporary.c_str());
    return error;
}
