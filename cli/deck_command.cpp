// relperm deck check: the saturation tables of an include file or a whole deck, read
// through deck/'s one reader and held to the rules a simulator applies.
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/selection.h"
#include "common/quotedtext.h"
#include "deck/checks.h"

#include <ostream>

namespace relperm::cli {

namespace {

const char* prefix = "relperm deck";
const char* checkPrefix = "relperm deck check";

const char* deckHelp =
    "usage: relperm deck check FILE [--format text|csv] [--out FILE]\n"
    "\n"
    "Works on the saturation tables already in a deck.\n"
    "\n"
    "  check      reads the saturation keywords (SWOF, SGOF, SLGOF, SWFN, SGFN, SOF3, SOF2,\n"
    "             SGWFN) of an include file or a whole .DATA deck, following INCLUDE, and\n"
    "             makes the checks a simulator makes of them\n"
    "\n"
    "'relperm deck check --help' describes the checks.\n";

const char* checkHelp =
    "usage: relperm deck check FILE [--format text|csv] [--out FILE]\n"
    "\n"
    "Reads the saturation tables of FILE, an include file or a .DATA deck (its INCLUDE\n"
    "files are read too, relative to the file that names them; other keywords are passed\n"
    "over; END ends the deck), and checks every table as a simulator does:\n"
    "  - saturations rise strictly and lie within 0 to 1; kr lies within 0 to 1\n"
    "  - krw and krg never fall, krow and krog never rise, in the direction of each\n"
    "    keyword's saturation column (SLGOF runs in liquid saturation: krg falls there)\n"
    "  - krw is 0 at the first Sw (SWOF, SWFN), krg 0 at the first Sg (SGOF, SGFN) and at\n"
    "    Sl = 1, the last row of SLGOF\n"
    "  - SGOF starts at Sg = 0; SGOF and SLGOF reach 1 - Swc, Swc being the first Sw of\n"
    "    the region's water table\n"
    "  - SOF3's krow and krog are equal at the largest oil saturation\n"
    "  - one keyword family: SWOF, SGOF, SLGOF or SWFN, SGFN, SOF3, SOF2, SGWFN\n"
    "  - every keyword holds a table per region\n"
    "  - no value lies within 1e-12 of 0 without being 0, and no critical water saturation\n"
    "    (the last Sw with krw 0) lies within 1e-6 of the first Sw without being it\n"
    "A table's number is its SATNUM. A keyword holds the tables TABDIMS item 1 (NTSFUN)\n"
    "gives when the deck has TABDIMS, else those the file holds.\n"
    "\n"
    "  --format text|csv  text (default): a line per finding naming the file, line,\n"
    "                     keyword, table and row; csv: columns keyword, satnum, row, file,\n"
    "                     line, check, detail, one row per finding\n"
    "  --out FILE         write to FILE (atomically) instead of standard output; - is\n"
    "                     standard output\n"
    "  -h, --help         print this help\n"
    "\n"
    "Exit status: 0 every check holds (the text format says so in one line), 1 a file could\n"
    "not be read or written, 2 a check fails (the findings are written, and their count\n"
    "on standard error) or the file cannot be read as saturation tables.\n";

const OptionTable checkOptions{{"format", "out"}, {}};

int fail(std::ostream& err, const Failure& failure) {
    return reportFailure(err, checkPrefix, failure);
}

int runCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto opened = openCommand(args, checkOptions, checkPrefix, checkHelp, out, err, 1);
    if (const int* status = std::get_if<int>(&opened))
        return *status;
    const Options& options = std::get<Options>(opened);
    if (options.positional.size() != 1)
        return fail(err, {exitRefused, "name one include file or deck"});
    const std::string file = options.positional.front();
    const std::string format = options.get("format").value_or("text");
    if (format != "text" && format != "csv")
        return fail(err, {exitRefused, "--format is text or csv, not " + quotedText(format)});
    if (auto f = outOption(options, {{file, "the deck"}}))
        return fail(err, *f);

    auto read = deck::readDeck(file, PipeUse::Read);
    if (auto* r = std::get_if<Refusal>(&read)) {
        const bool unreadable = r->message.rfind("Could not read", 0) == 0;
        return fail(err, {unreadable ? exitFileError : exitRefused, r->message});
    }
    const auto& tables = std::get<deck::DeckTables>(read);
    if (tables.keywords.empty())
        return fail(err, {exitRefused, file + " holds no saturation table (SWOF, SGOF, SLGOF, "
                                              "SWFN, SGFN, SOF3, SOF2 or SGWFN)"});
    const auto findings = deck::checkTables(tables);
    const std::string summary = tables.keywords.empty() ? "" : deck::tablesSummary(tables);
    std::string text;
    if (format == "csv")
        text = deck::findingsCsv(findings);
    else if (findings.empty())
        text = file + ": " + summary + ": every check holds.\n";
    else
        text = deck::findingsText(findings);
    auto outFile = options.get("out");
    const int written = emit(text, outFile ? &*outFile : nullptr, out, err, checkPrefix);
    if (written != exitOk || findings.empty())
        return written;
    err << checkPrefix << ": " << file << ": " << findings.size()
        << (findings.size() == 1 ? " check fails" : " checks fail") << " in " << summary << "\n";
    return exitRefused;
}

} // namespace

int runDeck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << deckHelp;
        return exitRefused;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help")
        return emit(deckHelp, nullptr, out, err, prefix);
    if (args[0] == "check")
        return runCheck({args.begin() + 1, args.end()}, out, err);
    return reportFailure(err, prefix,
                         {exitRefused, "unknown subcommand " + quotedText(args[0]) +
                                           ": check (see relperm deck --help)"});
}

} // namespace relperm::cli
