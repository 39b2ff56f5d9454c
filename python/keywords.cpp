#include "python/keywords.h"

#include "cli/commands.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace py = pybind11;

namespace relperm::python {

void raise(const cli::Failure& failure) {
    if (failure.status == cli::exitFileError)
        throw Unreadable(failure.message);
    throw Refused(failure.message);
}

std::string optionText(const py::handle& value) {
    if (py::isinstance<py::str>(value))
        return value.cast<std::string>();
    if (py::isinstance<py::bool_>(value))
        return value.cast<bool>() ? "1" : "0";
    if (py::isinstance<py::int_>(value))
        return py::str(value).cast<std::string>();
    if (py::isinstance<py::float_>(value) || py::hasattr(value, "__float__")) {
        const double v = value.cast<double>();
        if (!std::isfinite(v))
            return py::str(value).cast<std::string>(); // refused by the reader as text
        char text[32];
        const auto written = std::to_chars(text, text + sizeof text, v);
        return std::string(text, written.ptr);
    }
    return py::str(value).cast<std::string>();
}

void addKeywords(cli::Options& options, const py::kwargs& keywords, const char* function,
                 const std::vector<std::string>& names, const std::vector<std::string>& switches) {
    const auto among = [](const std::string& name, const std::vector<std::string>& list) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    for (const auto& [key, value] : keywords) {
        std::string name = key.cast<std::string>();
        for (char& c : name)
            if (c == '_')
                c = '-';
        if (among(name, switches)) {
            if (PyObject_IsTrue(value.ptr()) == 1)
                options.switches.insert(name);
        } else if (among(name, names)) {
            if (!value.is_none())
                options.values[name] = optionText(value);
        } else {
            throw py::type_error(std::string(function) + "() got an unexpected keyword argument '" +
                                 key.cast<std::string>() + "'");
        }
    }
}

} // namespace relperm::python
