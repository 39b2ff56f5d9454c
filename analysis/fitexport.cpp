#include "analysis/fitexport.h"

#include "analysis/fitplot.h"
#include "analysis/fittables.h"
#include "common/numbers.h"
#include "common/version.h"
#include "database/display.h"

#include <charconv>
#include <cmath>

namespace relperm {

std::string dataSetName(const ShownDataSet& shown) {
    std::string name(systemListText(shown.system));
    if (shown.match > 0)
        name += ", data set # " + std::to_string(shown.match);
    if (!shown.title.empty())
        name += " - " + shown.title;
    return name;
}

std::string fitValueText(double value) {
    if (value == 0 || !std::isfinite(value))
        return formatGeneral(value);
    // Rounded as a decimal in scientific form rather than by a power of ten, which
    // underflows to 0 for the smallest doubles and made them NaN.
    char digits[32];
    const auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::scientific, 3);
    if (error != std::errc())
        return formatGeneral(value);
    return formatGeneral(parseNumber(std::string_view(digits, end - digits)).value_or(value));
}

std::string fitParametersText(const FittedSet& fit, bool withRms) {
    const std::vector<std::string> names = fitParameterNames(fit.system, fit.model);
    const std::vector<double> values = fitParameterValues(fit);
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < values.size(); ++i)
        if (withRms || names[i] != "rms")
            text += (text.empty() ? "" : ", ") + names[i] + " " + fitValueText(values[i]);
    return text;
}

std::variant<std::string, Refusal>
fitSimulatorTables(const ShownDataSet& shown, const FittedSet& fit, const std::string& program,
                   double spacingPercent, SimulatorOptions options) {
    std::vector<std::string> lines{"Relative permeability tables written by " + program + " " +
                                   suiteVersion + " (Relative Permeability Suite)."};
    lines.push_back(fitModelName(fit.model) + " curves fitted to the measured data set " +
                    dataSetName(shown) + ":");
    const std::vector<std::string> description = descriptionLines(shown.system, shown.set);
    lines.insert(lines.end(), description.begin(), description.end());
    lines.push_back("Parameters: " + fitParametersText(fit, true) +
                    " (rms: the misfit of kr over both curves).");
    lines.push_back("Capillary pressure is 0 throughout.");
    lines.push_back(rowsText(fit.system, spacingPercent));
    if (options.keywords.empty())
        options.keywords = measuredKeywords(shown.system);
    auto tables = fitTables(fit, spacingPercent, options.krwMax);
    if (auto* r = std::get_if<Refusal>(&tables))
        return *r;
    return simulatorFile(std::get<SaturationTables>(tables), lines, options);
}

} // namespace relperm
