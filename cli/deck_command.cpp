// relperm deck check: the saturation tables of an include file or a whole deck, read
// through deck/'s one reader and held to the rules a simulator applies.
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/selection.h"
#include "common/quotedtext.h"
#include "deck/checks.h"
#include "deck/convert.h"
#include "deck/reader.h"

#include <ostream>

namespace relperm::cli {

namespace {

const char* prefix = "relperm deck";
const char* checkPrefix = "relperm deck check";
const char* convertPrefix = "relperm deck convert";

const char* deckHelp =
    "usage: relperm deck check FILE [--format text|csv] [--out FILE]\n"
    "       relperm deck convert FILE --to family1|family2|slgof [--out FILE]\n"
    "\n"
    "Works on the saturation tables already in a deck.\n"
    "\n"
    "  check      reads the saturation keywords (SWOF, SGOF, SLGOF, SWFN, SGFN, SOF3, SOF2,\n"
    "             SGWFN) of an include file or a whole .DATA deck, following INCLUDE, and\n"
    "             makes the checks a simulator makes of them\n"
    "  convert    writes the same tables in another keyword family\n"
    "\n"
    "'relperm deck check --help' describes the checks, 'relperm deck convert --help' the\n"
    "conversions.\n";

const char* checkHelp =
    "usage: relperm deck check FILE [--format text|csv] [--out FILE]\n"
    "\n"
    "FILE - reads the deck from standard input.\n"
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
    "                     line, check, detail, one row per finding, lines ending with LF\n"
    "  -o, --out FILE     write to FILE (atomically) instead of standard output; - is\n"
    "                     standard output\n"
    "  -h, --help         print this help\n"
    "  -V, --version      print the version\n"
    "\n"
    "Exit status: 0 every check holds (the text format says so in one line), 1 a file could\n"
    "not be read or written, 2 a check fails (the findings are written, and their count\n"
    "on standard error) or the file cannot be read as saturation tables.\n";

const char* convertHelp =
    "usage: relperm deck convert FILE --to family1|family2|slgof [--out FILE]\n"
    "\n"
    "FILE - reads the deck from standard input.\n"
    "\n"
    "Reads the saturation tables of FILE, an include file or a .DATA deck (as relperm deck\n"
    "check reads it), and writes them as an include file in another keyword family, every\n"
    "region (SATNUM) in order, capillary pressure carried with the water or gas column:\n"
    "  family1  SWOF and SGOF\n"
    "  family2  SWFN, SGFN and SOF3 (SOF2 when the deck has two phases), as three-phase\n"
    "           options need\n"
    "  slgof    SWOF and SLGOF, the gas table in liquid saturation Sl = 1 - Sg\n"
    "The conversion is exact: the oil columns are tabulated at the saturations of both tables\n"
    "(So = 1 - Sw of the water table and So = 1 - Swc - Sg of the gas table, Swc the first Sw\n"
    "of the region's water table), so the simulator's linear interpolation gives the same kr\n"
    "at every saturation. Converting back keeps the rows where an oil column bends and drops\n"
    "those it only carried, so it gives the rows converted from. Only the saturation\n"
    "keywords are written; the head of the file says what was converted from where, and the\n"
    "TABDIMS it needs. The tables are converted as they stand: relperm deck check judges them.\n"
    "\n"
    "  --to FAMILY      family1, family2 or slgof\n"
    "  -o, --out FILE   write to FILE (atomically) instead of standard output; - is\n"
    "                   standard output. Never one of the files read.\n"
    "  -h, --help       print this help\n"
    "  -V, --version    print the version\n"
    "\n"
    "Exit status: 0 written, 1 a file could not be read or written, 2 the file cannot be read\n"
    "as saturation tables or its keywords cannot be converted (families mixed, a gas-water\n"
    "system for family 1, SLGOF without a gas table, keywords with different numbers of\n"
    "tables).\n";

const OptionTable checkOptions{{"format", "out"}, {}};
const OptionTable convertOptions{{"to", "out"}, {}};

int fail(std::ostream& err, const Failure& failure) {
    return reportFailure(err, checkPrefix, failure);
}

// The saturation tables of `file`, or why there are none: a file that cannot be read is a
// file error, text that is no deck a refusal.
std::variant<deck::DeckTables, Failure> readTables(const std::string& file) {
    auto read = deck::readDeck(file, PipeUse::Read);
    if (auto* r = std::get_if<Refusal>(&read)) {
        const bool unreadable = r->message.rfind("Could not read", 0) == 0;
        return Failure{unreadable ? exitFileError : exitRefused, r->message};
    }
    auto& tables = std::get<deck::DeckTables>(read);
    if (tables.keywords.empty())
        return Failure{exitRefused, deck::noSaturationTable(file)};
    return std::move(tables);
}

int runCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto opened = openCommand(args, checkOptions, checkPrefix, checkHelp, out, err, 1);
    if (const int* status = std::get_if<int>(&opened))
        return *status;
    const Options& options = std::get<Options>(opened);
    if (options.positional.size() != 1)
        return fail(err, {exitRefused, "name one include file or deck"});
    const std::string file = inputPath(options.positional.front());
    const std::string format = options.get("format").value_or("text");
    if (format != "text" && format != "csv")
        return fail(err, {exitRefused, "--format is text or csv, not " + quotedText(format)});
    if (auto f = outOption(options, {{file, "the deck"}}))
        return fail(err, *f);

    auto read = readTables(file);
    if (auto* f = std::get_if<Failure>(&read))
        return fail(err, *f);
    const auto& tables = std::get<deck::DeckTables>(read);
    const auto findings = deck::checkTables(tables);
    const std::string summary = tables.keywords.empty() ? "" : deck::tablesSummary(tables);
    std::string text;
    if (format == "csv")
        text = deck::findingsCsv(findings, LineEnd::Lf);
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

int runConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto refuse = [&](const Failure& f) { return reportFailure(err, convertPrefix, f); };
    auto opened = openCommand(args, convertOptions, convertPrefix, convertHelp, out, err, 1);
    if (const int* status = std::get_if<int>(&opened))
        return *status;
    const Options& options = std::get<Options>(opened);
    if (options.positional.size() != 1)
        return refuse({exitRefused, "name one include file or deck"});
    const std::string file = inputPath(options.positional.front());
    const auto toName = options.get("to");
    if (!toName)
        return refuse({exitRefused, "--to is needed: family1, family2 or slgof"});
    const auto to = deck::targetFamilyNamed(*toName);
    if (!to)
        return refuse(
            {exitRefused, "--to is family1, family2 or slgof, not " + quotedText(*toName)});
    if (auto f = outOption(options, {{file, "the deck"}}))
        return refuse(*f);
    auto read = readTables(file);
    if (auto* f = std::get_if<Failure>(&read))
        return refuse(*f);
    const auto& tables = std::get<deck::DeckTables>(read);
    // An include file the deck reads is an input too: writing over it would lose tables.
    for (const std::string& input : tables.files)
        if (auto f = outOption(options, {{input, "a file the deck includes"}}))
            return refuse(*f);
    auto converted = deck::convertedFile(tables, *to);
    if (auto* r = std::get_if<Refusal>(&converted))
        return refuse(Failure{exitRefused, file + ": " + r->message});
    auto outFile = options.get("out");
    return emit(std::get<std::string>(converted), outFile ? &*outFile : nullptr, out, err,
                convertPrefix);
}

} // namespace

int runDeck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << deckHelp;
        return exitRefused;
    }
    if (args[0] == "--help" || args[0] == "-h" || (args[0] == "help" && args.size() == 1))
        return emit(deckHelp, nullptr, out, err, prefix);
    if (args[0] == "--version" || args[0] == "-V")
        return emit(versionLine(), nullptr, out, err, prefix);
    if (args[0] == "help") // relperm deck help check
        return runDeck({args[1], "--help"}, out, err);
    if (args[0] == "check")
        return runCheck({args.begin() + 1, args.end()}, out, err);
    if (args[0] == "convert")
        return runConvert({args.begin() + 1, args.end()}, out, err);
    return reportFailure(err, prefix,
                         {exitRefused, "unknown subcommand " + quotedText(args[0]) +
                                           ": check or convert (see relperm deck --help)"});
}

} // namespace relperm::cli
