#include "ObjectBase/TypeName.h"

#include <cxxabi.h>

#include <cctype>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <set>

namespace KX {
namespace {

std::string Demangle(const std::type_info& type)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> text(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                 std::free);
    return (status == 0 && text) ? std::string(text.get()) : std::string(type.name());
}

std::mutex& EnumNamesLock()
{
    static std::mutex lock;
    return lock;
}

std::set<std::string>& EnumNames()
{
    static std::set<std::string> names{"LUpdateEngineInterface::ThreadWorkerTask"};
    return names;
}

bool IsEnumName(const std::string& name)
{
    std::lock_guard<std::mutex> guard(EnumNamesLock());
    return EnumNames().count(name) != 0;
}

bool IsFundamental(const std::string& name)
{
    static const char* const kWords[] = {"bool", "char", "signed", "unsigned", "short", "int", "long",
                                         "float", "double", "wchar_t", "void", "char16_t", "char32_t"};
    for (const char* word : kWords)
        if (name.compare(0, std::char_traits<char>::length(word), word) == 0)
            return true;
    return false;
}

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == ':'; }

// Rewrites the template arguments of a demangled name: "class "/"enum " before
// every qualified name that starts an argument, and no blank after commas.
std::string AddKeywordsToArguments(const std::string& name)
{
    std::string out;
    bool argumentStart = false;
    for (size_t i = 0; i < name.size();) {
        char c = name[i];
        if (c == '<' || c == ',') {
            out += c;
            ++i;
            while (i < name.size() && name[i] == ' ')
                ++i;
            argumentStart = true;
            continue;
        }
        if (argumentStart && IsNameStart(c)) {
            size_t end = i;
            while (end < name.size() && IsNameChar(name[end]))
                ++end;
            std::string word = name.substr(i, end - i);
            if (!IsFundamental(word) && word != "const" && word != "volatile")
                out += IsEnumName(word) ? "enum " : "class ";
        }
        argumentStart = false;
        out += c;
        ++i;
    }
    return out;
}

} // namespace

void RegisterEnumTypeName(const std::string& qualifiedName)
{
    std::lock_guard<std::mutex> guard(EnumNamesLock());
    EnumNames().insert(qualifiedName);
}

std::string ClassTypeName(const std::type_info& type)
{
    return "class " + AddKeywordsToArguments(Demangle(type));
}

std::string EnumTypeName(const std::type_info& type)
{
    return "enum " + AddKeywordsToArguments(Demangle(type));
}

} // namespace KX
