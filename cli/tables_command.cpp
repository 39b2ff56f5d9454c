// relperm tables: the include file of a parameter table (CSV or .xlsx), every region in one
// keyword family, the cases of a SCAL recommendation interpolated.
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/optionreaders.h"
#include "cli/selection.h"
#include "common/numbers.h"
#include "satfunc/includefile.h"

#include <cmath>
#include <ostream>
#include <sstream>

namespace relperm::cli {

namespace {

const char* prefix = "relperm tables";

const char* tablesHelp =
    "usage: relperm tables PARAMS [--sheet NAME] [--family 1|2] [--slgof] [--delta-s H]\n"
    "                      [--int-param-wo T[,T...]] [--int-param-go T[,T...]] [--out FILE]\n"
    "\n"
    "Writes the saturation-function include file of a parameter table: a row per SATNUM\n"
    "(or three per SATNUM with a CASE column of low, base and high), columns named as\n"
    "pyscal names them, in any case: SATNUM, CASE, tag or comment, swirr swl swcr sorw socr\n"
    "sorg sgcr sgro sgl sgrw, krwend krwmax kroend kromax krgend krgmax, Corey nw now ng\n"
    "nog or LET lw ew tw, low eow tow, lg eg tg, log eog tog, and the capillary pressure\n"
    "of a simple J (a b poro_ref perm_ref drho [g], or a_petro b_petro), a normalised J\n"
    "(a b poro perm sigma_costau), LET drainage (lpow epow tpow ltow etow ttow pcowmax\n"
    "pcowt) or imbibition (lsow esow tsow lfow efow tfow pcowmax pcowmin pcowt), or\n"
    "Skjaeveland (cw co aw ao). The columns a row fills decide its tables: water-oil,\n"
    "gas-oil, both, or gas-water. Curves and rows follow pyscal's definitions, so the\n"
    "tables agree with pyscal's row by row.\n"
    "\n"
    "  PARAMS             a comma-separated file, or an .xlsx workbook; - is standard\n"
    "                     input, read as comma-separated text\n"
    "  --sheet NAME       the workbook's sheet (default: the first)\n"
    "  --family 1|2       1 (default): SWOF and SGOF; 2: SWFN, SGFN and SOF3 (gas-water\n"
    "                     tables are always SWFN and SGFN)\n"
    "  --slgof            family 1 with SLGOF instead of SGOF\n"
    "  --delta-s H        the saturation step of the rows, a fraction (default: each row's\n"
    "                     h column, else 0.01); the end points get rows of their own\n"
    "  --int-param-wo T   a SCAL recommendation's water-oil (and gas-water) curves: -1 low,\n"
    "                     0 base, 1 high, between them interpolated; one value, or one per\n"
    "                     SATNUM separated by commas\n"
    "  --int-param-go T   the same for the gas-oil curves (default: --int-param-wo)\n"
    "  -o, --out FILE     write to FILE (atomically) instead of standard output; - is\n"
    "                     standard output\n"
    "  -h, --help         print this help\n"
    "  -V, --version      print the version\n"
    "\n"
    "Capillary pressure is in bar (the LET and Skjaeveland models in the units of their\n"
    "constants). The file's head says how many tables and rows TABDIMS must allow.\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 input refused: a bad\n"
    "flag, or a table with a missing or impossible parameter (the message names the file,\n"
    "row and column); nothing is written then.\n";

const OptionTable tablesOptions{
    {"sheet", "family", "delta-s", "int-param-wo", "int-param-go", "out"}, {"slgof"}};

int fail(std::ostream& err, const Failure& failure) {
    return reportFailure(err, prefix, failure);
}

// "0.5" or "-1,0,0.3": each wholly a number.
std::optional<Failure> numberList(const Options& options, const std::string& name,
                                  std::vector<double>& values) {
    const auto text = options.get(name);
    if (!text)
        return std::nullopt;
    std::stringstream items(*text);
    std::string item;
    while (std::getline(items, item, ',')) {
        const auto v = parseNumber(item);
        if (!v || !std::isfinite(*v))
            return Failure{exitRefused, "--" + name + " takes numbers separated by commas; \"" +
                                            item + "\" is none"};
        values.push_back(*v);
    }
    if (values.empty())
        return Failure{exitRefused, "--" + name + " needs a number"};
    return std::nullopt;
}

} // namespace

std::optional<Failure> readTablesOptions(const Options& options, satfunc::TablesOptions& out) {
    if (auto family = options.get("family")) {
        if (*family != "1" && *family != "2")
            return Failure{exitRefused,
                           "--family is 1 (SWOF, SGOF) or 2 (SWFN, SGFN, SOF3), not \"" + *family +
                               "\""};
        out.family = *family == "1" ? 1 : 2;
        out.familyGiven = true;
    }
    out.slgof = options.has("slgof");
    if (options.get("delta-s")) {
        std::string error;
        const auto h = numberOption(options, "delta-s", error);
        if (!h)
            return Failure{exitRefused, error};
        if (!(*h > 0 && *h <= 1))
            return Failure{exitRefused, "--delta-s is a fraction above 0 and at most 1, such as "
                                        "0.01"};
        out.deltaS = *h;
    }
    if (auto f = numberList(options, "int-param-wo", out.intParamWo))
        return f;
    return numberList(options, "int-param-go", out.intParamGo);
}

int runTables(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto opened = openCommand(args, tablesOptions, prefix, tablesHelp, out, err, 1);
    if (const int* status = std::get_if<int>(&opened))
        return *status;
    const Options& options = std::get<Options>(opened);
    if (options.positional.size() != 1)
        return fail(err, {exitRefused, "name one parameter table (a .csv or .xlsx file)"});
    const std::string file = inputPath(options.positional.front());
    satfunc::TablesOptions tables;
    if (auto f = readTablesOptions(options, tables))
        return fail(err, *f);
    if (auto f = outOption(options, {{file, "the parameter table"}}))
        return fail(err, *f);

    auto table = satfunc::readParameterTable(file, options.get("sheet").value_or(""));
    if (auto* r = std::get_if<Refusal>(&table)) {
        const bool unreadable = r->message.rfind("Could not read", 0) == 0;
        return fail(err, {unreadable ? exitFileError : exitRefused, r->message});
    }
    const auto& parameters = std::get<satfunc::ParameterTable>(table);
    auto regions = satfunc::regionCurves(parameters, tables);
    if (auto* r = std::get_if<Refusal>(&regions))
        return fail(err, {exitRefused, r->message});
    auto text = satfunc::includeFile(parameters,
                                     std::get<std::vector<satfunc::RegionCurves>>(regions), tables);
    if (auto* r = std::get_if<Refusal>(&text))
        return fail(err, {exitRefused, r->message});
    auto outFile = options.get("out");
    return emit(std::get<std::string>(text), outFile ? &*outFile : nullptr, out, err, prefix);
}

} // namespace relperm::cli
