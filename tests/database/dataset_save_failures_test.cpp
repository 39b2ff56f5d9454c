// The browser's Save of the data-set text file while a step of the write fails: Save
// returns the message the window shows (the file and the reason), and the file that was
// there keeps its bytes and still opens.
#include "database/browser.h"
#include "records.h"
#include "support/write_failures.h"

#include <gtest/gtest.h>

#include <cstring>

namespace relperm {
namespace {

using namespace relperm::testing;
using DataSetSaveFailures = TempDirTest;

TEST_F(DataSetSaveFailures, EachFailingStepIsReportedAndTheOldFileKeepsItsBytes) {
    writeDataFile(dir, GW, recordsOf(GW, {SetRecipe{.location = 2}, SetRecipe{.location = 4}}));
    DatabaseBrowser browser(dir);
    browser.pick(BrowserList::TwoPhase, static_cast<int>(GW));
    browser.pick(BrowserList::Lithology, 0);
    browser.pick(BrowserList::Location, 0);
    browser.pick(BrowserList::Method, 0);
    browser.Command1_Click(); // the first data set
    browser.typeTitle("Plug 1");
    const std::filesystem::path target = dir / "saved.txt";
    ASSERT_EQ(browser.save(target), std::nullopt);
    const std::string old = readFile(target);

    browser.Command1_Click(); // the second data set
    browser.typeTitle("Plug 2");
    for (const FailingStep& failing : failingSteps) {
        SCOPED_TRACE(failing.name);
        failFileWriteStepForTesting(failing.step, failing.error);
        const std::optional<std::string> message = browser.save(target);
        failFileWriteStepForTesting(std::nullopt);
        ASSERT_TRUE(message.has_value()) << "a failed Save is reported";
        EXPECT_NE(message->find("\"" + target.string() + "\""), std::string::npos) << *message;
        EXPECT_NE(message->find(std::strerror(failing.error)), std::string::npos) << *message;
        EXPECT_EQ(readFile(target), old);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2)
            << "GWBIN and saved.txt, no temporary file";
    }

    DatabaseBrowser reopened(dir);
    ASSERT_EQ(reopened.open(target), std::nullopt);
    EXPECT_EQ(reopened.title(), "Plug 1") << "the old file still opens as it was saved";

    ASSERT_EQ(browser.save(target), std::nullopt);
    ASSERT_EQ(reopened.open(target), std::nullopt);
    EXPECT_EQ(reopened.title(), "Plug 2") << "without a failing step Save replaces the file";
}

} // namespace
} // namespace relperm
