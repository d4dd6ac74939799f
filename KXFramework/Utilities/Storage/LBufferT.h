// KX::LIBuffer and KX::LBufferT, the shared reference-counted byte buffers
// (defined in LBufferTDefinition.h).
//
// They are reached through the string header: the object model's header
// includes the string header at its end, and the string header needs these
// classes complete, so they must be defined from inside it whichever of these
// headers a source file includes first.
#pragma once

#include "Utilities/Storage/StringT.h"
