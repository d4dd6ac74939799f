// KX::Pair<A, B>: a plain pair of two values, first and second; the element of
// the (identifier, text) lists that string tables hand out.
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
