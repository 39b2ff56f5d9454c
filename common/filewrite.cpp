#include "common/filewrite.h"

#include "common/quotedtext.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <variant>

namespace relperm {

namespace {

std::string failure(const std::filesystem::path& target, const char* step, int error) {
    return "Could not write " + quotedName(target.string()) + ": " + step + ": " +
           std::strerror(error);
}

std::optional<WriteStep> injectedStep;
int injectedError = 0;
bool namedTemporaryForTesting = false;

// True when a test asked `step` to fail; errno then holds the error the test chose.
bool injected(WriteStep step) {
    if (injectedStep != step)
        return false;
    errno = injectedError;
    return true;
}

// Read from /proc once, because the only other way, umask(0) then umask(old), leaves a
// window in which another thread's new file would get mode 0666.
mode_t readUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8) & 0777);
    }
    // Kernels before 4.7 or no /proc: the window is taken once, at the first write.
    mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

mode_t newFileMode() {
    static const mode_t mask = readUmask();
    return 0666 & ~mask;
}

// Names of temporary files that a terminating signal removes before the process ends. Each
// slot is claimed, filled, then marked ready, so the handler never reads a half-written name.
constexpr std::size_t slotCount = 64;
enum SlotState : int { Free, Filling, Ready };
struct Slot {
    std::atomic<int> state{Free};
    pid_t owner = 0; // a forked child must not remove its parent's files
    int dirFd = -1;
    char name[NAME_MAX + 1] = {};
};
std::array<Slot, slotCount> slots;
// Every signal whose default action ends the process: the terminal's, kill's, a pipe with no
// reader left, the file-size and CPU limits, the timers and the user signals.
constexpr std::array<int, 12> cleanedSignals = {SIGINT,    SIGTERM, SIGHUP,  SIGQUIT,
                                                SIGPIPE,   SIGXFSZ, SIGXCPU, SIGALRM,
                                                SIGVTALRM, SIGPROF, SIGUSR1, SIGUSR2};

extern "C" void removeTemporariesAndDie(int sig) {
    const int savedErrno = errno;
    const pid_t self = ::getpid();
    for (Slot& slot : slots) {
        if (slot.state.load() == Ready && slot.owner == self)
            ::unlinkat(slot.dirFd, slot.name, 0);
    }
    // The signal is blocked while its handler runs, so the raise takes effect on return.
    ::signal(sig, SIG_DFL);
    ::raise(sig);
    errno = savedErrno;
}

// Only signals left to their default action are taken: a program that handles or ignores
// one has chosen what it does, and its own cleanup runs the writer's destructor.
void installSignalHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int sig : cleanedSignals) {
            struct sigaction old {};
            if (::sigaction(sig, nullptr, &old) != 0 || old.sa_handler != SIG_DFL ||
                (old.sa_flags & SA_SIGINFO))
                continue;
            struct sigaction act {};
            act.sa_handler = removeTemporariesAndDie;
            sigemptyset(&act.sa_mask);
            for (int other : cleanedSignals)
                sigaddset(&act.sa_mask, other);
            ::sigaction(sig, &act, nullptr);
        }
    });
}

int claimSlot(int dirFd, const std::string& name) {
    installSignalHandlers();
    for (std::size_t i = 0; i < slotCount; ++i) {
        int expected = Free;
        if (!slots[i].state.compare_exchange_strong(expected, Filling))
            continue;
        slots[i].owner = ::getpid();
        slots[i].dirFd = dirFd;
        std::memcpy(slots[i].name, name.c_str(), name.size() + 1);
        slots[i].state.store(Ready);
        return static_cast<int>(i);
    }
    return -1; // more writers than slots: the name is then only removed by the destructor
}

void releaseSlot(int& slot) {
    if (slot >= 0)
        slots[static_cast<std::size_t>(slot)].state.store(Free);
    slot = -1;
}

// Holds off the cleaned signals while a name comes into being or changes meaning, so the
// registry always matches the folder.
class SignalsHeld {
  public:
    SignalsHeld() {
        sigset_t set;
        sigemptyset(&set);
        for (int sig : cleanedSignals)
            sigaddset(&set, sig);
        ::pthread_sigmask(SIG_BLOCK, &set, &old_);
    }
    ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

  private:
    sigset_t old_;
};

// ".<up to 200 bytes of the name>.XXXXXX": hidden, recognisable, and within NAME_MAX
// however long the target's name.
std::string temporaryName(const std::filesystem::path& real) {
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random(std::random_device{}() ^
                                        static_cast<std::uint64_t>(::getpid()));
    std::string name = "." + real.filename().string().substr(0, 200) + ".";
    for (int i = 0; i < 6; ++i)
        name += letters[random() % (sizeof letters - 1)];
    return name;
}

constexpr int maxLinkDepth = 40; // the kernel's own limit for a chain of links

// The descriptor a name stands for when it names one of the process's own streams.
std::optional<int> streamDescriptor(const std::filesystem::path& path) {
    const std::string& name = path.native();
    if (name == "/dev/stdout")
        return 1;
    if (name == "/dev/stderr")
        return 2;
    for (std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        int fd = -1;
        const char* first = name.data() + prefix.size();
        const char* last = name.data() + name.size();
        auto [end, error] = std::from_chars(first, last, fd);
        if (error == std::errc() && end == last && fd >= 0)
            return fd;
    }
    return std::nullopt;
}

// Where a name leads: the last target of its chain of links (followed by hand rather than
// with weakly_canonical, which leaves a dangling link unresolved so that a rename would
// replace the link itself), whether a file is there, or the stream it names.
struct Resolved {
    std::filesystem::path real;
    bool exists = false;
    struct stat status {};
    std::optional<int> stream;
};

struct ResolveError {
    const char* step;
    int error;
};

std::variant<Resolved, ResolveError> resolve(const std::filesystem::path& target) {
    Resolved r;
    r.real = target;
    for (int depth = 0;; ++depth) {
        if ((r.stream = streamDescriptor(r.real)))
            return r;
        if (::lstat(r.real.c_str(), &r.status) != 0) {
            if (errno != ENOENT)
                return ResolveError{"opening", errno};
            return r;
        }
        if (!S_ISLNK(r.status.st_mode)) {
            r.exists = true;
            return r;
        }
        if (depth == maxLinkDepth)
            return ResolveError{"resolving the link", ELOOP};
        std::error_code ec;
        std::filesystem::path next = std::filesystem::read_symlink(r.real, ec);
        if (ec)
            return ResolveError{"resolving the link", ec.value()};
        r.real = next.is_absolute() ? next : r.real.parent_path() / next;
    }
}

// What makes two names one file: the file's device and inode, or, where no file is yet, the
// folder's and the name a write would create in it.
struct Location {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    std::string name;
    bool operator==(const Location&) const = default;
};

std::optional<Location> locate(const std::filesystem::path& path) {
    auto resolved = resolve(path);
    const Resolved* r = std::get_if<Resolved>(&resolved);
    if (!r)
        return std::nullopt;
    struct stat st {};
    if (r->stream) {
        if (::fstat(*r->stream, &st) != 0)
            return std::nullopt;
        return Location{true, st.st_dev, st.st_ino, {}};
    }
    if (r->exists)
        return Location{true, r->status.st_dev, r->status.st_ino, {}};
    const std::filesystem::path folder = r->real.has_parent_path() ? r->real.parent_path() : ".";
    if (::stat(folder.c_str(), &st) != 0)
        return std::nullopt; // nothing can be created there
    return Location{false, st.st_dev, st.st_ino, r->real.filename().string()};
}

// The files protected by living ProtectedFiles objects, by their id.
std::mutex protectedMutex;
std::map<int, std::vector<ReadInput>> protectedFiles;
int nextProtectedId = 0;

std::vector<ReadInput> allProtectedFiles() {
    const std::lock_guard lock(protectedMutex);
    std::vector<ReadInput> all;
    for (const auto& [id, inputs] : protectedFiles)
        all.insert(all.end(), inputs.begin(), inputs.end());
    return all;
}

} // namespace

void failFileWriteStepForTesting(std::optional<WriteStep> step, int error) {
    injectedStep = step;
    injectedError = error;
}

void useNamedTemporaryForTesting(bool named) {
    namedTemporaryForTesting = named;
}

AtomicFileWriter::AtomicFileWriter(const std::filesystem::path& target)
    : target_(target), real_(target) {
    open();
}

void AtomicFileWriter::open() {
    if (target_.empty()) {
        failure_ = "Could not write: no file name was given";
        return;
    }

    if (auto refused = outputOverInput(target_, allProtectedFiles())) {
        failure_ = "Could not write: " + *refused;
        return;
    }
    auto resolved = resolve(target_);
    if (const auto* error = std::get_if<ResolveError>(&resolved)) {
        failure_ = failure(target_, error->step, error->error);
        return;
    }
    const Resolved& where = std::get<Resolved>(resolved);
    real_ = where.real;
    const bool exists = where.exists;
    const struct stat& existing = where.status;

    if (where.stream) {
        // A copy of the descriptor, so that closing it at commit leaves the stream open.
        direct_ = true;
        fd_ =
            injected(WriteStep::CreateTemporary) ? -1 : ::fcntl(*where.stream, F_DUPFD_CLOEXEC, 0);
        if (fd_ < 0)
            failure_ = failure(target_, "opening", errno);
        return;
    }

    const std::filesystem::path name = real_.filename();
    if ((exists && S_ISDIR(existing.st_mode)) || name.empty() || name == "." || name == "..") {
        failure_ = failure(target_, "opening", EISDIR);
        return;
    }

    if (exists && !S_ISREG(existing.st_mode)) {
        // Without O_NONBLOCK, opening a FIFO nobody reads would wait for a reader forever.
        direct_ = true;
        const bool fifo = S_ISFIFO(existing.st_mode);
        const int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | (fifo ? O_NONBLOCK : 0);
        fd_ = injected(WriteStep::CreateTemporary) ? -1 : ::open(real_.c_str(), flags);
        if (fd_ < 0) {
            failure_ = failure(
                target_, fifo && errno == ENXIO ? "opening the pipe: no reader" : "opening", errno);
            return;
        }
        if (fifo)
            ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        return;
    }

    if (exists) {
        // As root, access() allows everything, so the mode itself is asked as well.
        if (::faccessat(AT_FDCWD, real_.c_str(), W_OK, AT_EACCESS) != 0) {
            failure_ = failure(target_, "opening", errno);
            return;
        }
        if ((existing.st_mode & 0222) == 0) {
            failure_ = failure(target_, "opening", EACCES);
            return;
        }
        keepOwner_ = true;
        uid_ = existing.st_uid;
        gid_ = existing.st_gid;
        mode_ = existing.st_mode & 0777;
    } else {
        mode_ = newFileMode();
    }

    const std::filesystem::path folder = real_.has_parent_path() ? real_.parent_path() : ".";
    dirFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd_ < 0 || injected(WriteStep::CreateTemporary)) {
        failure_ = failure(target_, "creating a temporary file", errno);
        abandon();
        return;
    }
    if (!namedTemporaryForTesting) {
        fd_ = ::openat(dirFd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd_ >= 0)
            return;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            failure_ = failure(target_, "creating a temporary file", errno);
            abandon();
            return;
        }
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = temporaryName(real_);
        SignalsHeld held;
        fd_ = ::openat(dirFd_, candidate.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
        if (fd_ >= 0) {
            temp_ = std::move(candidate);
            slot_ = claimSlot(dirFd_, temp_);
            return;
        }
        if (errno != EEXIST)
            break;
    }
    failure_ = failure(target_, "creating a temporary file", errno);
    abandon();
}

AtomicFileWriter::~AtomicFileWriter() {
    abandon();
}

void AtomicFileWriter::removeTemporaryName() {
    if (temp_.empty())
        return;
    ::unlinkat(dirFd_, temp_.c_str(), 0);
    releaseSlot(slot_);
    temp_.clear();
}

void AtomicFileWriter::abandon() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (dirFd_ >= 0) {
        removeTemporaryName();
        ::close(dirFd_);
        dirFd_ = -1;
    }
}

std::optional<std::string> AtomicFileWriter::fail(const char* step, int error) {
    abandon();
    failure_ = failure(target_, step, error);
    return failure_;
}

std::optional<std::string> AtomicFileWriter::finished() const {
    return "Could not write " + quotedName(target_.string()) + ": the write was already " +
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

bool AtomicFileWriter::nameTemporary() {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = temporaryName(real_);
        SignalsHeld held;
        // The /proc path is the way open to every user; AT_EMPTY_PATH needs
        // CAP_DAC_READ_SEARCH and is only tried where /proc is missing.
        int done = ::linkat(AT_FDCWD, self.c_str(), dirFd_, candidate.c_str(), AT_SYMLINK_FOLLOW);
        if (done != 0 && errno == ENOENT)
            done = ::linkat(fd_, "", dirFd_, candidate.c_str(), AT_EMPTY_PATH);
        if (done == 0) {
            temp_ = std::move(candidate);
            slot_ = claimSlot(dirFd_, temp_);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

std::optional<std::string> AtomicFileWriter::commit() {
    if (failure_)
        return failure_;
    if (fd_ < 0)
        return finished();

    if (direct_) {
        // A device or pipe has nothing to rename, and fsync fails on most of them.
        if (injected(WriteStep::Flush))
            return fail("flushing to disk", errno);
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            failure_ = failure(target_, "closing", errno);
            return failure_;
        }
        committed_ = true;
        return std::nullopt;
    }

    if (keepOwner_) {
        struct stat mine {};
        // EPERM only says that this user may not give the file away; it then stays the
        // writer's, as a file written by any editor would.
        if (::fstat(fd_, &mine) == 0 && (mine.st_uid != uid_ || mine.st_gid != gid_) &&
            ::fchown(fd_, uid_, gid_) != 0 && errno != EPERM)
            return fail("setting the owner", errno);
    }
    // After fchown, which would clear set-ID bits anyway; mode_ never carries them.
    if (::fchmod(fd_, mode_) != 0)
        return fail("setting permissions", errno);
    if (injected(WriteStep::Flush) || ::fsync(fd_) != 0)
        return fail("flushing to disk", errno);
    if (temp_.empty() && !nameTemporary())
        return fail("naming the temporary file", errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        return fail("closing", errno);

    const std::string name = real_.filename().string();
    {
        SignalsHeld held;
        if (injected(WriteStep::Rename) ||
            ::renameat(dirFd_, temp_.c_str(), dirFd_, name.c_str()) != 0)
            return fail("renaming the temporary file", errno);
        // The temporary name is now the target's; the handler must not remove it.
        releaseSlot(slot_);
        temp_.clear();
    }
    committed_ = true;
    const int dirFd = dirFd_;
    dirFd_ = -1;
    // EINVAL: a file system that cannot flush a folder, where nothing more can be done.
    const bool flushed = ::fsync(dirFd) == 0 || errno == EINVAL;
    const int error = errno;
    ::close(dirFd);
    if (!flushed) {
        failure_ = failure(target_, "flushing the folder", error);
        return failure_;
    }
    return std::nullopt;
}

std::optional<std::string> outputOverInput(const std::filesystem::path& output,
                                           const std::vector<ReadInput>& inputs) {
    if (inputs.empty())
        return std::nullopt;
    const std::optional<Location> out = locate(output);
    if (!out)
        return std::nullopt; // a write there fails on its own, with its own reason
    for (const ReadInput& input : inputs) {
        if (locate(input.path) != out)
            continue;
        std::string sentence = quotedName(output.string()) + " is " + input.what;
        if (input.path != output)
            sentence += " " + quotedName(input.path.string());
        return sentence + ", which is being read; writing there would destroy it";
    }
    return std::nullopt;
}

ProtectedFiles::ProtectedFiles(std::vector<ReadInput> inputs) {
    const std::lock_guard lock(protectedMutex);
    id_ = nextProtectedId++;
    protectedFiles.emplace(id_, std::move(inputs));
}

ProtectedFiles::~ProtectedFiles() {
    const std::lock_guard lock(protectedMutex);
    protectedFiles.erase(id_);
}

std::optional<std::string> writeFileAtomically(const std::filesystem::path& target,
                                               std::string_view bytes) {
    AtomicFileWriter file(target);
    if (auto failed = file.append(bytes))
        return failed;
    return file.commit();
}

} // namespace relperm
