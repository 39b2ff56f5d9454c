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

AtomicFileWriter::AtomicFileWriter(const std::filesystem::path& target)
    : target_(target), real_(target) {
    std::error_code ec;
    if (std::filesystem::symlink_status(target, ec).type() == std::filesystem::file_type::symlink) {
        real_ = std::filesystem::weakly_canonical(target, ec);
        if (ec) {
            failure_ = failure(target_, "resolving the link", ec.value());
            return;
        }
    }

    // The mode is taken before the temporary file exists, as the file that will be replaced
    // has it now.
    struct stat existing {};
    mode_ = ::stat(real_.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : newFileMode();

    temp_ = real_.string() + ".XXXXXX";
    fd_ = injected(WriteStep::CreateTemporary) ? -1 : ::mkstemp(temp_.data());
    if (fd_ < 0)
        failure_ = failure(target_, "creating a temporary file", errno);
}

AtomicFileWriter::~AtomicFileWriter() {
    abandon();
}

void AtomicFileWriter::abandon() {
    if (fd_ < 0)
        return;
    ::close(fd_);
    ::unlink(temp_.c_str());
    fd_ = -1;
}

std::optional<std::string> AtomicFileWriter::fail(const char* step, int error) {
    abandon();
    failure_ = failure(target_, step, error);
    return failure_;
}

std::optional<std::string> AtomicFileWriter::finished() const {
    return "Could not write \"" + target_.string() + "\": the write was already " +
           (committed_ ? "committed" : "abandoned");
}

std::optional<std::string> AtomicFileWriter::append(std::string_view bytes) {
    if (failure_)
        return failure_;
    if (fd_ < 0)
        return finished();
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t written = injected(WriteStep::Write) ? -1 : ::write(fd_, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return fail("writing", errno);
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return std::nullopt;
}

std::optional<std::string> AtomicFileWriter::commit() {
    if (failure_)
        return failure_;
    if (fd_ < 0)
        return finished();
    if (::fchmod(fd_, mode_) != 0)
        return fail("setting permissions", errno);
    if (injected(WriteStep::Flush) || ::fsync(fd_) != 0)
        return fail("flushing to disk", errno);
    const int fd = fd_;
    fd_ = -1; // closed below whatever happens; the temporary file is removed by hand
    if (::close(fd) != 0) {
        int error = errno;
        ::unlink(temp_.c_str());
        failure_ = failure(target_, "closing", error);
        return failure_;
    }
    if (injected(WriteStep::Rename) || ::rename(temp_.c_str(), real_.c_str()) != 0) {
        int error = errno;
        ::unlink(temp_.c_str());
        failure_ = failure(target_, "renaming the temporary file", error);
        return failure_;
    }
    committed_ = true;
    return std::nullopt;
}

std::optional<std::string> writeFileAtomically(const std::filesystem::path& target,
                                               std::string_view bytes) {
    AtomicFileWriter file(target);
    if (auto failed = file.append(bytes))
        return failed;
    return file.commit();
}

} // namespace relperm
