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

std::string stepName(const ::testing::TestParamInfo<WriteStep>& info) {
    return writeStepName(info.param);
}

INSTANTIATE_TEST_SUITE_P(FileWrite, FailingStep,
                         ::testing::Values(WriteStep::CreateTemporary, WriteStep::Write,
                                           WriteStep::Flush, WriteStep::Rename),
                         stepName);

} // namespace
} // namespace relperm
