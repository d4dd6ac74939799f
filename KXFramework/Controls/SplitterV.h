// KX::LSplitterV ("Framework.SplitterV"): a vertical splitter bar, dragged
// left and right to share the width between its neighbours. All behaviour is
// LSplitterBase's.
#pragma once

#include "Controls/SplitterBase.h"

namespace KX {

class LSplitterV : public LSplitterBase
{
public:
    LSplitterV(const RCPtr<LControl>& parent, const String& name) : LSplitterBase(parent, name, 1) {}

protected:
    ~LSplitterV() override = default;
};

} // namespace KX
