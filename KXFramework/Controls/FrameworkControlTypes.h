// The framework's control types: the class names that skins use in their
// SubControl elements, each mapped to the creator of its control class.
#pragma once

#include "ControlBase/ControlDescriptor.h"
#include "ObjectBase/ResultCodes.h"

#include <functional>

namespace KX {

class LControlFactory;

// Registers one type: (class name, creator) -> result code.
using ControlTypeRegistrar =
    std::function<KXRESULT(const StringT<wchar_t, char>& className, ControlCreateFunction create)>;

// Hands the framework's types to registerType one by one, in the order of the
// framework's type table. A negative result ends the registration there with
// KX::Exception<KX::FailedResultException> "Failed Result : <code> :
// KX::LFrameworkApp::RunApplicationStartup : Application/FrameworkApp : Line
// <n>", n being the type's line of the table, so that the application's
// start-up answers E_FAIL; the types after it stay unregistered.
void RegisterFrameworkControlTypes(const ControlTypeRegistrar& registerType);

// The same with the factory's RegisterControlCreateFunction (the first
// registration of a name wins). 0, or the exception above.
KXRESULT RegisterFrameworkControlTypes(LControlFactory& factory);

} // namespace KX
