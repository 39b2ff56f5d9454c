#include "common/filewrite.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace relperm {

namespace {

std::string failure(const std::filesystem::path& target, const char* step, int error) {
    return "Could not write \"" + target.string() + "\": " + step + ": " + std::strerror(error);
}

std::optional<WriteStep> injectedStep;
int injectedError = 0;

// True when a test asked `step` to fail; errno then holds the error the test chose.
bool injected(WriteStep step) {
    if (injectedStep != step)
        return false;
    errno = injectedError;
    return true;
}

mode_t newFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

void failFileWriteStepForTesting(std::optional<WriteStep> step, int error) {
    injectedStep = step;
    injectedError = error;
}

std::optional<std::string> writeFileAtomically(const std::filesystem::path& target,
                                               std::string_view bytes) {
    std::filesystem::path real = target;
    std::error_code ec;
    if (std::filesystem::symlink_status(target, ec).type() == std::filesystem::file_type::symlink) {
        real = std::filesystem::weakly_canonical(target, ec);
        if (ec)
            return failure(target, "resolving the link", ec.value());
    }

    struct stat existing {};
    const mode_t mode =
        ::stat(real.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : newFileMode();

    std::string temp = real.string() + ".XXXXXX";
    int fd = injected(WriteStep::CreateTemporary) ? -1 : ::mkstemp(temp.data());
    if (fd < 0)
        return failure(target, "creating a temporary file", errno);

    auto abandon = [&](const char* step) {
        int error = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return failure(target, step, error);
    };

    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t written = injected(WriteStep::Write) ? -1 : ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return abandon("writing");
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (::fchmod(fd, mode) != 0)
        return abandon("setting permissions");
    if (injected(WriteStep::Flush) || ::fsync(fd) != 0)
        return abandon("flushing to disk");
    if (::close(fd) != 0) {
        int error = errno;
        ::unlink(temp.c_str());
        return failure(target, "closing", error);
    }
    if (injected(WriteStep::Rename) || ::rename(temp.c_str(), real.c_str()) != 0) {
        int error = errno;
        ::unlink(temp.c_str());
        return failure(target, "renaming the temporary file", error);
    }
    return std::nullopt;
}

} // namespace relperm
