#include "common/filewrite.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace relperm {

const char* writeStepName(WriteStep step) {
    static const char* const names[] = {"CreateTemporary", "Write", "Flush", "Rename"};
    return names[static_cast<int>(step)];
}

void PrintTo(WriteStep step, std::ostream* os) {
    *os << writeStepName(step);
}
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class FileWrite : public testing::TempDirTest {
  protected:
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
    }
};

TEST_F(FileWrite, CreatesANewFileWithTheExactBytes) {
    const std::string bytes = "\"Sw  krw  krow\",0\r\n\0x"s;
    EXPECT_EQ(writeFileAtomically(dir / "run.txt", bytes), std::nullopt);
    EXPECT_EQ(readFile(dir / "run.txt"), bytes);
    EXPECT_EQ(entries(), 1u) << "no temporary file is left behind";
}

TEST_F(FileWrite, ReplacesAnExistingFileAndKeepsItsPermissions) {
    const fs::path target = dir / "run.txt";
    ASSERT_EQ(writeFileAtomically(target, "old"), std::nullopt);
    ::chmod(target.c_str(), 0640);
    EXPECT_EQ(writeFileAtomically(target, "new"), std::nullopt);
    EXPECT_EQ(readFile(target), "new");
    struct stat st {};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(FileWrite, WritesThroughASymbolicLink) {
    const fs::path real = dir / "real.txt";
    ASSERT_EQ(writeFileAtomically(real, "old"), std::nullopt);
    fs::create_symlink(real, dir / "link.txt");
    EXPECT_EQ(writeFileAtomically(dir / "link.txt", "new"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(readFile(real), "new");
}

TEST_F(FileWrite, ReportsAMissingFolderByTheFileName) {
    auto error = writeFileAtomically(dir / "missing" / "run.txt", "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("missing/run.txt"), std::string::npos) << *error;
    EXPECT_EQ(entries(), 0u);
}

TEST_F(FileWrite, AFailedRenameLeavesTheTargetAndNoTemporaryFile) {
    const fs::path target = dir / "adir";
    fs::create_directory(target);
    std::ofstream(target / "inside") << "kept";
    auto error = writeFileAtomically(target, "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(readFile(target / "inside"), "kept");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(FileWrite, AStreamedFileReplacesTheTargetOnlyAtCommit) {
    const fs::path target = dir / "OWBIN";
    ASSERT_EQ(writeFileAtomically(target, "old"), std::nullopt);
    {
        AtomicFileWriter file(target);
        EXPECT_EQ(file.append("first,"), std::nullopt);
        EXPECT_EQ(file.append(""), std::nullopt);
        EXPECT_EQ(file.append("second\0"s), std::nullopt);
        EXPECT_EQ(readFile(target), "old") << "the target is untouched while pieces come";
        EXPECT_LE(entries(), 2u) << "the temporary file has no name, or one beside the target";
        EXPECT_EQ(file.commit(), std::nullopt);
    }
    EXPECT_EQ(readFile(target), "first,second\0"s);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(FileWrite, AnAbandonedOrDroppedStreamLeavesTheOldFileAndNoTemporaryFile) {
    const fs::path target = dir / "OWBIN";
    ASSERT_EQ(writeFileAtomically(target, "old"), std::nullopt);
    {
        AtomicFileWriter dropped(target);
        ASSERT_EQ(dropped.append("half a file"), std::nullopt);
    }
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(entries(), 1u) << "the writer removes its temporary file when it goes";

    AtomicFileWriter abandoned(target);
    ASSERT_EQ(abandoned.append("half a file"), std::nullopt);
    abandoned.abandon();
    EXPECT_EQ(entries(), 1u);
    auto late = abandoned.commit();
    ASSERT_TRUE(late.has_value()) << "an abandoned write cannot be committed";
    EXPECT_NE(late->find("abandoned"), std::string::npos) << *late;
    EXPECT_EQ(readFile(target), "old");
}

// --- What the target is: devices, pipes and links are written, never replaced.

TEST_F(FileWrite, AFifoWithAReaderGetsTheBytesAndStaysAFifo) {
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Opened before the write so a reader is there when the writer looks for one.
    const int in = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(in, 0);
    std::atomic<bool> writerDone{false};
    std::string received;
    std::thread reader([&] {
        char buffer[65536];
        for (;;) {
            ssize_t n = ::read(in, buffer, sizeof buffer);
            if (n > 0) {
                received.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 && writerDone) {
                break;
            } else {
                pollfd p{in, POLLIN, 0};
                ::poll(&p, 1, 10);
            }
        }
    });
    // Larger than the pipe's buffer, so the write only ends because the reader reads.
    const std::string bytes(1 << 20, 'k');
    EXPECT_EQ(writeFileAtomically(fifo, bytes), std::nullopt);
    writerDone = true;
    reader.join();
    ::close(in);
    EXPECT_EQ(received, bytes);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(entries(), 1u);
}

TEST_F(FileWrite, AFifoWithoutAReaderIsAnErrorNotAWait) {
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto error = writeFileAtomically(fifo, "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find(fifo.string()), std::string::npos) << *error;
    EXPECT_NE(error->find("no reader"), std::string::npos) << *error;
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST_F(FileWrite, DevNullTakesTheBytesAndStaysADevice) {
    EXPECT_EQ(writeFileAtomically("/dev/null", "discarded"), std::nullopt);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    AtomicFileWriter streamed("/dev/null");
    EXPECT_EQ(streamed.append("a"), std::nullopt);
    EXPECT_EQ(streamed.commit(), std::nullopt);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(FileWrite, ASocketIsReportedNotReplaced) {
    const fs::path socketPath = dir / "sock";
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_TRUE(writeFileAtomically(socketPath, "x").has_value());
    EXPECT_TRUE(fs::is_socket(socketPath));
    ::close(s);
}

TEST_F(FileWrite, AChainOfRelativeLinksIsFollowedToTheFile) {
    const fs::path real = dir / "real.txt";
    ASSERT_EQ(writeFileAtomically(real, "old"), std::nullopt);
    fs::create_symlink("real.txt", dir / "first");
    fs::create_symlink("first", dir / "second");
    EXPECT_EQ(writeFileAtomically(dir / "second", "new"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dir / "second"));
    EXPECT_TRUE(fs::is_symlink(dir / "first"));
    EXPECT_EQ(readFile(real), "new");
    EXPECT_EQ(entries(), 3u);
}

TEST_F(FileWrite, ADanglingLinkGetsItsTargetCreated) {
    fs::create_directory(dir / "elsewhere");
    fs::create_symlink(dir / "elsewhere" / "made.txt", dir / "link");
    EXPECT_EQ(writeFileAtomically(dir / "link", "bytes"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(readFile(dir / "elsewhere" / "made.txt"), "bytes");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "elsewhere"), {}), 1);
}

TEST_F(FileWrite, ALinkLoopIsReported) {
    fs::create_symlink("b", dir / "a");
    fs::create_symlink("a", dir / "b");
    auto error = writeFileAtomically(dir / "a", "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find(std::strerror(ELOOP)), std::string::npos) << *error;
    EXPECT_TRUE(fs::is_symlink(dir / "a"));
}

// --- The process's own streams are written where they stand.

// A descriptor of the test's own, as a shell's redirection would hand one to the program.
class StreamWrite : public FileWrite {
  protected:
    void TearDown() override {
        if (fd >= 0)
            ::close(fd);
        FileWrite::TearDown();
    }
    fs::path fdName(const char* prefix = "/dev/fd/") const { return prefix + std::to_string(fd); }
    int fd = -1;
};

TEST_F(StreamWrite, AFileOpenedForAppendingKeepsWhatItHeld) {
    const fs::path log = dir / "log";
    std::ofstream(log) << "earlier lines\n";
    struct stat before {};
    ::stat(log.c_str(), &before);
    fd = ::open(log.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    for (const char* prefix : {"/dev/fd/", "/proc/self/fd/"})
        EXPECT_EQ(writeFileAtomically(fdName(prefix), "40\n"), std::nullopt) << prefix;
    EXPECT_EQ(readFile(log), "earlier lines\n40\n40\n");
    struct stat after {};
    ::stat(log.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the file behind the stream is not replaced";
    EXPECT_EQ(::fcntl(fd, F_GETFD), 0) << "the stream stays open after the write";
}

TEST_F(StreamWrite, APipeTakesTheBytes) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    fd = ends[1];
    EXPECT_EQ(writeFileAtomically(fdName(), "through the pipe"), std::nullopt);
    ::close(ends[1]);
    fd = -1;
    char buffer[64] = {};
    EXPECT_EQ(::read(ends[0], buffer, sizeof buffer), 16);
    EXPECT_STREQ(buffer, "through the pipe");
    ::close(ends[0]);
}

TEST_F(StreamWrite, AStreamThatIsNotOpenIsReportedByItsName) {
    auto error = writeFileAtomically("/dev/fd/987", "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error,
              "Could not write \"/dev/fd/987\": opening: " + std::string(std::strerror(EBADF)));
}

// --- No write replaces a file that is being read.

class ReadFiles : public FileWrite {
  protected:
    void SetUp() override {
        FileWrite::SetUp();
        std::ofstream(dir / "OWBIN") << "records";
        inputs = {{dir / "OWBIN", "the Water-Oil Data file"},
                  {dir / "OGBIN", "the Gas-Oil Data file"}};
    }
    std::vector<ReadInput> inputs;
};

TEST_F(ReadFiles, AnOutputIsAnInputThroughAnyNameOrLink) {
    fs::create_symlink(dir / "OWBIN", dir / "link.csv");
    fs::create_hard_link(dir / "OWBIN", dir / "hard.csv");
    fs::create_symlink(dir / "OGBIN", dir / "dangling.csv"); // OGBIN is not there yet
    const std::string sentence = ", which is being read; writing there would destroy it";
    const auto quoted = [](const fs::path& p) { return "\"" + p.string() + "\""; };
    EXPECT_EQ(outputOverInput(dir / "OWBIN", inputs),
              quoted(dir / "OWBIN") + " is the Water-Oil Data file" + sentence);
    for (const char* other : {"link.csv", "hard.csv"})
        EXPECT_EQ(outputOverInput(dir / other, inputs), quoted(dir / other) +
                                                            " is the Water-Oil Data file " +
                                                            quoted(dir / "OWBIN") + sentence);
    EXPECT_EQ(outputOverInput(dir / "." / "OWBIN", inputs).has_value(), true);
    // A write there would create the input under its own name.
    EXPECT_EQ(outputOverInput(dir / "dangling.csv", inputs), quoted(dir / "dangling.csv") +
                                                                 " is the Gas-Oil Data file " +
                                                                 quoted(dir / "OGBIN") + sentence);
    EXPECT_EQ(outputOverInput(dir / "OGBIN", inputs).has_value(), true);

    fs::create_directory(dir / "elsewhere");
    for (const fs::path& fine : {dir / "OWBIN.csv", dir / "elsewhere" / "OWBIN",
                                 dir / "missing" / "OGBIN", fs::path("/dev/null")})
        EXPECT_EQ(outputOverInput(fine, inputs), std::nullopt) << fine;
}

TEST_F(ReadFiles, AStreamRedirectedToAnInputIsThatInput) {
    const int fd = ::open((dir / "OWBIN").c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    const fs::path stream = "/dev/fd/" + std::to_string(fd);
    EXPECT_TRUE(outputOverInput(stream, inputs).has_value());
    ::close(fd);
    EXPECT_EQ(readFile(dir / "OWBIN"), "records");
}

TEST_F(ReadFiles, ProtectedFilesRefuseEveryWriteWhileTheyAreRead) {
    fs::create_symlink(dir / "OWBIN", dir / "link");
    {
        const ProtectedFiles reading(inputs);
        for (const fs::path& target : {dir / "OWBIN", dir / "link", dir / "OGBIN"}) {
            auto error = writeFileAtomically(target, "text of an export");
            ASSERT_TRUE(error.has_value()) << target;
            EXPECT_NE(error->find("which is being read"), std::string::npos) << *error;
        }
        EXPECT_EQ(writeFileAtomically(dir / "export.csv", "text"), std::nullopt);
    }
    EXPECT_EQ(readFile(dir / "OWBIN"), "records");
    EXPECT_FALSE(fs::exists(dir / "OGBIN"));
    EXPECT_EQ(writeFileAtomically(dir / "OWBIN", "new records"), std::nullopt)
        << "a file no longer read may be written";
}

// --- Owner, permissions and names.

TEST_F(FileWrite, KeepsTheModeButDropsSetIdBits) {
    const fs::path target = dir / "run.txt";
    ASSERT_EQ(writeFileAtomically(target, "old"), std::nullopt);
    ASSERT_EQ(::chmod(target.c_str(), 04640), 0);
    EXPECT_EQ(writeFileAtomically(target, "new"), std::nullopt);
    struct stat st {};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(FileWrite, ANewFileGets0666LessTheUmask) {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    ASSERT_EQ(writeFileAtomically(dir / "new.txt", "x"), std::nullopt);
    struct stat st {};
    ::stat((dir / "new.txt").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);
}

TEST_F(FileWrite, AReadOnlyFileIsRefusedAndUnchanged) {
    const fs::path target = dir / "locked.txt";
    ASSERT_EQ(writeFileAtomically(target, "old"), std::nullopt);
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    auto error = writeFileAtomically(target, "new");
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find(target.string()), std::string::npos) << *error;
    EXPECT_NE(error->find(std::strerror(EACCES)), std::string::npos) << *error;
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(entries(), 1u);
}

// Written through a link, as an include file shared from a colleague's folder would be: the
// colleague must still own, and be able to read, the file.
TEST_F(FileWrite, RootKeepsAnotherUsersOwnershipThroughALink) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    const fs::path target = dir / "theirs.txt";
    const fs::path link = dir / "mine.txt";
    ASSERT_EQ(writeFileAtomically(target, "old"), std::nullopt);
    ASSERT_EQ(::chown(target.c_str(), 12345, 12345), 0);
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    fs::create_symlink("theirs.txt", link);
    EXPECT_EQ(writeFileAtomically(link, "new"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(link));
    struct stat st {};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(st.st_uid, 12345u);
    EXPECT_EQ(st.st_gid, 12345u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(readFile(target), "new");
}

// Device nodes of the test's own, as root in a container or CI job would name them: the
// null device takes the bytes, the full device refuses them, and both stay devices.
TEST_F(FileWrite, APrivateCharacterDeviceTakesTheBytesAndStaysADevice) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may make a device node";
    struct stat null {
    }, full{};
    ASSERT_EQ(::stat("/dev/null", &null), 0);
    ASSERT_EQ(::stat("/dev/full", &full), 0);
    const fs::path sink = dir / "sink", disk = dir / "disk";
    if (::mknod(sink.c_str(), S_IFCHR | 0600, null.st_rdev) != 0 ||
        ::mknod(disk.c_str(), S_IFCHR | 0600, full.st_rdev) != 0)
        GTEST_SKIP() << "this machine lets no device node be made: " << std::strerror(errno);
    const auto taken = writeFileAtomically(sink, "SWOF");
    if (taken && taken->find("Operation not permitted") != std::string::npos)
        GTEST_SKIP() << "this container does not let the device node be opened: " << *taken;
    EXPECT_EQ(taken, std::nullopt);
    const auto refused = writeFileAtomically(disk, "SWOF");
    ASSERT_TRUE(refused.has_value());
    EXPECT_NE(refused->find("No space left on device"), std::string::npos) << *refused;
    for (const auto& [path, device] :
         {std::pair{sink, null.st_rdev}, std::pair{disk, full.st_rdev}}) {
        struct stat after {};
        ASSERT_EQ(::lstat(path.c_str(), &after), 0);
        EXPECT_TRUE(S_ISCHR(after.st_mode)) << path;
        EXPECT_EQ(after.st_rdev, device) << path;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2)
        << "no temporary file beside them";
}

TEST_F(FileWrite, ALongNameStillGetsATemporaryFile) {
    const fs::path target = dir / std::string(250, 'n');
    EXPECT_EQ(writeFileAtomically(target, "x"), std::nullopt);
    EXPECT_EQ(writeFileAtomically(target, "y"), std::nullopt);
    useNamedTemporaryForTesting(true);
    EXPECT_EQ(writeFileAtomically(target, "z"), std::nullopt);
    useNamedTemporaryForTesting(false);
    EXPECT_EQ(readFile(target), "z");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(FileWrite, AnEmptyNameIsRefusedPlainly) {
    auto error = writeFileAtomically("", "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("no file name"), std::string::npos) << *error;
}

// --- A process killed mid-write leaves no second name in the folder.

class KilledWrite : public FileWrite {
  protected:
    void TearDown() override {
        useNamedTemporaryForTesting(false);
        FileWrite::TearDown();
    }

    // The child writes part of the file, then is killed by `sig`; returns how it ended.
    int killMidWrite(int sig, bool raiseItself) {
        const fs::path target = dir / "run.txt";
        EXPECT_EQ(writeFileAtomically(target, "old"), std::nullopt);
        int ready[2];
        EXPECT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(ready[0]);
            AtomicFileWriter file(target);
            if (file.append("half of the new"))
                ::_exit(2);
            if (raiseItself)
                ::raise(sig);
            (void)!::write(ready[1], "r", 1);
            ::pause();
            ::_exit(3);
        }
        ::close(ready[1]);
        if (!raiseItself) {
            char c;
            EXPECT_EQ(::read(ready[0], &c, 1), 1);
            ::kill(child, sig);
        }
        ::close(ready[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_EQ(readFile(target), "old");
        return status;
    }

    bool nameless() const {
        const int fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY, 0600);
        if (fd < 0)
            return false;
        ::close(fd);
        return true;
    }
};

TEST_F(KilledWrite, EveryEndingSignalRemovesANamedTemporaryFile) {
    useNamedTemporaryForTesting(true);
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ, SIGXCPU, SIGALRM, SIGVTALRM,
                    SIGPROF, SIGUSR1, SIGUSR2}) {
        const int status = killMidWrite(sig, true);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << strsignal(sig);
        EXPECT_EQ(entries(), 1u) << strsignal(sig);
    }
}

TEST_F(KilledWrite, SigtermFromOutsideLeavesNothing) {
    const int status = killMidWrite(SIGTERM, false);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_EQ(entries(), 1u);
}

TEST_F(KilledWrite, SigkillLeavesNothingWhereTheTemporaryFileHasNoName) {
    if (!nameless())
        GTEST_SKIP() << "this file system has no O_TMPFILE; a killed process leaves a name";
    const int status = killMidWrite(SIGKILL, false);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    EXPECT_EQ(entries(), 1u);
}

// Each failing step reports the file and the reason and leaves the old bytes in place.
class FailingStep : public FileWrite, public ::testing::WithParamInterface<WriteStep> {
  protected:
    void TearDown() override {
        failFileWriteStepForTesting(std::nullopt);
        FileWrite::TearDown();
    }
};

TEST_P(FailingStep, KeepsTheOldFileByteForByte) {
    const fs::path target = dir / "run.txt";
    const std::string old = "\"old\",0\r\n";
    ASSERT_EQ(writeFileAtomically(target, old), std::nullopt);
    failFileWriteStepForTesting(GetParam(), ENOSPC);
    auto error = writeFileAtomically(target, "new contents");
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find(target.string()), std::string::npos) << *error;
    EXPECT_NE(error->find(std::strerror(ENOSPC)), std::string::npos) << *error;
    EXPECT_EQ(readFile(target), old);
    EXPECT_EQ(entries(), 1u) << "the temporary file is removed";
}

// A streamed write that fails at some piece stops there: the temporary file goes at once,
// and the same message comes back from every later call, so the caller may report it at
// the end.
TEST_P(FailingStep, AStreamedWriteKeepsTheFirstFailureToTheEnd) {
    const fs::path target = dir / "OWBIN";
    const std::string old = "old records";
    ASSERT_EQ(writeFileAtomically(target, old), std::nullopt);
    failFileWriteStepForTesting(GetParam(), ENOSPC);
    AtomicFileWriter file(target);
    std::optional<std::string> first;
    for (const char* piece : {"new ", "records"}) {
        auto failed = file.append(piece);
        if (!first)
            first = failed;
        else
            EXPECT_EQ(failed, first);
    }
    const bool failsInAppend =
        GetParam() == WriteStep::CreateTemporary || GetParam() == WriteStep::Write;
    EXPECT_EQ(first.has_value(), failsInAppend);
    if (first) {
        EXPECT_EQ(entries(), 1u) << "removed at the failure, not when the writer goes";
    }
    auto committed = file.commit();
    ASSERT_TRUE(committed.has_value());
    if (first) {
        EXPECT_EQ(*committed, *first);
    }
    EXPECT_NE(committed->find("\"" + target.string() + "\""), std::string::npos) << *committed;
    EXPECT_NE(committed->find(std::strerror(ENOSPC)), std::string::npos) << *committed;
    EXPECT_EQ(readFile(target), old);
    EXPECT_EQ(entries(), 1u);
}

std::string stepName(const ::testing::TestParamInfo<WriteStep>& info) {
    return writeStepName(info.param);
}

INSTANTIATE_TEST_SUITE_P(FileWrite, FailingStep,
                         ::testing::Values(WriteStep::CreateTemporary, WriteStep::Write,
                                           WriteStep::Flush, WriteStep::Rename),
                         stepName);

} // namespace
} // namespace relperm
