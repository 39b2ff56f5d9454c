// The functions of `import relperm`: each reads its Python arguments into what the command
// line would hand the core, lets go of the GIL while the core works, and gives the core's
// results as Python values (numpy arrays, dicts, lists), never as text to parse.
#pragma once

#include "database/datafile.h"
#include "database/matchlist.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace relperm::python {

// The command line in the process: exit status, standard output, standard error.
std::tuple<int, pybind11::bytes, pybind11::bytes> run(const std::vector<std::string>& args);

pybind11::dict generate(const pybind11::kwargs& options);

// One measured set as a read of the data file passes it.
struct DataSet {
    TwoPhaseSystem system = TwoPhaseSystem::WaterOil;
    MeasuredDataSet set;
    MatchRow row;

    pybind11::dict header() const;
    pybind11::array_t<double> points() const;
    std::vector<std::string> columns() const;
    std::string systemText() const { return std::string(systemListText(system)); }
    std::string repr() const;
};

class Database {
  public:
    explicit Database(const pybind11::object& folder);

    std::vector<DataSet> sets(const std::string& system, const pybind11::kwargs& selection) const;
    int count(const std::string& system, const pybind11::kwargs& selection) const;
    const std::filesystem::path& folder() const { return folder_; }

  private:
    std::filesystem::path folder_;
};

pybind11::dict fit(const DataSet& set, const std::string& model, const std::string& weight);

pybind11::list recommend(const Database& database, const std::string& system,
                         const std::string& model, const pybind11::kwargs& options);

std::string tables(const pybind11::object& parameters, const pybind11::object& family,
                   const pybind11::object& deltaS, bool slgof, const pybind11::object& intParamWo,
                   const pybind11::object& intParamGo, const pybind11::object& sheet);

pybind11::list check(const pybind11::object& pathOrText);

} // namespace relperm::python
