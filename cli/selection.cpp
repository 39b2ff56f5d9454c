#include "cli/selection.h"

#include "calculator/validate.h"
#include "cli/commands.h"
#include "common/quotedtext.h"
#include "database/datafolder.h"
#include "database/datasetexport.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <map>
#include <sys/stat.h>

namespace relperm::cli {

std::set<std::string> listSelectionOptions() {
    return {"dir", "system", "location", "method", "lithology", "wettability"};
}

std::optional<long> wholeNumber(const std::string& text) {
    long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<Failure> systemOption(const Options& options, TwoPhaseSystem& system) {
    auto text = options.get("system");
    if (!text)
        return Failure{exitRefused, "--system is needed: \"Water-Oil Data\", \"Gas-Oil Data\", "
                                    "\"Gas-Water Data\" or \"Gas-Condensate Data\""};
    for (TwoPhaseSystem named : allSystems)
        if (sameListText(*text, systemListText(named))) {
            system = named;
            return std::nullopt;
        }
    return Failure{exitRefused, "--system must be \"Water-Oil Data\", \"Gas-Oil Data\", "
                                "\"Gas-Water Data\" or \"Gas-Condensate Data\", not " +
                                    quotedText(*text)};
}

std::optional<Failure> folderOption(const Options& options, std::filesystem::path& dir) {
    dir = options.get("dir").value_or(".");
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0)
        return Failure{
            exitFileError,
            "the folder " + quotedName(dir.string()) +
                (errno == ENOENT ? " does not exist" : ": " + std::string(std::strerror(errno)))};
    if (!S_ISDIR(st.st_mode))
        return Failure{exitFileError, "--dir " + quotedName(dir.string()) +
                                          " is not a folder: it must name the folder that holds "
                                          "the data files"};
    return std::nullopt;
}

std::optional<Failure> outOption(const Options& options, const std::vector<ReadInput>& inputs) {
    const auto out = options.get("out");
    if (!out || *out == "-")
        return std::nullopt;
    if (auto refused = outputOverInput(*out, inputs))
        return Failure{exitRefused, "--out " + *refused};
    const std::string name = std::filesystem::path(*out).filename().string();
    for (TwoPhaseSystem system : allSystems)
        if (name == dataFileName(system))
            return Failure{exitRefused, "--out " + quotedName(*out) + " bears the name of the " +
                                            std::string(systemListText(system)) +
                                            " file: the browser would read the text written "
                                            "there as damaged records"};
    return std::nullopt;
}

std::optional<Failure> replaySelection(const Options& options, TwoPhaseSystem system,
                                       DatabaseBrowser& browser) {
    browser.pick(BrowserList::TwoPhase, static_cast<int>(system));
    struct ListOption {
        const char* name;
        BrowserList list;
    };
    for (const ListOption& option : {ListOption{"wettability", BrowserList::Wettability},
                                     ListOption{"lithology", BrowserList::Lithology},
                                     ListOption{"location", BrowserList::Location},
                                     ListOption{"method", BrowserList::Method}}) {
        const bool wettability = option.list == BrowserList::Wettability;
        auto text = options.get(option.name);
        if (wettability && system != TwoPhaseSystem::WaterOil) {
            if (text)
                return Failure{exitRefused, "--wettability applies to Water-Oil Data only"};
            continue;
        }
        const SelectionList& list = browser.list(option.list);
        const long highest = static_cast<long>(list.entries.size()) - 1;
        auto index = text ? wholeNumber(*text) : std::optional<long>(0);
        if (!index || *index < 0 || *index > highest)
            return Failure{exitRefused,
                           "--" + std::string(option.name) + " must be a list index from 0 to " +
                               std::to_string(highest) + ", not " + quotedText(text.value_or(""))};
        browser.pick(option.list, static_cast<int>(*index));
    }
    if (options.has("search-percent"))
        browser.Option2_Click();
    if (auto tolerance = options.get("tolerance"))
        browser.typeTolerance(*tolerance);
    for (auto [name, box] : {std::pair{"swc", EndPointBox::Swc}, std::pair{"sor", EndPointBox::Sor},
                             std::pair{"sgc", EndPointBox::Sgc}})
        if (auto text = options.get(name))
            browser.typeEndPoint(box, *text);
    browser.Command2_Click();
    return std::nullopt;
}

std::variant<MatchSelection, Failure>
replayMatchSelection(const Options& options, TwoPhaseSystem system, DatabaseBrowser& browser) {
    if (auto f = replaySelection(options, system, browser))
        return *f;
    // The replay picks every list, so the selection is complete.
    return browser.matchSelection().value();
}

std::optional<Failure> matchOption(const Options& options, int& match) {
    auto number = wholeNumber(options.get("match").value_or(""));
    if (!number || *number < 1 || *number > 1000000)
        return Failure{exitRefused, "--match must be a match number from 1 to 1000000, not " +
                                        quotedText(options.get("match").value_or(""))};
    match = static_cast<int>(*number);
    return std::nullopt;
}

std::optional<DataFileProblem> showMatch(int match, DatabaseBrowser& browser) {
    std::optional<DataFileProblem> problem = browser.lastProblem();
    if (auto met = browser.pressShow(match))
        problem = met;
    return problem;
}

std::string pastTheLastMatch(const ScanState& scan, int match) {
    if (scan.matchCount == 0)
        return "no data set matches";
    return "match " + std::to_string(match) + " is past the last of the " +
           std::to_string(scan.matchCount) + " matching data sets";
}

std::optional<std::vector<Keyword>> simulatorFormatKeywords(const std::string& format,
                                                            TwoPhaseSystem system) {
    const std::map<std::string, std::vector<Keyword>> formats = {
        {"swof", {Keyword::SWOF}},
        {"sgof", {Keyword::SGOF}},
        {"swfn", {Keyword::SWFN}},
        {"sgfn", {Keyword::SGFN}},
        {"simulator", measuredKeywords(system)}};
    const auto found = formats.find(format);
    if (found == formats.end())
        return std::nullopt;
    return found->second;
}

std::optional<Failure> paramsOrTablesFormat(const Options& options, TwoPhaseSystem system,
                                            std::string& format, SimulatorOptions& simulator) {
    format = options.get("format").value_or("params");
    const auto keywords = simulatorFormatKeywords(format, system);
    if (format != "params" && !keywords)
        return Failure{exitRefused, "--format must be params, swof, sgof, swfn, sgfn or "
                                    "simulator, not " +
                                        quotedText(format)};
    if (keywords) {
        if (auto refusal = checkMeasuredKeywords(system, *keywords))
            return Failure{exitRefused, refusal->message};
        simulator.keywords = *keywords;
    }
    return std::nullopt;
}

std::optional<Failure> tableRowOptions(const Options& options, bool tables, double& spacing,
                                       SimulatorOptions& simulator) {
    if (auto f = spacingOption(options, tables, spacing))
        return f;
    if (auto error = endKrOptions(options, tables, simulator))
        return Failure{exitRefused, *error};
    return std::nullopt;
}

std::optional<Failure> modelOption(const Options& options, FitModel& model) {
    auto text = options.get("model");
    if (!text)
        return Failure{exitRefused, "--model is needed: Corey or LET"};
    for (FitModel named : {FitModel::Corey, FitModel::Let})
        if (sameListText(*text, fitModelName(named))) {
            model = named;
            return std::nullopt;
        }
    return Failure{exitRefused, "--model must be Corey or LET, not " + quotedText(*text)};
}

std::optional<Failure> weightOption(const Options& options, FitWeight& weight) {
    auto text = options.get("weight");
    if (!text)
        return std::nullopt;
    auto named = fitWeightNamed(*text);
    if (!named)
        return Failure{exitRefused, "--weight must be kr or log, not " + quotedText(*text)};
    weight = *named;
    return std::nullopt;
}

std::optional<Failure> spacingOption(const Options& options, bool tables, double& spacing) {
    std::string error;
    auto given = numberOption(options, "spacing", error);
    if (!error.empty())
        return Failure{exitRefused, error};
    if (!given)
        return std::nullopt;
    if (!tables)
        return Failure{exitRefused, "--spacing applies to the simulator formats only"};
    // The rows follow the calculator's spacing, so it is held to the calculator's limits.
    TypedValues typed;
    typed.spacing = *given;
    if (auto refusal = checkTypedValues(typed))
        return Failure{exitRefused, "--spacing: " + refusal->message};
    spacing = *given;
    return std::nullopt;
}

std::optional<std::string> endKrOptions(const Options& options, bool tables,
                                        SimulatorOptions& simulator) {
    for (auto [name, value] :
         {std::pair{"krw-max", &simulator.krwMax}, std::pair{"krg-max", &simulator.krgMax}}) {
        std::string error;
        auto given = numberOption(options, name, error);
        if (!error.empty())
            return error;
        if (!given)
            continue;
        if (!tables)
            return std::string("--") + name + " applies to the simulator formats only";
        if (*given < 0 || *given > 1)
            return std::string("--") + name + " must be a fraction from 0 to 1, not " +
                   quotedText(*options.get(name));
        *value = *given;
    }
    return std::nullopt;
}

std::string tableRefusalText(const Refusal& refusal) {
    const std::string flag = refusal.input == "krwMax"   ? "--krw-max: "
                             : refusal.input == "krgMax" ? "--krg-max: "
                                                         : "";
    return flag + refusal.message;
}

int reportFailure(std::ostream& err, const char* prefix, const Failure& failure) {
    err << prefix << ": " << failure.message << "\n";
    return failure.status;
}

std::variant<Options, int> openCommand(const std::vector<std::string>& args,
                                       const OptionTable& table, const char* prefix,
                                       const char* help, std::ostream& out, std::ostream& err,
                                       std::size_t positionals) {
    const std::string seeHelp = std::string(" (see ") + prefix + " --help)";
    std::string error;
    auto options = parseOptions(args, table, error);
    if (!options)
        return reportFailure(err, prefix, {exitRefused, error + seeHelp});
    if (options->has("help"))
        return emit(help, nullptr, out, err, prefix);
    if (options->has("version"))
        return emit(versionLine(), nullptr, out, err, prefix);
    if (options->positional.size() > positionals)
        return reportFailure(
            err, prefix,
            {exitRefused,
             "unexpected argument " + quotedText(options->positional[positionals]) + seeHelp});
    return std::move(*options);
}

} // namespace relperm::cli
