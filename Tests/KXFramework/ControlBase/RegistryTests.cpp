// The control factory's registry of control classes.
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using KXTest::String;
using KX::RCPtr;

RCPtr<KX::LControl>& CreateFirst(RCPtr<KX::LControl>& out, const RCPtr<KX::LControl>&,
                                 const RCPtr<KX::LControlDescriptor>&)
{
    return out;
}

RCPtr<KX::LControl>& CreateSecond(RCPtr<KX::LControl>& out, const RCPtr<KX::LControl>&,
                                  const RCPtr<KX::LControlDescriptor>&)
{
    return out;
}

TEST(ControlRegistry, FirstRegistrationWins)
{
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String(L"Varrow"));
    EXPECT_EQ(factory->RegisterControlCreateFunction(String(L"Framework.Button"), &CreateFirst), S_OK);
    EXPECT_EQ(factory->RegisterControlCreateFunction(String(L"Framework.Button"), &CreateSecond), S_OK);
    EXPECT_EQ(factory->RegisterControlCreateFunction(String(L"Framework.Label"), &CreateSecond), S_OK);

    KX::ControlCreateFunction function = nullptr;
    EXPECT_EQ(factory->GetControlCreateFunction(String(L"Framework.Button"), function), S_OK);
    EXPECT_EQ(function, &CreateFirst);
    EXPECT_EQ(factory->GetControlCreateFunction(String(L"Framework.Label"), function), S_OK);
    EXPECT_EQ(function, &CreateSecond);
}

TEST(ControlRegistry, UnknownClassNameThrows)
{
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String(L"Varrow"));
    factory->RegisterControlCreateFunction(String(L"Framework.Button"), &CreateFirst);
    KX::ControlCreateFunction function = &CreateSecond;
    for (const wchar_t* name : {L"framework.button", L"Framework.Slider", L""}) {
        try {
            factory->GetControlCreateFunction(String(name), function);
            ADD_FAILURE() << "no exception for " << String(name);
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "Runtime Error : KX::LControlFactory::GetControlCreateFunction : "
                                       "ControlBase\\ControlFactory : Line 51");
        }
    }
    EXPECT_EQ(function, &CreateSecond);
}

TEST(ControlRegistry, DescriptorCachesItsCreateFunction)
{
    RCPtr<KX::LControlDescriptor> descriptor =
        KX::LControlDescriptor::Create(String(L"Framework.Button"), String(L"b"), nullptr);
    EXPECT_EQ(descriptor->GetCreateFunction(), nullptr);
    descriptor->SetCreateFunction(&CreateFirst);
    EXPECT_EQ(descriptor->Clone(String(L"c"))->GetCreateFunction(), &CreateFirst);
}

} // namespace
