// A control array: N controls of one kind sharing a name, told apart by their Index
// (First .. First+N-1, First being 0 unless given). Element k is named "Name(k)". Elements are created in index order, in place,
// so each registers with its container at its final address. Indexing outside the array
// throws std::out_of_range rather than reaching past it.
#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>

#include "forms/control.h"

namespace forms {

template <class T, std::size_t N, int First = 0>
class ControlArray {
public:
    ControlArray(Container& container, const std::string& name)
        : items_(Make(container, name, std::make_index_sequence<N>{})) {}

    T& operator()(int index) { return items_.at(static_cast<std::size_t>(Checked(index))); }
    static constexpr int Count() { return static_cast<int>(N); }
    static constexpr int LBound() { return First; }
    static constexpr int UBound() { return First + static_cast<int>(N) - 1; }
    // The index of `control` in this array, or -1 when it is not an element.
    int IndexOf(const Control& control) const {
        for (std::size_t i = 0; i < N; ++i)
            if (&items_[i] == &control) return First + static_cast<int>(i);
        return -1;
    }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }

private:
    static int Checked(int index) {
        if (index < First) throw std::out_of_range("control array index below its first");
        return index - First;
    }
    template <std::size_t... I>
    static std::array<T, N> Make(Container& container, const std::string& name,
                                 std::index_sequence<I...>) {
        return {{T(container, name + "(" + std::to_string(First + static_cast<int>(I)) + ")")...}};
    }

    std::array<T, N> items_;
};

}  // namespace forms
