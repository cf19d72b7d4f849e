#include "platform/bmp/regular_file.h"

#if defined(_WIN32)
#include <filesystem>
#include <fstream>
#include <system_error>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace platform::bmp {

#if defined(_WIN32)

// Named pipes do not live among files on Windows: a path checked as a regular file stays one.
std::optional<std::vector<uint8_t>> ReadRegularFile(const char* file, uintmax_t maxBytes) {
    std::error_code error;
    const std::filesystem::path path(file);
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size == 0 || size > maxBytes) {
        return std::nullopt;
    }
    std::vector<uint8_t> data(static_cast<size_t>(size));
    std::ifstream stream(path, std::ios::binary);
    stream.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (stream.gcount() != static_cast<std::streamsize>(data.size())) {
        return std::nullopt;
    }
    return data;
}

#else

// Opened without waiting and checked through the open file, so that a named pipe put in the
// file's place after a check of the path cannot hold the game up.
std::optional<std::vector<uint8_t>> ReadRegularFile(const char* file, uintmax_t maxBytes) {
    const int fd = open(file, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat status {};
    std::optional<std::vector<uint8_t>> data;
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0 &&
        static_cast<uintmax_t>(status.st_size) <= maxBytes) {
        data.emplace(static_cast<size_t>(status.st_size));
        size_t got = 0;
        while (got < data->size()) {
            const ssize_t n = read(fd, data->data() + got, data->size() - got);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            got += static_cast<size_t>(n);
        }
        if (got != data->size()) {
            data.reset();
        }
    }
    close(fd);
    return data;
}

#endif

}  // namespace platform::bmp
