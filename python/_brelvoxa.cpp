// brelvoxa._brelvoxa: libbrelvoxa's C interface for Python texts, under the module
// brelvoxa (brelvoxa/__init__.py), which gives it its Python shape. A result is
// built as the module's named tuple straight from C; check_many checks a batch of
// items at a time with the GIL released.

#include "brelvoxa.h"

#include <pybind11/pybind11.h>

#include <array>
#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace py = pybind11;

namespace {

// The Python names of the statuses, in the C order; the C enumerators' own names.
#define BRV_NOM(estat)                                                                             \
    std::pair {                                                                                    \
        BRV_##estat, #estat                                                                        \
    }
constexpr std::array nomsEstats{
    BRV_NOM(CORRECT),
    BRV_NOM(UNKNOWN_ENTITY),
    BRV_NOM(WRONG_CONTROL_DIGITS),
    BRV_NOM(WRONG_IBAN_DIGITS),
    BRV_NOM(ALL_ZEROS),
    BRV_NOM(FOREIGN_CORRECT),
    BRV_NOM(FOREIGN_MALFORMED),
    BRV_NOM(NOT_AN_ACCOUNT),
    BRV_NOM(NO_ACCOUNT),
    BRV_NOM(UNCLOSED_QUOTE),
    BRV_NOM(MISSING_COLUMNS),
    BRV_NOM(TOO_LONG),
    BRV_NOM(SCIENTIFIC_NOTATION),
    BRV_NOM(WRONG_NATIONAL_DIGITS),
};
#undef BRV_NOM
static_assert(nomsEstats.size() == BRV_STATUS_COUNT, "every status has its Python name");
static_assert([] {
    for (std::size_t i = 0; i < nomsEstats.size(); ++i)
        if (nomsEstats[i].first != static_cast<brv_status>(i))
            return false;
    return true;
}());

// What brelvoxa/__init__.py made: the named tuple type and the Status members in the
// C order. Held for the life of the process.
PyTypeObject* tipusResultat = nullptr;
std::array<PyObject*, BRV_STATUS_COUNT> membresEstat{};

// Drops the error an item's own method raised: it makes the item no text, not the
// call a failure. KeyboardInterrupt and SystemExit go on.
void descartarError() {
    if (!PyErr_ExceptionMatches(PyExc_Exception))
        throw py::error_already_set();
    PyErr_Clear();
}

// Whether an item is a missing value of a column: NaN of any type and pandas' NaT
// are not equal to themselves; pandas' NA compares as NA, which has no truth value
// (a TypeError). An item that cannot be compared at all is not missing.
bool falta(PyObject* item) {
    PyObject* diferent = PyObject_RichCompare(item, item, Py_NE);
    const int cert = diferent ? PyObject_IsTrue(diferent) : -1;
    Py_XDECREF(diferent);
    if (cert >= 0)
        return cert == 1;
    const bool na = PyErr_ExceptionMatches(PyExc_TypeError);
    descartarError();
    return na;
}

// A str's UTF-8 bytes as CPython keeps them with it (an ASCII str's own); a str that
// has no UTF-8 form (a lone surrogate) is a byte that is not UTF-8.
std::string_view utf8(PyObject* str) {
    Py_ssize_t mida = 0;
    if (const char* p = PyUnicode_AsUTF8AndSize(str, &mida))
        return {p, static_cast<std::size_t>(mida)};
    PyErr_Clear();
    return "\xFF";
}

// The UTF-8 bytes an item stands for, kept alive by `tingut`: a str's own, bytes
// as they are, nothing for a missing value (an empty cell), and for any other item
// (a number of an object column, a numpy scalar) its str(), so that an integer is
// read as its digits and a float as Python writes it. An item whose str() fails is
// no account, never an error for the rest of a column.
std::string_view llegir(PyObject* item, py::object& tingut) {
    tingut = py::reinterpret_borrow<py::object>(item);
    if (PyUnicode_Check(item))
        return utf8(item);
    if (PyBytes_Check(item))
        return {PyBytes_AS_STRING(item), static_cast<std::size_t>(PyBytes_GET_SIZE(item))};
    if (item == Py_None || (PyFloat_Check(item) && std::isnan(PyFloat_AS_DOUBLE(item))) ||
        (!PyLong_Check(item) && !PyFloat_Check(item) && falta(item)))
        return {};
    if (PyObject* str = PyObject_Str(item)) {
        tingut = py::reinterpret_steal<py::object>(str);
        return utf8(str);
    }
    descartarError();
    return "\xFF";
}

// An IBAN's characters are ASCII: copied into a new str without decoding.
PyObject* textOres(const char* text) {
    if (*text == '\0')
        Py_RETURN_NONE;
    const std::size_t mida = std::strlen(text);
    PyObject* str = PyUnicode_New(static_cast<Py_ssize_t>(mida), 127);
    if (str)
        std::memcpy(PyUnicode_DATA(str), text, mida);
    return str;
}

// A BIC or an entity's name points into the library's constant tables: each is
// made into a str once, then shared (under the GIL, as every str is).
PyObject* textEntitat(const char* text) {
    static std::unordered_map<const char*, PyObject*> fets;
    if (*text == '\0')
        Py_RETURN_NONE;
    auto [lloc, nou] = fets.try_emplace(text, nullptr);
    if (nou && !(lloc->second = PyUnicode_FromString(text))) {
        fets.erase(lloc);
        return nullptr;
    }
    Py_INCREF(lloc->second);
    return lloc->second;
}

// The named tuple for a result, made as a tuple of its type: no Python code runs.
PyObject* resultat(const brv_result& r) {
    if (!tipusResultat)
        throw py::import_error("brelvoxa._brelvoxa used before brelvoxa set it up");
    PyObject* t = tipusResultat->tp_alloc(tipusResultat, 6);
    if (!t)
        throw py::error_already_set();
    PyObject* estat = membresEstat[r.status];
    Py_INCREF(estat);
    PyTuple_SET_ITEM(t, 0, textOres(r.iban));
    PyTuple_SET_ITEM(t, 1, textOres(r.paper));
    PyTuple_SET_ITEM(t, 2, textEntitat(r.bic));
    PyTuple_SET_ITEM(t, 3, textEntitat(r.name));
    PyTuple_SET_ITEM(t, 4, estat);
    PyTuple_SET_ITEM(t, 5, textOres(r.suggestion));
    for (Py_ssize_t i = 0; i < 6; ++i)
        if (!PyTuple_GET_ITEM(t, i)) {
            Py_DECREF(t);
            throw py::error_already_set();
        }
    // Texts, None and a Status member can make no cycle through it: the collector
    // need not look at it, as it would not at a plain tuple of texts. A million
    // results otherwise cost more in collections than in their making.
    PyObject_GC_UnTrack(t);
    return t;
}

brv_result comprovar(PyObject* item) {
    py::object tingut;
    const std::string_view b = llegir(item, tingut);
    brv_result r;
    brv_check(b.data(), b.size(), &r);
    return r;
}

// Items in batches: read with the GIL, checked without it, turned into results with
// it again, then a pending signal (Ctrl+C) raised. Giving the GIL up costs a turn of
// any busy thread (its switch interval, 5 ms, more on a loaded machine) before it
// comes back, so a batch is long enough (about 0.1 s of work, 20 MB of results) for
// that to be a small share of it, and a shorter last batch is checked with the GIL
// held.
constexpr std::size_t mida = 1 << 17;

py::list comprovarMolts(const py::iterable& items) {
    if (PyUnicode_Check(items.ptr()) || PyBytes_Check(items.ptr()) ||
        PyByteArray_Check(items.ptr()))
        throw py::type_error("check_many takes an iterable of texts, not one text: "
                             "check(text) checks one");
    py::list sortida;
    py::iterator it = py::iter(items);
    std::vector<py::object> tinguts;
    std::vector<std::string_view> b;
    std::vector<brv_result> r;
    while (it != py::iterator::sentinel()) {
        tinguts.clear();
        b.clear();
        for (; b.size() < mida && it != py::iterator::sentinel(); ++it)
            b.push_back(llegir((*it).ptr(), tinguts.emplace_back()));
        r.resize(b.size());
        std::optional<py::gil_scoped_release> sense;
        if (b.size() == mida)
            sense.emplace();
        for (std::size_t i = 0; i < b.size(); ++i)
            brv_check(b[i].data(), b[i].size(), &r[i]);
        sense.reset();
        for (std::size_t i = 0; i < b.size(); ++i)
            sortida.append(py::reinterpret_steal<py::object>(resultat(r[i])));
        if (PyErr_CheckSignals() != 0)
            throw py::error_already_set();
    }
    return sortida;
}

// check and is_valid, called once a text, as plain CPython functions: pybind11's
// dispatch would cost more than the check itself. An exception becomes Python's.
template <class F> PyObject* protegit(F f) {
    try {
        return f();
    } catch (py::error_already_set& e) {
        e.restore();
    } catch (const py::builtin_exception& e) {
        e.set_error();
    } catch (const std::exception& e) {
        PyErr_SetString(PyExc_RuntimeError, e.what());
    }
    return nullptr;
}

PyObject* check(PyObject*, PyObject* text) {
    return protegit([text] { return resultat(comprovar(text)); });
}

PyObject* isValid(PyObject*, PyObject* item) {
    return protegit([item] {
        py::object tingut;
        const std::string_view b = llegir(item, tingut);
        return PyBool_FromLong(brv_is_valid(b.data(), b.size()));
    });
}

PyMethodDef funcions[] = {
    {"check", check, METH_O, "The Result for one text."},
    {"is_valid", isValid, METH_O, "Whether the text is a right account."},
    {nullptr, nullptr, 0, nullptr},
};

} // namespace

PYBIND11_MODULE(_brelvoxa, m) {
    m.doc() = "libbrelvoxa for Python texts; use the module brelvoxa.";
    m.def("_set_up", [](py::type resultatTipus, const py::sequence& membres) {
        if (membres.size() != BRV_STATUS_COUNT)
            throw py::value_error("one member per status");
        resultatTipus.inc_ref();
        tipusResultat = reinterpret_cast<PyTypeObject*>(resultatTipus.ptr());
        for (std::size_t i = 0; i < membresEstat.size(); ++i)
            membresEstat[i] = py::object(membres[i]).release().ptr();
    });
    m.def("statuses", [] {
        py::list l;
        for (const auto& [estat, nom] : nomsEstats)
            l.append(py::make_tuple(nom, brv_status_text(estat)));
        return l;
    });
    m.def("correct_statuses", [] {
        py::list l;
        for (const auto& [estat, nom] : nomsEstats)
            if (brv_status_is_correct(estat))
                l.append(static_cast<int>(estat));
        return l;
    });
    if (PyModule_AddFunctions(m.ptr(), funcions) != 0)
        throw py::error_already_set();
    m.def("check_many", &comprovarMolts);
    m.def("fault", [](py::handle item) {
        py::object tingut;
        const std::string_view b = llegir(item.ptr(), tingut);
        return static_cast<int>(brv_check_fault(b.data(), b.size()));
    });
    m.def("compact", [](py::handle item) {
        py::object tingut;
        const std::string_view b = llegir(item.ptr(), tingut);
        char compacte[BRV_IBAN_SIZE];
        return brv_compact(b.data(), b.size(), compacte) ? py::object(py::str(compacte))
                                                         : py::object(py::none());
    });
    m.attr("FAULT_LENGTH") = static_cast<int>(BRV_FAULT_LENGTH);
    m.attr("FAULT_FORMAT") = static_cast<int>(BRV_FAULT_FORMAT);
    m.attr("FAULT_CHECKSUM") = static_cast<int>(BRV_FAULT_CHECKSUM);
    m.attr("FAULT_COMPONENT") = static_cast<int>(BRV_FAULT_COMPONENT);
    m.attr("version") = brv_version();
    m.attr("directory_edition") = brv_directory_edition();
    m.attr("registry_edition") = brv_registry_edition();
}
