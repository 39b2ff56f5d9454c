#include "common/filewrite.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sys/stat.h>

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
        EXPECT_EQ(entries(), 2u) << "the temporary file stands beside the target";
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
