#include "common/readfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace relperm {

namespace {

constexpr const char* notRegular = "it is not a regular file (a pipe or a device)";

} // namespace

int openForReading(const std::filesystem::path& path, PipeUse pipes, std::string& problem) {
    struct stat st {};
    // A pipe that is to be read is opened as a pipe reader waits: for its writer. Probing
    // it without waiting first would connect and drop a reader, and its writer could be
    // killed by the broken pipe.
    if (pipes == PipeUse::Read && ::stat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode)) {
        int fd;
        do {
            fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0)
            problem = std::strerror(errno);
        return fd;
    }
    // Otherwise the open itself must not wait, whatever has been put at the path since.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        problem = std::strerror(errno);
        return -1;
    }
    if (::fstat(fd, &st) != 0) {
        problem = std::strerror(errno);
    } else if (S_ISDIR(st.st_mode)) {
        problem = "it is a folder";
    } else if (!S_ISREG(st.st_mode) && !(pipes == PipeUse::Read && S_ISFIFO(st.st_mode))) {
        problem = notRegular;
    } else {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0)
            return fd;
        problem = std::strerror(errno);
    }
    ::close(fd);
    return -1;
}

namespace {

// Appends the file's bytes to `text` until it holds `limit` bytes or the file ends.
std::optional<std::string> readUpTo(const std::filesystem::path& path, PipeUse pipes,
                                    std::size_t limit, std::string& text) {
    std::string problem;
    const int fd = openForReading(path, pipes, problem);
    if (fd < 0)
        return problem;
    text.clear();
    char block[64 * 1024];
    while (text.size() < limit) {
        const ssize_t got = ::read(fd, block, std::min(sizeof block, limit - text.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            problem = std::strerror(errno);
            ::close(fd);
            return problem;
        }
        if (got == 0)
            break;
        text.append(block, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return std::nullopt;
}

} // namespace

std::optional<std::string> readWholeFile(const std::filesystem::path& path, PipeUse pipes,
                                         std::string& text) {
    return readUpTo(path, pipes, std::numeric_limits<std::size_t>::max(), text);
}

std::optional<std::string> readFileStart(const std::filesystem::path& path, PipeUse pipes,
                                         std::size_t limit, FileStart& start) {
    // One byte past the limit tells a file that goes on from one that ends there.
    const std::size_t wanted = limit == std::numeric_limits<std::size_t>::max() ? limit : limit + 1;
    if (auto problem = readUpTo(path, pipes, wanted, start.text))
        return problem;
    start.more = start.text.size() > limit;
    if (start.more)
        start.text.resize(limit);
    return std::nullopt;
}

} // namespace relperm
