// A drop-down control of the tests ("Test.DropDown"): its drop-down part is
// its child "part", shown and hidden; every ShowDropDown call is recorded.
#pragma once

#include "Controls/DropDownControl.h"

#include <vector>

namespace MenuTest {

class DropDownTestControl : public KX::LDropDownControl
{
public:
    DropDownTestControl(const KX::RCPtr<KX::LControl>& parent, const String& name) : LDropDownControl(parent, name)
    {
    }

    bool IsTransparentAt(const KX::PointT<long>&) override { return false; }

    bool IsDropDownShown() override
    {
        const KX::RCPtr<KX::LControl>& part = FindChild(String(L"part"));
        return part && part->GetLayout().mIsVisible;
    }

    KX::KXRESULT ShowDropDown(bool show) override
    {
        calls.push_back(show);
        if (const KX::RCPtr<KX::LControl>& part = FindChild(String(L"part")))
            part->SetVisible(show);
        return S_OK;
    }

    std::vector<bool> calls;

protected:
    ~DropDownTestControl() override = default;
};

} // namespace MenuTest
