#pragma once

#include <pybind11/numpy.h>

#include <memory>
#include <vector>

namespace cosmophase::python {

// A vector's values as a numpy array that owns them: the vector moves into
// the array's base object, so nothing is copied.
template <class T>
pybind11::array_t<T> ownedArray(std::vector<T>&& values)
{
    auto owned = std::make_unique<std::vector<T>>(std::move(values));
    const std::vector<T>& kept = *owned;
    pybind11::capsule base(owned.get(), [](void* p) { delete static_cast<std::vector<T>*>(p); });
    owned.release();
    return pybind11::array_t<T>(kept.size(), kept.data(), base);
}

// A read-only view of values that `owner` keeps alive; read-only because
// the owner's other arrays are derived from the same numbers.
template <class T>
pybind11::array_t<T> viewArray(const std::vector<T>& values, pybind11::handle owner)
{
    pybind11::array_t<T> view(values.size(), values.data(), owner);
    pybind11::detail::array_proxy(view.ptr())->flags &= ~pybind11::detail::npy_api::NPY_ARRAY_WRITEABLE_;
    return view;
}

} // namespace cosmophase::python
