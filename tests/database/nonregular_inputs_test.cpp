// A pipe (or device) where a file is expected: the windows and the data-file readers refuse
// it at once, as "not a regular file"; the command line reads a pipe it was given as an
// input, as `relperm db import <(...)` does.
#include "database/browser.h"
#include "database/datasetfile.h"
#include "records.h"
#include "support/run_relperm.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace relperm {
namespace {

using namespace relperm::testing;

class NonRegular : public TempDirTest {
  protected:
    // Runs `action`, failing the test if it has not returned after a few seconds: a reader
    // that waits on `fifo` is then released by a writer, so the test still ends.
    template <class Action> auto within(const std::filesystem::path& fifo, Action action) {
        auto done = std::async(std::launch::async, action);
        if (done.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
            ADD_FAILURE() << "still waiting on " << fifo;
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
        return done.get();
    }
    std::filesystem::path fifo(const std::string& name) {
        const auto path = dir / name;
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        return path;
    }
    Outcome db(std::vector<std::string> args) {
        args.insert(args.begin(), "db");
        args.insert(args.begin() + 2, {"--dir", dir.string()});
        return relperm(args);
    }
};

TEST_F(NonRegular, EveryDataFileThatIsAPipeIsRefusedAtOnce) {
    for (const auto& [system, name] :
         {std::pair{"Water-Oil Data", "OWBIN"}, std::pair{"Gas-Oil Data", "OGBIN"},
          std::pair{"Gas-Water Data", "GWBIN"}, std::pair{"Gas-Condensate Data", "CGBIN"}}) {
        const auto path = fifo(name);
        for (const char* command : {"count", "dump"}) {
            Outcome r = within(path, [&] { return db({command, "--system", system}); });
            EXPECT_EQ(r.status, cli::exitFileError) << command;
            EXPECT_EQ(r.err, "relperm db: " + path.string() +
                                 ": this is not a regular file (a pipe or a device).\n")
                << command;
        }
    }
}

TEST_F(NonRegular, TheBrowserCountsAPipeAsNoDataAndSaysWhy) {
    const auto path = fifo("OGBIN");
    DatabaseBrowser b(dir);
    within(path, [&] {
        b.pick(BrowserList::TwoPhase, static_cast<int>(GO));
        b.pick(BrowserList::Lithology, 0);
        b.pick(BrowserList::Location, 0);
        b.pick(BrowserList::Method, 0);
        return 0;
    });
    EXPECT_EQ(b.caption("Label11"), " 0");
    ASSERT_TRUE(b.lastProblem());
    EXPECT_EQ(b.lastProblem()->message(),
              path.string() + ": this is not a regular file (a pipe or a device).");
}

TEST_F(NonRegular, TheBrowsersOpenRefusesAPipeAndADevice) {
    const auto path = fifo("set.txt");
    DatabaseBrowser b(dir);
    auto failure = within(path, [&] { return b.open(path); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, "Could not read \"" + path.string() +
                            "\": it is not a regular file (a pipe or a device).");
    EXPECT_FALSE(b.loadedFromFile());
    SavedDataSet saved;
    EXPECT_EQ(openDataSetFile("/dev/zero", saved),
              "Could not read \"/dev/zero\": it is not a regular file (a pipe or a device).");
}

// Pipes given on the command line are read; a device, which might never end, is not.
TEST_F(NonRegular, TheCommandLineReadsAPipeItIsGivenButNoDevice) {
    const std::string csv = "set,1,1,1,1,1,.2,1,1,.2,.3\n0,0,1\n1,.4,0\n";
    writeBytes(dir / "sets.csv", csv);
    const auto pipe = fifo("sets.pipe");
    std::thread writer([&] { writeBytes(pipe, csv); });
    Outcome piped = within(pipe, [&] {
        return relperm({"db", "import", "--system", "Water-Oil Data", "--out", "-", pipe.string()});
    });
    writer.join();
    Outcome plain = relperm(
        {"db", "import", "--system", "Water-Oil Data", "--out", "-", (dir / "sets.csv").string()});
    ASSERT_EQ(piped.status, cli::exitOk) << piped.err;
    EXPECT_EQ(piped.out, plain.out);

    const std::string run = "\"t\",0,1,1,1,18,20,25,10,5,.8,250\r\n";
    const auto runPipe = fifo("run.pipe");
    std::thread runWriter([&] { writeBytes(runPipe, run); });
    Outcome fromPipe = within(runPipe, [&] {
        return relperm({"generate", "--run", runPipe.string(), "--format", "run"});
    });
    runWriter.join();
    EXPECT_EQ(fromPipe.status, cli::exitOk) << fromPipe.err;
    EXPECT_EQ(fromPipe.out, run);

    Outcome device =
        relperm({"db", "import", "--system", "Water-Oil Data", "--out", "-", "/dev/zero"});
    EXPECT_EQ(device.status, cli::exitFileError);
    EXPECT_EQ(device.err, "relperm db: Could not read \"/dev/zero\": it is not a regular file "
                          "(a pipe or a device).\n");
    Outcome runDevice = relperm({"generate", "--run", "/dev/zero"});
    EXPECT_EQ(runDevice.status, cli::exitFileError);
    EXPECT_EQ(runDevice.err, "relperm generate: could not read the run file \"/dev/zero\": it is "
                             "not a regular file (a pipe or a device)\n");
}

} // namespace
} // namespace relperm
