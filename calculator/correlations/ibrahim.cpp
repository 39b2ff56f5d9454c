#include "calculator/correlations/correlations.h"
#include "calculator/correlations/limits.h"
#include "calculator/correlations/terms.h"

#include <cmath>

namespace relperm {

std::optional<Refusal> checkIbrahim(const CorrelationInputs& in, std::int16_t wettabilityCode,
                                    std::int16_t isSandstone) {
    const char* name = "Mohamad Ibrahim/Varnholt";
    if (auto r = requireGasSpan(in))
        return r;
    const int code = wettabilityCode;
    // Where a krw divides by phi or raises it to a real power, or takes ln k, both must be
    // positive; elsewhere they enter only as factors and must not be negative.
    const bool positivePhi = isSandstone == 1 ? (code == 1 || code == 2) : (code == 1 || code == 3);
    const bool logK = isSandstone == 1 ? (code == 1 || code == 2) : code != 2;
    if (auto r = requirePorosity(in, name,
                                 positivePhi ? Requirement::Positive : Requirement::NotNegative))
        return r;
    const bool usesK = logK || isSandstone != 1; // the carbonate krg has a term in k
    if (!usesK)
        return std::nullopt;
    return requirePermeability(in, name, logK ? Requirement::Positive : Requirement::NotNegative);
}

namespace {

using std::pow;

struct WaterOil {
    double krw;
    double krow;
};

// Carbonate water-oil pair for the wettability code, at the normalised water saturation s.
WaterOil carbonateWaterOil(int code, double s, double phi, double lnk, double swc, double sorw) {
    switch (code) {
    case 1:
        return {0.1163954 * pow(s, 4) + 2.66958338 * pow(s, 0.8) * pow(swc * sorw, 2) +
                    0.47536676 * s * pow(swc * lnk, 2) - 0.3912824 * s * pow(swc * lnk, 3) +
                    752.014909 * pow(swc * s, 2) * pow(phi, 3) -
                    398.40214 * pow(phi, 2.5) * pow(swc, 2) * pow(s, 2.2) -
                    152.43629 * pow(phi * sorw, 3) * pow(s, 2.7) + 0.22964285 * pow(sorw, 0.5) * s,
                1 - 2.65253 * s + 2.4720911 * pow(s, 2) - 0.814367 * pow(s, 3)};
    case 2:
        return {0.28483482 * sorw * s - 0.0324527 * s + 0.07113168 * pow(s, 1.5) -
                    2.2461759 * swc * pow(sorw, 1.7) * pow(s, 2),
                1 - 0.7233267 * s - 1.7720584 * pow(s, 2) + 1.50407908 * pow(s, 3)};
    case 3:
        // The power 2.5 applies to the product Swc * S.
        return {0.46689293 * lnk * swc * s - 0.0589939 * s -
                    0.1938748 * s * pow(phi, 1.5) * pow(sorw * lnk, 2) + 0.24253563 * pow(s, 3) -
                    0.195414 * pow(s, 0.9) * pow(swc * lnk, 2) +
                    66.6228413 * phi * sorw * s * pow(swc, 2) -
                    111.26159 * pow(phi, 1.5) * pow(swc * s, 2.5) +
                    125.291504 * s * pow(sorw, 2.5) * pow(phi, 3),
                1 - 4.985409 * s + 21.322192 * pow(s, 2) - 29.04644 * pow(s, 2.5) +
                    11.723526 * pow(s, 3)};
    default:
        return {0.2178721 * pow(s, 0.4) + 0.00536612 * pow(lnk, 2) * pow(s, 0.5) -
                    9.7494266 * pow(s, 0.7) * pow(sorw * swc, 2) -
                    5.1295364 * s * phi * pow(sorw, 2) -
                    4.5717726 * phi * pow(s, 0.5) * pow(swc, 2) + 0.57604803 * pow(s, 1.5),
                1 - 8.6102768 * s + 87.9417721 * pow(s, 2) - 207.03656 * pow(s, 2.5) +
                    187.099163 * pow(s, 3) - 60.388661 * pow(s, 3.5)};
    }
}

// Sandstone water-oil pair for the wettability code, at the normalised water saturation s.
WaterOil sandstoneWaterOil(int code, double s, double phi, double k, double lnk, double swc,
                           double sorw) {
    switch (code) {
    case 1:
        // The power 10 applies to the product Swc * ln k; the term 1161.07198 * (...)^2
        // squares the whole product phi^2 * Swc * Sorw * S.
        return {0.22120304 * pow(s, 1.6) + 0.24933592 * pow(sorw, 2) * pow(s, 3) / phi +
                    21.370925 * pow(s, 2) * pow(sorw, 5) +
                    83.491972 * pow(phi, 4) * pow(s, 5) * pow(sorw, 1.5) -
                    0.4562939 * pow(swc, 3) * pow(s, 4) +
                    1161.07198 * pow(pow(phi, 2) * swc * sorw * s, 2) -
                    8.7866012 * pow(sorw, 3) * pow(s, 2.3) +
                    5.78e-06 * pow(s, 3) * pow(swc * lnk, 10) * pow(1 - sorw, 0.4) -
                    12.841061 * pow(s, 2) * pow(swc * lnk, 3) * pow(phi, 6),
                1 - 3.090996 * s + 2.8670229 * pow(s, 1.6) - 0.768952 * pow(s, 2)};
    case 2:
        return {0.09101641 * pow(s, 1.5) - 0.1841405 * pow(phi, 0.5) * pow(s, 1.4) -
                    0.0001629 * s * k * pow(swc, 2.6) - 1.1810931 * pow(sorw, 3) * pow(s, 1.5) +
                    0.64933067 * pow(sorw, 5) * pow(s, 2.5) / phi + 2.12270704 * pow(phi, 6) * s +
                    0.01375097 * lnk * s,
                1 - 2.1529 * s + 0.6389135 * pow(s, 2) + 1.4345325 * pow(s, 3) -
                    0.919704 * pow(s, 4)};
    case 3:
        return {0.2441795 * s - 0.355058 * pow(s, 2) + 0.5117625 * pow(s, 3),
                1 - 2.985766 * s + 3.1548084 * pow(s, 2) - 1.171486 * pow(s, 3)};
    default:
        return {0.3643225 * s - 0.7458182 * pow(s, 2) + 1.06090802 * pow(s, 3),
                1 - 3.254725 * s + 3.8176666 * pow(s, 2) - 1.563216 * pow(s, 3)};
    }
}

} // namespace

void ComputeIbrahim(const CorrelationInputs& in, Tables& t, std::int16_t wettabilityCode,
                    std::int16_t isSandstone) {
    const bool sandstone = isSandstone == 1;
    const double phi = in.porosity, k = in.permeability, swc = in.swc, sorw = in.sorw;
    const double sorg = in.sorg, sgc = in.sgc;
    // ln k is needed only by the equations that the checks let through with k > 0.
    const double lnk = k > 0 ? std::log(k) : 0;

    for (int i = 1; i <= t.nWaterOil; ++i) {
        const double s = (t.swTable[i] - swc) / (1 - swc - sorw);
        const WaterOil w = sandstone ? sandstoneWaterOil(wettabilityCode, s, phi, k, lnk, swc, sorw)
                                     : carbonateWaterOil(wettabilityCode, s, phi, lnk, swc, sorw);
        t.krwTable[i] = w.krw;
        t.krowTable[i] = w.krow;
    }
    for (int j = 1; j <= t.nGasLiquid; ++j) {
        const double sg = t.sgTable[j];
        const double so = 1 - sg / (1 - swc - sorg);
        const double g = floorAtZero((sg - sgc) / (1 - swc - sorg - sgc));
        if (sandstone) {
            t.krogTable[j] = 0.1599039 * so - 1.045545 * pow(so, 2) + 4.0843698 * pow(so, 3) -
                             5.414161 * pow(so, 4) + 3.2103149 * pow(so, 5);
            t.krgTable[j] = 0.9396949 * pow(g, 2) - 0.774167 * sorg * pow(g, 2) -
                            1.216298 * swc * pow(g, 2) + 1.1628119 * phi * pow(g, 2) -
                            1.248192 * sgc * pow(g, 2);
        } else {
            t.krogTable[j] = 4.465936 * pow(so, 2) - 0.252752 * so - 22.93637 * pow(so, 3) +
                             53.000956 * pow(so, 4) - 55.19912 * pow(so, 5) +
                             21.917911 * pow(so, 6);
            t.krgTable[j] = 0.3296593 * pow(g, 2) - 0.001723 * k * pow(g, 2) + 2.0568057 * swc * g +
                            1.2314265 * phi * pow(g, 2);
        }
    }
    floorKrColumns(t);
}

} // namespace relperm
