// The framework's control types: the class names that skins use in their
// SubControl elements, each mapped to the creator of its control class.
#pragma once

#include "ObjectBase/ResultCodes.h"

namespace KX {

class LControlFactory;

// Registers the framework's control types with the factory, in the order of
// the framework's type table (the first registration of a name wins). 0.
KXRESULT RegisterFrameworkControlTypes(LControlFactory& factory);

} // namespace KX
