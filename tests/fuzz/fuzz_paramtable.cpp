// A parameter table as any text: read, its curves made in either family, with or without a
// SCAL interpolation, and written as an include file. Nothing may crash, hang or print a
// value that is not a number, and every table written has one table per region.
#include "fuzz_check.h"
#include "satfunc/includefile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

using namespace relperm;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // The options come from the input's end, the table is the rest.
    const auto choice = in.ConsumeIntegral<std::uint8_t>();
    satfunc::TablesOptions options;
    options.family = choice & 1 ? 2 : 1;
    options.familyGiven = choice & 2;
    options.slgof = choice & 4;
    if (choice & 8)
        options.deltaS = 0.05;
    static const double ts[] = {-1, -0.5, 0, 0.3, 1, 1.5};
    options.intParamWo = {ts[(choice >> 4) % 6]};
    if (choice & 0x80)
        options.intParamGo = {ts[(choice >> 5) % 6]};
    const std::string text = in.ConsumeRemainingBytesAsString();

    auto table = satfunc::parameterTableFromCsv(text, "fuzz.csv");
    if (auto* refusal = std::get_if<Refusal>(&table)) {
        fuzz::require(!refusal->message.empty(), "a refusal says why");
        return 0;
    }
    const auto& parameters = std::get<satfunc::ParameterTable>(table);
    if (!parameters.scal) {
        options.intParamWo.clear();
        options.intParamGo.clear();
    }
    auto regions = satfunc::regionCurves(parameters, options);
    if (std::holds_alternative<Refusal>(regions))
        return 0;
    const auto& curves = std::get<std::vector<satfunc::RegionCurves>>(regions);
    auto file = satfunc::includeFile(parameters, curves, options);
    if (auto* written = std::get_if<std::string>(&file)) {
        std::string lower = *written;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        // Outside comments no NaN or infinity may reach the deck.
        std::size_t start = 0;
        while (start < lower.size()) {
            const std::size_t end = std::min(lower.find('\n', start), lower.size());
            const std::string_view line(lower.data() + start, end - start);
            if (!line.starts_with("--"))
                fuzz::require(line.find("nan") == std::string_view::npos &&
                                  line.find("inf") == std::string_view::npos,
                              "every value written is a number", std::string(line));
            start = end + 1;
        }
        fuzz::require(written->find("TABDIMS needs at least " + std::to_string(curves.size())) !=
                          std::string::npos,
                      "the head counts every region");
    }
    return 0;
}
