#include "satfunc/capillary.h"

#include "common/numbers.h"
#include "satfunc/rows.h"

#include <cmath>

namespace relperm::satfunc {

namespace {

std::string n(double v) {
    return formatGeneral(v);
}

Refusal refused(const std::string& input, const std::string& message) {
    return Refusal{input, message};
}

double simpleJ(const SimpleJ& j, double swn) {
    double a = j.a, b = j.b;
    if (j.petrophysical) {
        a = std::pow(1 / j.a, 1 / j.b);
        b = 1 / j.b;
    }
    const double J = a * std::pow(swn, b);
    const double height = J * std::sqrt(j.poroRef / j.permRef); // metres
    return height * j.drho / 1000 * j.g / 100;
}

double normalisedJ(const NormalisedJ& j, double swn) {
    const double k = j.perm / 1000 * 9.869233e-13; // mD to m2
    return std::pow(swn / j.a, 1 / j.b) / std::sqrt(k / j.poro) * j.sigmaCostau / 1000 * 1e-5;
}

double letDrainage(const LetDrainage& m, double x) {
    const double ff = std::pow(1 - x, m.lp) / (std::pow(1 - x, m.lp) + m.ep * std::pow(x, m.tp));
    const double ft = std::pow(x, m.lt) / (std::pow(x, m.lt) + m.et * std::pow(1 - x, m.tt));
    return (m.pcmax - m.pct) * ff - m.pct * ft + m.pct;
}

double letImbibition(const LetImbibition& m, double y) {
    const double fs = std::pow(1 - y, m.ls) / (std::pow(1 - y, m.ls) + m.es * std::pow(y, m.ts));
    const double ff = std::pow(y, m.lf) / (std::pow(y, m.lf) + m.ef * std::pow(1 - y, m.tf));
    return (m.pcmax - m.pct) * fs + (m.pcmin - m.pct) * ff + m.pct;
}

struct Evaluate {
    const std::vector<double>& sw;
    const CapillaryEnds& e;

    double swn(double s) const { return (s - e.swirr) / (1 - e.swirr); }

    std::variant<std::vector<double>, Refusal> operator()(std::monostate) const {
        return std::vector<double>(sw.size(), 0.0);
    }
    std::variant<std::vector<double>, Refusal> operator()(const SimpleJ& j) const {
        if (e.swl < epsilon)
            return refused("swl", "The J function needs swl above 0: at Sw = 0 its Pc is "
                                  "infinite.");
        if (j.petrophysical && j.b > 0)
            return refused("b_petro", "b_petro must be negative; it is " + n(j.b) + ".");
        if (!(std::abs(j.b) < 1e4))
            return refused(j.petrophysical ? "b_petro" : "b",
                           "The J function's exponent must lie within -10000 to 10000.");
        if (!(j.poroRef >= 0 && j.poroRef <= 1))
            return refused("poro_ref",
                           "poro_ref must be a fraction from 0 to 1; it is " + n(j.poroRef) + ".");
        if (!(j.permRef > 0))
            return refused("perm_ref", "perm_ref must be above 0 mD; it is " + n(j.permRef) + ".");
        std::vector<double> pc;
        for (double s : sw)
            pc.push_back(simpleJ(j, swn(s)));
        return pc;
    }
    std::variant<std::vector<double>, Refusal> operator()(const NormalisedJ& j) const {
        if (j.b < 0 && close(e.swl, e.swirr))
            return refused("b", "With b below 0 the normalised J function needs swl above "
                                "swirr: at swirr its Pc is infinite.");
        std::vector<double> pc;
        for (double s : sw)
            pc.push_back(normalisedJ(j, swn(s)));
        return pc;
    }
    std::variant<std::vector<double>, Refusal> operator()(const LetDrainage& m) const {
        if (m.pct > m.pcmax)
            return refused("pcowt", "pcowt may not exceed pcowmax (" + n(m.pcmax) + "); it is " +
                                        n(m.pct) + ".");
        std::vector<double> pc;
        for (double s : sw) {
            const double krwSwn = (s - e.swcr) / (1 - e.swcr - e.sorw);
            pc.push_back(krwSwn < epsilon ? m.pcmax : letDrainage(m, swn(s)));
        }
        return pc;
    }
    std::variant<std::vector<double>, Refusal> operator()(const LetImbibition& m) const {
        if (!(m.pcmin <= m.pct && m.pct <= m.pcmax))
            return refused("pcowt", "pcowt must lie from pcowmin (" + n(m.pcmin) +
                                        ") to pcowmax (" + n(m.pcmax) + "); it is " + n(m.pct) +
                                        ".");
        std::vector<double> pc;
        for (double s : sw) {
            const double y = (s - e.swirr) / (1 - e.sorw - e.swirr);
            pc.push_back(y < epsilon ? m.pcmax : y > 1 - epsilon ? m.pcmin : letImbibition(m, y));
        }
        return pc;
    }
    std::variant<std::vector<double>, Refusal> operator()(const Skjaeveland& m) const {
        const double swr = e.swirr, sor = e.sorw;
        if (m.cw < 0)
            return refused("cw", "cw may not be below 0; it is " + n(m.cw) + ".");
        if (m.co > 0)
            return refused("co", "co may not be above 0; it is " + n(m.co) + ".");
        if (!(m.aw > 0))
            return refused("aw", "aw must be above 0; it is " + n(m.aw) + ".");
        if (!(m.ao > 0))
            return refused("ao", "ao must be above 0; it is " + n(m.ao) + ".");
        if (!(swr >= 0 && swr <= 1 && sor >= 0 && sor <= 1) || swr >= 1 - sor)
            return refused("swirr", "Skjaeveland's Pc needs swirr and sorw from 0 to 1 with "
                                    "swirr below 1 - sorw.");
        std::vector<double> pc;
        for (double s : sw) {
            if (s < 1 - sor) {
                const double u = (s - swr) / (1 - swr);
                const double v = (1 - s - sor) / (1 - sor);
                pc.push_back(m.cw / std::pow(u, m.aw) + m.co / std::pow(v, m.ao));
            } else {
                pc.push_back(pc.empty() ? 0 : pc.back());
            }
        }
        return pc;
    }
};

} // namespace

std::variant<std::vector<double>, Refusal> capillaryPressure(const Capillary& model,
                                                             const std::vector<double>& sw,
                                                             const CapillaryEnds& ends) {
    auto result = std::visit(Evaluate{sw, ends}, model);
    if (auto* pc = std::get_if<std::vector<double>>(&result))
        for (std::size_t i = 0; i < pc->size(); ++i)
            if (!std::isfinite((*pc)[i]))
                return Refusal{"pc", "The capillary pressure at Sw " + n(sw[i]) + " is " +
                                         n((*pc)[i]) +
                                         ", not a finite number: " + capillaryText(model) + "."};
    return result;
}

std::string capillaryText(const Capillary& model) {
    struct Text {
        std::string operator()(std::monostate) const { return "Zero capillary pressure"; }
        std::string operator()(const SimpleJ& j) const {
            return std::string(j.petrophysical ? "Petrophysical simple J" : "Simple J") +
                   " Pc in bar: a=" + n(j.a) + " b=" + n(j.b) + " poro_ref=" + n(j.poroRef) +
                   " perm_ref=" + n(j.permRef) + " mD drho=" + n(j.drho) + " kg/m3 g=" + n(j.g) +
                   " m/s2";
        }
        std::string operator()(const NormalisedJ& j) const {
            return "Normalised J Pc in bar: a=" + n(j.a) + " b=" + n(j.b) + " poro=" + n(j.poro) +
                   " perm=" + n(j.perm) + " mD sigma_costau=" + n(j.sigmaCostau) + " mN/m";
        }
        std::string operator()(const LetDrainage& m) const {
            return "LET primary drainage Pc: Lp=" + n(m.lp) + " Ep=" + n(m.ep) + " Tp=" + n(m.tp) +
                   " Lt=" + n(m.lt) + " Et=" + n(m.et) + " Tt=" + n(m.tt) + " Pcmax=" + n(m.pcmax) +
                   " Pct=" + n(m.pct);
        }
        std::string operator()(const LetImbibition& m) const {
            return "LET imbibition Pc: Ls=" + n(m.ls) + " Es=" + n(m.es) + " Ts=" + n(m.ts) +
                   " Lf=" + n(m.lf) + " Ef=" + n(m.ef) + " Tf=" + n(m.tf) + " Pcmax=" + n(m.pcmax) +
                   " Pcmin=" + n(m.pcmin) + " Pct=" + n(m.pct);
        }
        std::string operator()(const Skjaeveland& m) const {
            return "Skjaeveland Pc: cw=" + n(m.cw) + " co=" + n(m.co) + " aw=" + n(m.aw) +
                   " ao=" + n(m.ao);
        }
    };
    return std::visit(Text{}, model);
}

} // namespace relperm::satfunc
