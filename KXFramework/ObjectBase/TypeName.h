// Type names as the framework shows them: the keyword, a blank and the fully
// qualified name with its template arguments, e.g. "class KX::LHolder<int>" or
// "class KX::LHolder<enum LUpdateEngineInterface::ThreadWorkerTask>".
// g++ spells run-time type names without keywords; these functions add them.
#pragma once

#include <string>
#include <type_traits>
#include <typeinfo>

namespace KX {

// The name of a class type (the keyword is "class").
std::string ClassTypeName(const std::type_info& type);

// The name of an enumeration type (the keyword is "enum").
std::string EnumTypeName(const std::type_info& type);

// Template arguments that name enumerations get "enum"; every other qualified
// name gets "class". Enumerations used as template arguments register here.
void RegisterEnumTypeName(const std::string& qualifiedName);

template <class T>
std::string TypeNameOf()
{
    if constexpr (std::is_enum_v<T>)
        return EnumTypeName(typeid(T));
    else if constexpr (std::is_class_v<T>)
        return ClassTypeName(typeid(T));
    else
        return ClassTypeName(typeid(T)).substr(6); // fundamental types carry no keyword
}

} // namespace KX
