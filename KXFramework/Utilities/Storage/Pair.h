// KX::Pair<A,B>: a plain (first, second) value, the element of ordered lists
// such as the (identifier, text) pairs of a string table.
#pragma once

namespace KX {

template <class A, class B>
struct Pair
{
    A first{};
    B second{};

    Pair() = default;
    Pair(const A& a, const B& b) : first(a), second(b) {}

    bool operator==(const Pair& other) const { return first == other.first && second == other.second; }
    bool operator!=(const Pair& other) const { return !(*this == other); }
};

} // namespace KX
