#include "FurtherTestSupport.h"

#include "ObjectBase/Holder.h"

namespace FurtherTest {

std::vector<double> ValuesSeen(const KXTest::Listener& listener)
{
    std::vector<double> values;
    for (const KXTest::Listener::Received& entry : listener.received) {
        if (entry.id != KX::NID_VALUE_CHANGE)
            continue;
        if (const RCPtr<KX::LValueParam> param = RCPtr<KX::LValueParam>::DynamicCast(entry.data))
            values.push_back(param->mNormalizedValue);
    }
    return values;
}

std::vector<bool> CapturesSeen(const KXTest::Listener& listener)
{
    std::vector<bool> captures;
    for (const KXTest::Listener::Received& entry : listener.received) {
        if (entry.id != KX::NID_VALUE_CHANGE_CAPTURE)
            continue;
        if (const RCPtr<KX::LHolder<bool>> flag = RCPtr<KX::LHolder<bool>>::DynamicCast(entry.data))
            captures.push_back(flag->GetValue());
    }
    return captures;
}

void FurtherControlTest::SetUp()
{
    ASSERT_NO_FATAL_FAILURE(LoadDocuments(L"Further Tests", L"::FURTHER_SKINS"));
    RegisterClass<KXTest::TestControl>(L"Test.Part");
    RegisterClass<DropTarget>(L"Test.DropTarget");
    StartApplication();
}

} // namespace FurtherTest
