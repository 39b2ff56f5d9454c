#include "common/filewrite.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace relperm {
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

} // namespace
} // namespace relperm
