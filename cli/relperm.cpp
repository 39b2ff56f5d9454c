#include "cli/commands.h"

#include "common/filewrite.h"
#include "common/quotedtext.h"
#include "common/version.h"

#include <ostream>

namespace relperm::cli {

namespace {

const char* usage = "usage: relperm COMMAND [OPTIONS]\n"
                    "       relperm --version\n"
                    "\n"
                    "Relative permeability tables from the command line.\n"
                    "\n"
                    "commands:\n"
                    "  generate   build the calculator's water-oil and gas tables, and simulator\n"
                    "             tables from them\n"
                    "  db         count, show, list, dump and import measured data sets\n"
                    "  fit        fit Corey or LET curves to a measured data set, write them\n"
                    "             as parameters or simulator tables, or compare them with\n"
                    "             the calculator's correlations\n"
                    "  recommend  a low/base/high SCAL recommendation from Corey or LET fits\n"
                    "             of every matching measured data set\n"
                    "  tables     the simulator include file of a parameter table: every\n"
                    "             SATNUM region, capillary pressure, either keyword family\n"
                    "  deck       check the saturation tables of an include file or a deck\n"
                    "             as a simulator does\n"
                    "  help       describe a command: relperm help db show\n"
                    "  version    print the version\n"
                    "\n"
                    "'relperm help COMMAND' (or relperm COMMAND --help, -h) describes each\n"
                    "command. Every command takes -V (--version), -o FILE (--out FILE) where\n"
                    "it writes --out, - for standard input wherever it reads a file, and the\n"
                    "texts of --system, --fluids, --correlation and --model in any case.\n"
                    "CSV written for scripts (db list, fit, recommend, deck check --format csv)\n"
                    "ends its lines with LF; the files the windows also write (run, export and\n"
                    "import files: db show --format csv, db dump) keep their CR LF.\n"
                    "\n"
                    "Exit status: 0 done, 1 a file could not be read or written, 2 input\n"
                    "refused, 3 (db show) the match asked for is past the last one.\n";

} // namespace

StreamedOutput::StreamedOutput(const std::string* outFile, std::ostream& out) : out_(out) {
    if (!outFile || *outFile == "-")
        return;
    // --out /dev/stdout writes to the descriptor behind `out`: what `out` holds goes first.
    out.flush();
    file_.emplace(*outFile);
}

bool StreamedOutput::write(std::string_view bytes) {
    if (failure_)
        return false;
    if (file_) {
        failure_ = file_->append(bytes);
    } else if (!out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
        failure_ = "could not write to standard output";
    }
    return !failure_;
}

int StreamedOutput::finish(std::ostream& err, const std::string& prefix) {
    if (file_ && !failure_)
        failure_ = file_->commit();
    if (!file_ && !failure_ && !out_.flush())
        failure_ = "could not write to standard output";
    if (!failure_)
        return exitOk;
    err << prefix << ": " << *failure_ << "\n";
    return exitFileError;
}

int emit(const std::string& bytes, const std::string* outFile, std::ostream& out, std::ostream& err,
         const std::string& prefix) {
    StreamedOutput output(outFile, out);
    output.write(bytes);
    return output.finish(err, prefix);
}

std::string versionLine() {
    return std::string("relperm ") + suiteVersion + "\n";
}

int runRelperm(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << usage;
        return exitRefused;
    }
    const std::string& command = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || (command == "help" && rest.empty()))
        return emit(usage, nullptr, out, err, "relperm");
    // relperm help db show: the help of the command named, as its --help prints it.
    if (command == "help") {
        std::vector<std::string> asked = rest;
        asked.push_back("--help");
        if (asked.front() == "help" || asked.front() == "version" ||
            asked.front().rfind("-", 0) == 0) {
            err << "relperm: help takes a command, not " << quotedText(asked.front())
                << " (see relperm --help)\n";
            return exitRefused;
        }
        return runRelperm(asked, out, err);
    }
    if (command == "--version" || command == "-V" || command == "version")
        return emit(versionLine(), nullptr, out, err, "relperm");
    if (command == "generate")
        return runGenerate(rest, out, err);
    if (command == "db")
        return runDb(rest, out, err);
    if (command == "fit")
        return runFit(rest, out, err);
    if (command == "recommend")
        return runRecommend(rest, out, err);
    if (command == "tables")
        return runTables(rest, out, err);
    if (command == "deck")
        return runDeck(rest, out, err);
    err << "relperm: unknown command " << quotedText(command) << " (see relperm --help)\n";
    return exitRefused;
}

} // namespace relperm::cli
