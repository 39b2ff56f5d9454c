// import relperm: the bindings and what help() shows of them.
#include "common/version.h"
#include "python/calls.h"
#include "python/keywords.h"

#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

namespace py = pybind11;
using namespace relperm::python;

namespace {

const char* moduleDoc =
    R"(relative permeability tables, data sets, fits and SCAL cases, in the process

The functions of the relperm command line over the same libraries, for notebooks
and for workflows that write tables for many model realisations: values come
back as numpy arrays, dicts and lists, not as text to parse.

FUNCTIONS
    run(args)                    any relperm command: (status, stdout, stderr)
    generate(**options)          the calculator's water-oil and gas tables
    Database(folder)             the measured-data files OWBIN, OGBIN, GWBIN, CGBIN
        .sets(system, **selection)   the matching data sets in Show order
        .count(system, **selection)  how many match
    fit(data_set, model)         Corey or LET parameters fitted to a data set
    recommend(database, system, model, **selection)
                                 the low, base and high cases of a SCAL
                                 recommendation
    tables(parameters, ...)      the include file of a parameter table
    check(path_or_text)          the simulator's checks of saturation tables

OPTIONS
    Keywords are the command line's flags with '_' for '-' (krg_sorg for
    --krg-sorg), in the command line's units: saturations in percent for
    generate and the selection's end points, fractions in parameter tables.
    A number may be given as a number or as the text typed after the flag.

ERRORS
    ValueError   input the command line refuses (its exit status 2), with the
                 command line's message without its "relperm COMMAND: " prefix
    OSError      a file that cannot be read, or records of a data file lost to
                 damage (exit status 1)
    TypeError    a keyword the function does not take
    Warnings the command line writes on standard error come as UserWarning.

THREADS
    The GIL is let go while the libraries work, so calls from several threads
    run at once; each call has its own state.

EXAMPLE
    >>> import relperm
    >>> t = relperm.generate(fluids="Water-Oil-Gas", correlation="Corey",
    ...                      swc=20, sorw=25, sorg=10, sgc=5)
    >>> t["water_oil"][:2]          # Sw, krw, krow
    >>> db = relperm.Database("build/demo")
    >>> first = db.sets("Water-Oil Data")[0]
    >>> relperm.fit(first, "corey")["nw"]

SEE ALSO
    relperm(1), vomar(1), pellam(1); the README's Python section.
)";

const char* runDoc = R"(run(args) -> (status, stdout, stderr)

Runs the relperm command line in this process: args as after the program's name,
e.g. ["db", "count", "--system", "Water-Oil Data", "--dir", "build/demo"]. Gives
the exit status (0 done, 1 a file could not be read or written, 2 input refused,
3 db show past the last match) and the bytes the program writes on standard
output and standard error, byte for byte; nothing reaches this process's own.
--out FILE writes the file as the program does.)";

const char* generateDoc = R"(generate(**options) -> dict

Builds the calculator's tables as `relperm generate` (and the window's Generate
button) does. Keywords are its options, as typed into the boxes:

    fluids        Water-Oil-Gas, Water-Gas or Gas-Condensate
    correlation   Mohamad Ibrahim/Varnholt, Honarpour/Varnholt/Harvey, Rose,
                  Wyllie or Corey
    wettability   e.g. "Water Wet", "Oil Wet"
    formation     Sandstone or Carbonate
    title         the run title
    porosity      percent (20 for 20%)
    permeability  md
    swc, sorw, sorg, sgc
                  end-point saturations, percent; swc is Slc for Gas-Condensate
    krg_sorg      krg at Sorg, fraction
    spacing       saturation spacing, percent (default 5)
    run           a run file to start from, as Open does

Returns {"water_oil": ndarray (n, 3), "gas": ndarray (m, 3)}, fractions:
    water_oil     Sw, krw, krow (no rows unless fluids is Water-Oil-Gas)
    gas           Water-Oil-Gas: Sg, krg, krog; Water-Gas: Sg, krg, krw;
                  Gas-Condensate: Sg, krg, krcg

End points all below 1% warn (UserWarning): they are percent, not fractions.
Raises ValueError for values the calculator refuses, OSError for an unreadable
run file.)";

const char* databaseDoc = R"(Database(folder)

The measured-data files of a folder (OWBIN, OGBIN, GWBIN, CGBIN), as the browser
and `relperm db` read them. OSError when the folder does not exist.

system is "Water-Oil Data", "Gas-Oil Data", "Gas-Water Data" or
"Gas-Condensate Data". The selection keywords are the browser's, as for
`relperm db`:

    location      0-6: North America, South America, Africa, Asia, Europe,
                  Australia (0, the default, is all)
    method        0-2: Steady State, Unsteady State
    lithology     0-4: Sandstone, Limestone, Dolomite, Shale
    wettability   0-3: Water-Wet, Intermediate (Mixed) Wet, Oil-Wet
                  (Water-Oil Data only)
    search_percent=True, tolerance, swc, sor, sgc
                  end points within the tolerance (percentage points) of
                  yours, percent)";

const char* setsDoc = R"(sets(system, **selection) -> list[DataSet]

Every data set that matches, in the order Show steps through them (the rows of
`relperm db list`), with its points read. OSError when records of the file are
damaged.)";

const char* countDoc = R"(count(system, **selection) -> int

The number of matching data sets, as the browser's Count (`relperm db count`).)";

const char* dataSetDoc = R"(A measured data set as the data file holds it.

    system    "Water-Oil Data", ...
    match     its number among the matches: the Show after a count that shows it
    header    dict of the description's values, named as the import file names
              them (location, lithology, method texts; porosity and end points
              as fractions; k and kabs in md; None where the record has none)
    points    ndarray (k, 3) as measured: normalised saturation, kr of the
              displacing phase, kr of the other (see columns)
    columns   the names of the points' columns, e.g. ["Sw norm", "krw", "krow"])";

const char* fitDoc = R"(fit(data_set, model, weight="kr") -> dict

Fits Corey ("corey") or LET ("let") curves to a DataSet's points, as
`relperm fit` does: the set's end points as they are, the exponents and both
end kr values fitted, the bounded least-squares optimum. weight "kr" minimises
the misfit of kr, "log" that of log10 kr (kr below 1e-4 as 1e-4).

Returns the parameters named as pyscal names them (swl, sorw, nw, now, krwend,
kroend, ... for the system and model) and rms, the root-mean-square misfit of
kr. An exponent on a bound warns (UserWarning). ValueError for a set the model
cannot be fitted to.)";

const char* recommendDoc =
    R"(recommend(database, system, model, weight="kr", max_rms=None, **selection)
    -> list[dict]

A low/base/high SCAL recommendation from Corey or LET fits of every matching set
(the sets `Database.sets` gives for the same selection), as `relperm recommend`
writes its parameter file: three dicts, low, base and high, each with satnum,
case and the parameters named as pyscal names them, rms the median misfit of
the fits. pandas.DataFrame(result) is the parameter table tables() takes.
max_rms leaves out sets fitted worse. Sets left out, exponents on a bound and
cases whose end points were scaled warn (UserWarning). ValueError when no set
can be fitted.)";

const char* tablesDoc = R"(tables(parameters, family=None, delta_s=None, slgof=False,
       int_param_wo=None, int_param_go=None, sheet=None) -> str

The simulator include file of a parameter table, as `relperm tables` writes it:
every SATNUM region, capillary pressure, the keyword family asked for.

    parameters    a path (CSV or .xlsx), a pandas DataFrame, or a list of dicts,
                  one per row; columns named as pyscal names them, in any case
                  (SATNUM, CASE, swl, sorw, nw, now, ...). Missing values (None,
                  NaN) are empty cells; rows are numbered in messages as in a
                  file, the column names being row 1.
    family        1: SWOF and SGOF (the default); 2: SWFN, SGFN and SOF3
    delta_s       the saturation step of the rows, a fraction (default: each
                  row's h column, else 0.01)
    slgof         family 1 with SLGOF instead of SGOF
    int_param_wo  a SCAL recommendation's water-oil case: -1 low, 0 base, 1 high,
                  between interpolated; one number or one per SATNUM
    int_param_go  the same for the gas-oil curves (default: int_param_wo)
    sheet         the workbook's sheet (default: the first)

ValueError names the row and column of a missing or impossible parameter;
OSError when the file cannot be read.)";

const char* checkDoc = R"(check(path_or_text) -> list[dict]

The checks a simulator makes of saturation tables (SWOF, SGOF, SLGOF, SWFN,
SGFN, SOF3, SOF2, SGWFN), as `relperm deck check` makes them, of an include file
or a .DATA deck (a path, its INCLUDE files read too) or of a deck's text (a str
holding a line break; it cannot include files). Returns one dict per finding:
keyword, satnum, row, file, line, check (a short name such as "kr-direction")
and detail; an empty list when every check holds. ValueError for text that is
no saturation tables, OSError for a file that cannot be read.)";

} // namespace

PYBIND11_MODULE(relperm, m) {
    // Each docstring starts with its signature, in Python's words.
    py::options options;
    options.disable_function_signatures();
    m.doc() = moduleDoc;
    m.attr("__version__") = relperm::suiteVersion;

    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown)
                std::rethrow_exception(thrown);
        } catch (const Unreadable& e) {
            PyErr_SetString(PyExc_OSError, e.what());
        } catch (const Refused& e) {
            PyErr_SetString(PyExc_ValueError, e.what());
        }
    });

    m.def("run", &run, runDoc, py::arg("args"));
    m.def("generate", &generate, generateDoc);

    py::class_<DataSet>(m, "DataSet", dataSetDoc)
        .def_property_readonly("system", &DataSet::systemText)
        .def_property_readonly("match", [](const DataSet& s) { return s.row.match; })
        .def_property_readonly("header", &DataSet::header)
        .def_property_readonly("points", &DataSet::points)
        .def_property_readonly("columns", &DataSet::columns)
        .def("__repr__", &DataSet::repr);

    py::class_<Database>(m, "Database", databaseDoc)
        .def(py::init<const py::object&>(), py::arg("folder"))
        .def_property_readonly("folder", &Database::folder)
        .def("sets", &Database::sets, setsDoc, py::arg("system"))
        .def("count", &Database::count, countDoc, py::arg("system"));

    m.def("fit", &fit, fitDoc, py::arg("data_set"), py::arg("model"), py::arg("weight") = "kr");
    m.def("recommend", &recommend, recommendDoc, py::arg("database"), py::arg("system"),
          py::arg("model"));
    m.def("tables", &tables, tablesDoc, py::arg("parameters"), py::arg("family") = py::none(),
          py::arg("delta_s") = py::none(), py::arg("slgof") = false,
          py::arg("int_param_wo") = py::none(), py::arg("int_param_go") = py::none(),
          py::arg("sheet") = py::none());
    m.def("check", &check, checkDoc, py::arg("path_or_text"));
}
