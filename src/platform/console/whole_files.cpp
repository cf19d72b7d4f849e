#include "platform/console/whole_files.h"

#include <algorithm>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace platform {

namespace {

// A name beside `path` that no other run, on this machine or another, picks at the same time.
std::string TemporaryNameFor(const std::string& path) {
    std::random_device random;
    const uint64_t tag = (uint64_t{random()} << 32) ^ random();
    char hex[17];
    for (int i = 0; i < 16; ++i) {
        hex[i] = "0123456789abcdef"[(tag >> (60 - 4 * i)) & 15];
    }
    hex[16] = '\0';
    return path + ".tmp-" + hex;
}

#ifdef _WIN32

FileError LastError() {
    return std::system_category().message(static_cast<int>(GetLastError()));
}

FileError WriteTemporary(const std::string& temporary, std::span<const uint8_t> bytes) {
    const HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    FileError error;
    for (std::size_t done = 0; done < bytes.size() && error.empty();) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 24));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            error = LastError();
        }
        done += written;
    }
    if (error.empty() && !FlushFileBuffers(file)) {
        error = LastError();
    }
    if (!CloseHandle(file) && error.empty()) {
        error = LastError();
    }
    if (!error.empty()) {
        DeleteFileA(temporary.c_str());
    }
    return error;
}

// Puts the temporary in place; `replace` an existing file or report it in `existed`.
FileError MoveInPlace(const std::string& temporary, const std::string& path, bool replace,
                      bool& existed) {
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (MoveFileExA(temporary.c_str(), path.c_str(), flags)) {
        return {};
    }
    const DWORD code = GetLastError();
    DeleteFileA(temporary.c_str());
    if (!replace && (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)) {
        existed = true;
        return {};
    }
    return std::system_category().message(static_cast<int>(code));
}

#else

FileError LastError() {
    return std::generic_category().message(errno);
}

FileError WriteTemporary(const std::string& temporary, std::span<const uint8_t> bytes) {
    const int file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (file < 0) {
        return LastError();
    }
    FileError error;
    for (std::size_t done = 0; done < bytes.size() && error.empty();) {
        const ssize_t written = write(file, bytes.data() + done, bytes.size() - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
        } else if (written == 0 || errno != EINTR) {
            error = written == 0 ? "nothing could be written" : LastError();
        }
    }
    if (error.empty() && fsync(file) != 0) {
        error = LastError();
    }
    if (close(file) != 0 && error.empty()) {
        error = LastError();
    }
    if (!error.empty()) {
        unlink(temporary.c_str());
    }
    return error;
}

// A rename is only lasting once the folder that holds the name is on the disk too.
FileError FlushFolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int handle = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) {
        return LastError();
    }
    FileError error = fsync(handle) == 0 || errno == EINVAL ? FileError{} : LastError();
    close(handle);
    return error;
}

FileError MoveInPlace(const std::string& temporary, const std::string& path, bool replace,
                      bool& existed) {
    // link() never replaces, so of two runs creating one file at once exactly one wins.
    const int moved =
        replace ? rename(temporary.c_str(), path.c_str()) : link(temporary.c_str(), path.c_str());
    const int code = errno;
    if (!replace || moved != 0) {
        unlink(temporary.c_str());
    }
    if (moved != 0) {
        if (!replace && code == EEXIST) {
            existed = true;
            return {};
        }
        return std::generic_category().message(code);
    }
    return FlushFolderOf(path);
}

#endif

FileError WriteThenMove(const std::string& path, std::span<const uint8_t> bytes, bool replace,
                        bool& existed) {
    existed = false;
    const std::string temporary = TemporaryNameFor(path);
    if (FileError error = WriteTemporary(temporary, bytes); !error.empty()) {
        return error;
    }
    return MoveInPlace(temporary, path, replace, existed);
}

}  // namespace

FileError WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes) {
    bool existed = false;
    return WriteThenMove(path, bytes, true, existed);
}

FileError CreateWholeFileOnce(const std::string& path, std::span<const uint8_t> bytes,
                              bool& existed) {
    return WriteThenMove(path, bytes, false, existed);
}

#ifdef _WIN32

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path, uint64_t most) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    LARGE_INTEGER size{};
    std::optional<std::vector<uint8_t>> bytes;
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) &&
        static_cast<uint64_t>(size.QuadPart) <= most) {
        bytes.emplace(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        if (!bytes->empty() &&
            (!ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) ||
             read != bytes->size())) {
            bytes.reset();
        }
    }
    CloseHandle(file);
    return bytes;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileError MakeFolder(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return {};
        }
        return "not a folder";
    }
    return LastError();
}

std::optional<std::vector<std::string>> ListFolder(const std::string& path) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<FileLock> FileLock::Take(const std::string& path, bool wait, FileError& error) {
    error.clear();
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = LastError();
        return std::nullopt;
    }
    OVERLAPPED whole{};
    const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
    if (!LockFileEx(file, flags, 0, 1, 0, &whole)) {
        if (GetLastError() != ERROR_LOCK_VIOLATION) {
            error = LastError();
        }
        CloseHandle(file);
        return std::nullopt;
    }
    return FileLock(reinterpret_cast<intptr_t>(file));
}

FileLock::~FileLock() {
    if (handle_ != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(handle_));  // closing releases the lock
    }
}

#else

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path, uint64_t most) {
    // Opened without waiting and checked as opened: a named pipe in its place never stalls.
    const int file = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) {
        return std::nullopt;
    }
    struct stat about {};
    std::optional<std::vector<uint8_t>> bytes;
    if (fstat(file, &about) == 0 && S_ISREG(about.st_mode) &&
        static_cast<uint64_t>(about.st_size) <= most) {
        bytes.emplace(static_cast<std::size_t>(about.st_size));
        std::size_t done = 0;
        while (done < bytes->size()) {
            const ssize_t got = read(file, bytes->data() + done, bytes->size() - done);
            if (got > 0) {
                done += static_cast<std::size_t>(got);
            } else if (got == 0 || errno != EINTR) {
                break;
            }
        }
        if (done != bytes->size()) {
            bytes.reset();  // shorter than it said: written to while read
        }
    }
    close(file);
    return bytes;
}

bool PathExists(const std::string& path) {
    struct stat about {};
    return lstat(path.c_str(), &about) == 0;
}

FileError MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
        return LastError();
    }
    struct stat about {};
    if (stat(path.c_str(), &about) != 0) {
        return LastError();
    }
    return S_ISDIR(about.st_mode) ? FileError{} : "not a folder";
}

std::optional<std::vector<std::string>> ListFolder(const std::string& path) {
    DIR* folder = opendir(path.c_str());
    if (folder == nullptr) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    while (const dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    closedir(folder);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<FileLock> FileLock::Take(const std::string& path, bool wait, FileError& error) {
    error.clear();
    const int file = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (file < 0) {
        error = LastError();
        return std::nullopt;
    }
    // flock() locks are the process's own, and work between the hosts of a network folder
    // on Linux's NFS; two locks in one process on one file also exclude each other.
    int locked = 0;
    while ((locked = flock(file, LOCK_EX | (wait ? 0 : LOCK_NB))) != 0 && errno == EINTR) {
    }
    if (locked != 0) {
        if (errno != EWOULDBLOCK) {
            error = LastError();
        }
        close(file);
        return std::nullopt;
    }
    return FileLock(file);
}

FileLock::~FileLock() {
    if (handle_ != -1) {
        close(static_cast<int>(handle_));  // closing releases the lock
    }
}

#endif

FileLock::FileLock(FileLock&& other) noexcept : handle_(other.handle_) {
    other.handle_ = -1;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
}

}  // namespace platform
