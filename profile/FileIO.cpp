#include "FileIO.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <iterator>

namespace {
UniqueFileHandle OpenShared(const std::wstring& path) {
    return UniqueFileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}
}  // namespace

UniqueFileHandle OpenForReading(const std::wstring& path, DWORD& error) {
    UniqueFileHandle file;
    error = RetryWhileHeld(path, [&] {
        file = OpenShared(path);
        return file ? ERROR_SUCCESS : GetLastError();
    });
    return file;
}

FileRead ReadWholeFile(const std::wstring& path) {
    FileRead result;
    // A range that another program locked (LockFileEx) fails the read, not the open
    // (ERROR_LOCK_VIOLATION): the open and the read are waited out together.
    result.error = RetryWhileHeld(path, [&] {
        result.bytes.clear();
        const UniqueFileHandle file = OpenShared(path);
        if (!file) return GetLastError();
        char chunk[64 * 1024];
        DWORD got = 0;
        while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) {
            if (got == 0) return static_cast<DWORD>(ERROR_SUCCESS);
            result.bytes.append(chunk, got);
        }
        return GetLastError();
    });
    if (result.error != ERROR_SUCCESS) result.bytes.clear();
    return result;
}

DWORD CreateEmptyFile(const std::wstring& path) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    return file ? ERROR_SUCCESS : GetLastError();
}

namespace {
DWORD WriteAndFlush(const std::wstring& path, const std::string& bytes) {
    DWORD error = ERROR_SUCCESS;
    const UniqueFileHandle file = CreateTemporaryFile(path, error);
    if (!file) return error;
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

DWORD LastErrorUnless(BOOL succeeded) { return succeeded ? ERROR_SUCCESS : GetLastError(); }
}  // namespace

DWORD ReplaceFileContents(const std::wstring& path, const std::string& bytes) {
    // Not ReplaceFileW: some platforms move the old file away before the new one is in place.
    // No FileLock: the files written this way have one writer each (Mods.cfg, the one Varpick of
    // its folder; a shortcut, the user's own click).
    const std::wstring temporary = TemporaryFileFor(path);
    DWORD error = WriteAndFlush(temporary, bytes);
    if (error == ERROR_SUCCESS) error = MoveIntoPlace(temporary, path);
    if (error != ERROR_SUCCESS) RemoveTemporaryFile(temporary);
    return error;
}

std::wstring TemporaryFileFor(const std::wstring& path) { return path + L".tmp"; }

DWORD MoveIntoPlace(const std::wstring& temporary, const std::wstring& path) {
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    // Windows refuses a rename over a read-only file; Wine would replace it.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kKept)) {
        const DWORD error = RetryWhileHeld(temporary, [&] {
            return LastErrorUnless(
                SetFileAttributesW(temporary.c_str(), attributes & (kKept | FILE_ATTRIBUTE_ARCHIVE)));
        });
        if (error != ERROR_SUCCESS) return error;
    }
    // MOVEFILE_WRITE_THROUGH returns once the rename is done, not once the folder's entry reached
    // the disk: after a power cut the old file may come back, but never a damaged one. A scanner
    // that opened either file without delete sharing refuses the rename while it holds it.
    return RetryWhileHeld(path, [&] {
        return LastErrorUnless(
            MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    });
}

UniqueFileHandle CreateTemporaryFile(const std::wstring& temporary, DWORD& error) {
    // Windows refuses CREATE_ALWAYS with ERROR_ACCESS_DENIED on a hidden or system file unless the
    // same attributes are asked for, and on a read-only one always; a leftover took the old
    // file's attributes in MoveIntoPlace. Wine lets such an open succeed.
    const DWORD attributes = GetFileAttributesW(temporary.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY)))
        SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    UniqueFileHandle file;
    error = RetryWhileHeld(temporary, [&] {
        file.reset(
            CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file ? ERROR_SUCCESS : GetLastError();
    });
    return file;
}

DWORD RetryWhileHeld(const std::wstring& path, const std::function<DWORD()>& step) {
    // Virus checkers, the search indexer and cloud sync open every new or changed file for a few
    // milliseconds, without delete sharing, some without any: a rename, delete or open meets
    // ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION or ERROR_ACCESS_DENIED (a file pending
    // deletion) until they let go, and a write over a file they map ERROR_USER_MAPPED_FILE.
    // Access is denied for good on a folder, on a read-only file, and where there is no file (the
    // folder refuses new ones; a file pending deletion is denied even to this look): no hold to
    // wait out.
    constexpr DWORD kPatienceMs = 2000;
    DWORD waited = 0, pause = 10, error;
    while ((error = step()) == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED || error == ERROR_USER_MAPPED_FILE) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        const bool absent = attributes == INVALID_FILE_ATTRIBUTES && GetLastError() != ERROR_ACCESS_DENIED;
        if (waited >= kPatienceMs ||
            (error == ERROR_ACCESS_DENIED &&
             (absent || (attributes != INVALID_FILE_ATTRIBUTES &&
                         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))))))
            break;
        Sleep(pause);
        waited += pause;
        pause = std::min<DWORD>(pause * 2, 250);
    }
    return error;
}

void RemoveTemporaryFile(const std::wstring& temporary) {
    RetryWhileHeld(temporary, [&] {
        return DeleteFileW(temporary.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS
                                                                                        : GetLastError();
    });
}

FileLock::FileLock(const std::wstring& path)
    : mutex_(CreateMutexW(nullptr, FALSE, PathObjectName(L"Varmoth-file", path).c_str())) {
    // Abandoned: the last holder died mid-replacement, and its temporary file is overwritten.
    const DWORD waited = mutex_ ? WaitForSingleObject(mutex_.get(), 10000) : WAIT_FAILED;
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

FileLock::~FileLock() {
    if (held_) ReleaseMutex(mutex_.get());
}

std::wstring PathObjectName(const wchar_t* prefix, std::wstring path) {
    // No backslashes, which a name may not hold; the same for any spelling of the path's case.
    CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (wchar_t c : path) hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211ull;
    wchar_t name[96];
    std::swprintf(name, 96, L"Local\\%ls-%016llx", prefix, static_cast<unsigned long long>(hash));
    return name;
}

std::wstring FolderObjectName(const wchar_t* prefix, const std::wstring& folder) {
    // Its attributes only, every sharing allowed: the open keeps nobody from anything. A folder
    // opens only with FILE_FLAG_BACKUP_SEMANTICS.
    UniqueFileHandle handle(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return PathObjectName(prefix, folder);
    // The 128-bit id first: on ReFS the 64-bit file index need not be unique. Systems before
    // Windows 8 do not have it. An id of all zeros (a file system without ids) or of all ones
    // ("cannot be established", as some network and WebDAV volumes answer) is no identity.
    const auto noIdentity = [](const BYTE* first, const BYTE* last) {
        return std::all_of(first, last, [](BYTE b) { return b == 0; }) ||
               std::all_of(first, last, [](BYTE b) { return b == 0xFF; });
    };
    FILE_ID_INFO id = {};
    const auto bytes = std::begin(id.FileId.Identifier), end = std::end(id.FileId.Identifier);
    if (!GetFileInformationByHandleEx(handle.get(), FileIdInfo, &id, sizeof id) || noIdentity(bytes, end)) {
        BY_HANDLE_FILE_INFORMATION information;
        if (!GetFileInformationByHandle(handle.get(), &information)) return PathObjectName(prefix, folder);
        const std::uint64_t index = (std::uint64_t(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
        const auto* indexBytes = reinterpret_cast<const BYTE*>(&index);
        if (noIdentity(indexBytes, indexBytes + sizeof index)) return PathObjectName(prefix, folder);
        id = {information.dwVolumeSerialNumber, {}};
        std::copy_n(reinterpret_cast<const BYTE*>(&index), sizeof index, bytes);
    }
    wchar_t name[128];
    int length = std::swprintf(name, 128, L"Local\\%ls-%016llx-", prefix,
                               static_cast<unsigned long long>(id.VolumeSerialNumber));
    for (auto byte = bytes; byte != end && length > 0; ++byte)
        length += std::swprintf(name + length, 128 - length, L"%02x", *byte);
    return name;
}
