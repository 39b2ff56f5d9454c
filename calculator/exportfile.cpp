#include "calculator/exportfile.h"

#include "common/csv.h"

namespace relperm {

std::string exportFileText(const Tables& t) {
    CsvWriter out;
    out.text("Sw  krw  krow").integer(t.nWaterOil).endLine();
    for (int i = 1; i <= t.nWaterOil; ++i)
        out.number(t.swTable[i]).number(t.krwTable[i]).number(t.krowTable[i]).endLine();
    out.text("Sl krog krg").integer(t.nGasLiquid).endLine();
    for (int i = t.nGasLiquid; i >= 1; --i)
        out.number(1 - t.sgTable[i]).number(t.krogTable[i]).number(t.krgTable[i]).endLine();
    return out.str();
}

} // namespace relperm
