// The framework's exception family. Every text has one layout:
//   <category> [<detail> : ]<qualified operation> : <source path> : Line <n>
// The thrower gives the operation, the source path and the line. Path and line
// are a fixed identifier of the throw, not its current source location: the
// path may name another file than the one that throws, with either separator
// ("Renderer\\Gdi\\GDIRenderer", "ObjectBase/RefCountedObject"), and the
// line is a number of its own that need not be the line of the call (a throw
// driven by a table gives the entry's number). So a text is the same whatever
// the build or the compiler, and stays the same when code moves: header
// contracts quote whole texts and tests match them. Keep a throw's path and
// line when you move it. (The handler-binding checks of a few control classes
// pass __LINE__; their texts do follow the source.)
#pragma once

#include "ObjectBase/ResultCodes.h"

#include <exception>
#include <stdexcept>
#include <string>

namespace KX {

// Second base of every framework exception; What() answers the text of the
// standard-exception part of the same object.
class ExceptionBase
{
public:
    virtual ~ExceptionBase() = default;
    virtual const char* What() const;
};

// A failed result code that a caller decided not to pass on. Derives from
// std::exception only, so a handler for std::runtime_error does not catch it.
class FailedResultException : public std::exception
{
public:
    explicit FailedResultException(const std::string& message) : mMessage(message) {}
    explicit FailedResultException(const char* message) : mMessage(message ? message : "") {}
    const char* what() const noexcept override { return mMessage.c_str(); }

private:
    std::string mMessage;
};

template <class E>
class Exception : public E, public ExceptionBase
{
public:
    explicit Exception(const char* message) : E(message) {}
    explicit Exception(const std::string& message) : E(message) {}
};

// std::bad_alloc takes no message: its whole text is "bad allocation".
template <>
class Exception<std::bad_alloc> : public std::bad_alloc, public ExceptionBase
{
public:
    Exception() = default;
    const char* what() const noexcept override { return "bad allocation"; }
};

// The category text that begins the message of each exception kind.
template <class E> struct ExceptionCategory;
template <> struct ExceptionCategory<std::logic_error> { static constexpr const char* Text = "Logic Error : "; };
template <> struct ExceptionCategory<std::runtime_error> { static constexpr const char* Text = "Runtime Error : "; };
template <> struct ExceptionCategory<std::out_of_range> { static constexpr const char* Text = "Out of Range : "; };
template <> struct ExceptionCategory<std::domain_error> { static constexpr const char* Text = "Domain Error : "; };
template <> struct ExceptionCategory<std::invalid_argument> { static constexpr const char* Text = "Invalid Argument : "; };
template <> struct ExceptionCategory<FailedResultException> { static constexpr const char* Text = "Failed Result : "; };

// Joins the pieces of an exception text; an empty detail is left out.
std::string FormatExceptionText(const char* category, const std::string& detail, const char* operation,
                                const char* sourcePath, int line);

template <class E>
[[noreturn]] void ThrowException(const std::string& detail, const char* operation, const char* sourcePath, int line)
{
    throw Exception<E>(FormatExceptionText(ExceptionCategory<E>::Text, detail, operation, sourcePath, line));
}

// The failed-result rule: a negative code becomes a FailedResultException whose
// detail is ResultCodeToString(code); success codes (S_FALSE too) pass.
inline void ThrowIfFailed(KXRESULT result, const char* operation, const char* sourcePath, int line)
{
    if (result < 0)
        ThrowException<FailedResultException>(ResultCodeToString(result), operation, sourcePath, line);
}

} // namespace KX

// KX_THROW(std::logic_error, "detail", "KX::LClass::Operation", "Folder/File", 42)
#define KX_THROW(kind, detail, operation, sourcePath, line) \
    ::KX::ThrowException<kind>((detail), (operation), (sourcePath), (line))

// KX_THROW_IF_FAILED(call(), "LUpdateProcessor::Initialize", "Engine/UpdateProcessor", 53)
#define KX_THROW_IF_FAILED(result, operation, sourcePath, line) \
    ::KX::ThrowIfFailed((result), (operation), (sourcePath), (line))
