// KX::LSplitterH ("Framework.SplitterH"): a horizontal splitter bar, dragged
// up and down to share the height between its neighbours. All behaviour is
// LSplitterBase's.
#pragma once

#include "Controls/SplitterBase.h"

namespace KX {

class LSplitterH : public LSplitterBase
{
public:
    LSplitterH(const RCPtr<LControl>& parent, const String& name) : LSplitterBase(parent, name, 0) {}

protected:
    ~LSplitterH() override = default;
};

} // namespace KX
