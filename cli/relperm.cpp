#include "cli/commands.h"

#include "common/filewrite.h"

#include <ostream>

namespace relperm::cli {

namespace {

const char* usage = "usage: relperm COMMAND [OPTIONS]\n"
                    "\n"
                    "Relative permeability tables from the command line.\n"
                    "\n"
                    "commands:\n"
                    "  generate   build the calculator's water-oil and gas tables\n"
                    "  db         count, show, dump and import measured data sets\n"
                    "\n"
                    "'relperm COMMAND --help' describes each command.\n";

} // namespace

int emit(const std::string& bytes, const std::string* outFile, std::ostream& out,
         std::ostream& err) {
    if (!outFile) {
        out << bytes;
        out.flush();
        if (out)
            return exitOk;
        err << "relperm: could not write to standard output\n";
        return exitFileError;
    }
    if (auto failure = writeFileAtomically(*outFile, bytes)) {
        err << "relperm: " << *failure << "\n";
        return exitFileError;
    }
    return exitOk;
}

int runRelperm(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << usage;
        return exitRefused;
    }
    const std::string& command = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "help") {
        out << usage;
        return exitOk;
    }
    if (command == "generate")
        return runGenerate(rest, out, err);
    if (command == "db")
        return runDb(rest, out, err);
    err << "relperm: unknown command \"" << command << "\"\n" << usage;
    return exitRefused;
}

} // namespace relperm::cli
