#include "Arguments.h"

#include "DecimalText.h"
#include "GridSweep.h"
#include "OneLine.h"

#include <string>

namespace py = pybind11;

namespace cosmophase::python {

namespace {

bool isText(py::handle value)
{
    return py::isinstance<py::str>(value) || py::isinstance<py::bytes>(value);
}

std::string typeName(py::handle value)
{
    return py::str(py::type::handle_of(value).attr("__name__"));
}

// After a failed conversion: the value is not a number at all (nothing
// raised, or TypeError), or its own conversion raised, which goes on as is.
void notANumber()
{
    if (PyErr_Occurred() && !PyErr_ExceptionMatches(PyExc_TypeError))
        throw py::error_already_set();
    PyErr_Clear();
}

// A real number as a double (numpy's scalars too); strings are not numbers.
double realNumber(py::handle value, const char* name)
{
    if (!isText(value)) {
        const double number = PyFloat_AsDouble(value.ptr());
        if (!(number == -1.0 && PyErr_Occurred()))
            return number;
        if (PyErr_ExceptionMatches(PyExc_OverflowError)) { // an integer beyond the doubles
            PyErr_Clear();
            throw py::value_error(std::string(name) + " is beyond the range of a double");
        }
        notANumber();
    }
    throw py::type_error(std::string(name) + " must be a real number, not " + typeName(value));
}

// An integer's decimal digits, for the checks the command line applies to
// its text; numpy's integers count, floats do not.
std::string integerText(py::handle value, const char* name)
{
    PyObject* index = isText(value) ? nullptr : PyNumber_Index(value.ptr());
    if (!index) {
        notANumber();
        throw py::type_error(std::string(name) + " must be an integer, not " + typeName(value));
    }
    return py::str(py::reinterpret_steal<py::object>(index));
}

// The shortest text that reads back as the double, as the command line
// would be given it; "nan" and "inf" are refused by its parsers.
std::string numberText(py::handle value, const char* name)
{
    return accelerationText(realNumber(value, name));
}

bool isSequence(py::handle value)
{
    return !isText(value) && PySequence_Check(value.ptr());
}

// A grid from the command line's text, the user's own or one made from
// numbers; the message names the text only when the user typed it.
studies::ParameterGrid parsedGrid(const studies::GridParse& parse, const char* name, py::handle original,
                                  const std::string& text)
{
    if (parse.grid)
        return *parse.grid;
    const std::string shown = py::isinstance<py::str>(original) ? " '" + escapeControlCharacters(text) + "'"
                              : isSequence(original)             ? std::string()
                                                                 : " = " + text;
    throw py::value_error(std::string(name) + shown + ": " + parse.error);
}

template <class ItemText>
std::string gridText(py::handle value, const char* name, ItemText itemText)
{
    if (py::isinstance<py::str>(value))
        return value.cast<std::string>();
    if (!isSequence(value))
        return itemText(value, name);
    std::string text;
    for (const py::handle item : py::reinterpret_borrow<py::sequence>(value)) {
        if (!text.empty())
            text += ',';
        text += itemText(item, name);
    }
    return text;
}

} // namespace

RunParameters runParameters(py::handle q, py::handle T)
{
    const std::string qText = numberText(q, "q");
    const std::string TText = integerText(T, "T");
    const ParsedValue<double> parsedQ = parseAcceleration(qText);
    if (!parsedQ.value)
        throw py::value_error("q = " + qText + ": " + parsedQ.error);
    const ParsedValue<std::int32_t> parsedT = parseTemperature(TText);
    if (!parsedT.value)
        throw py::value_error("T = " + TText + ": " + parsedT.error);
    const RunParameters parameters{*parsedQ.value, *parsedT.value};
    if (const std::string outside = ParameterDomain::check(parameters); !outside.empty())
        throw py::value_error("q = " + qText + ", T = " + TText + ": " + outside);
    return parameters;
}

studies::ParameterGrid accelerationGrid(py::handle q)
{
    const std::string text = gridText(q, "q", numberText);
    return parsedGrid(studies::GridParse::acceleration(text), "q", q, text);
}

studies::ParameterGrid temperatureGrid(py::handle T)
{
    const std::string text = gridText(T, "T", integerText);
    return parsedGrid(studies::GridParse::temperature(text), "T", T, text);
}

unsigned threadCount(py::handle threads)
{
    if (threads.is_none())
        return studies::machineCores();
    const std::string text = integerText(threads, "threads");
    const long long n = text.size() > 5 ? 0 : std::stoll(text);
    if (n < 1 || n > studies::kMaxStudyThreads)
        throw py::value_error("threads needs a whole number from 1 to 1024, not " + text);
    return static_cast<unsigned>(n);
}

bool flag(py::handle value, const char* name)
{
    if (PyBool_Check(value.ptr()) || typeName(value) == "bool_") // numpy's too
        return PyObject_IsTrue(value.ptr()) == 1;
    throw py::type_error(std::string(name) + " must be True or False, not " + typeName(value));
}

double finiteNumber(py::handle value, const char* name)
{
    const std::string text = numberText(value, name);
    double number = 0;
    if (readFiniteDecimal(text, number) != DecimalError::None)
        throw py::value_error(std::string(name) + " needs a finite decimal number, not " + text);
    return number;
}

studies::SolveRequest solveRequest(py::handle age, py::handle q0, py::handle xi0, py::handle T,
                                   py::handle threads)
{
    studies::SolveRequest request;
    int targets = 0;
    const std::pair<py::handle, studies::SolveQuantity> given[] = {
        {age, studies::SolveQuantity::Age}, {q0, studies::SolveQuantity::Q0}, {xi0, studies::SolveQuantity::Xi0}};
    const char* names[] = {"age", "q0", "xi0"};
    for (int i = 0; i < 3; ++i) {
        if (given[i].first.is_none())
            continue;
        ++targets;
        request.target = finiteNumber(given[i].first, names[i]);
        request.quantity = given[i].second;
    }
    if (targets != 1)
        throw py::value_error("solve needs exactly one of age, q0 and xi0");
    const std::string TText = integerText(T, "T");
    const ParsedValue<std::int32_t> parsedT = parseTemperature(TText);
    if (!parsedT.value)
        throw py::value_error("T = " + TText + ": " + parsedT.error);
    request.temperature = *parsedT.value;
    request.threads = threadCount(threads);
    return request;
}

} // namespace cosmophase::python
