#pragma once

// Files a tool writes whole or not at all, so that a run killed at any moment, or a machine
// that goes down, never leaves a file under its final name that is only part written; and a
// lock that keeps two runs, on one machine or on several sharing a folder, off one file.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

// What went wrong, in words for the user ("No space left on device"); empty on success.
using FileError = std::string;

// Writes `bytes` to a temporary name beside `path`, flushes it to the disk, then renames it
// to `path` (replacing what was there) and flushes the folder. On failure nothing is left.
FileError WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes);

// The same, but never replaces a file already at `path`: `existed` says whether one was.
FileError CreateWholeFileOnce(const std::string& path, std::span<const uint8_t> bytes,
                              bool& existed);

// The file's bytes, or nothing when it cannot be read or is larger than `most`.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path, uint64_t most);

// Whether anything at all is at `path`.
bool PathExists(const std::string& path);

// The folder made when missing (its parent must exist); an error when it cannot be used.
FileError MakeFolder(const std::string& path);

// The names in a folder, without "." and "..", sorted; nothing when it cannot be read.
std::optional<std::vector<std::string>> ListFolder(const std::string& path);

// An exclusive lock held on a lock file for as long as the object lives. The lock file is
// never removed: a later run or a requeued task takes the same file again.
class FileLock {
  public:
    // `wait`: block until the lock is free; otherwise give up at once when it is taken.
    // Nothing when it is taken (and not waited for) or the file cannot be made; `error`
    // tells the latter.
    static std::optional<FileLock> Take(const std::string& path, bool wait, FileError& error);

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

  private:
    explicit FileLock(intptr_t handle) : handle_(handle) {}
    intptr_t handle_;
};

}  // namespace platform
