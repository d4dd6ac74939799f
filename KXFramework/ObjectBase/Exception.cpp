#include "ObjectBase/Exception.h"

#include <cstdio>

namespace KX {

const char* ExceptionBase::What() const
{
    const auto* standard = dynamic_cast<const std::exception*>(this);
    return standard ? standard->what() : "";
}

std::string ResultCodeToString(KXRESULT result)
{
    char digits[65];
    std::snprintf(digits, sizeof(digits), "%X", static_cast<unsigned int>(result));
    return std::string("KXRESULT = ") + digits;
}

std::string FormatExceptionText(const char* category, const std::string& detail, const char* operation,
                                const char* sourcePath, int line)
{
    std::string text(category);
    if (!detail.empty())
        text.append(detail).append(" : ");
    text.append(operation).append(" : ").append(sourcePath).append(" : Line ").append(std::to_string(line));
    return text;
}

} // namespace KX
