#include "SkinTestSupport.h"

#include <set>

namespace LooksTest {

namespace {

void CollectClassNames(const RCPtr<KX::LControlDescriptor>& descriptor, std::set<std::wstring>& names)
{
    const KX::RCPtrArray<KX::LControlDescriptor>& children = descriptor->GetChildren();
    for (int32_t i = 0; i < children.GetCount(); ++i) {
        names.insert(children.GetAt(i)->GetClassName().GetData());
        CollectClassNames(children.GetAt(i), names);
    }
}

} // namespace

int RegisterPlainCreators(const RCPtr<KX::LControlFactory>& factory)
{
    std::set<std::wstring> names;
    for (int32_t i = 0; i < factory->GetSkinCount(); ++i)
        CollectClassNames(factory->GetSkins().GetAt(i), names);
    for (const std::wstring& name : names)
        factory->RegisterControlCreateFunction(String(name.c_str()), &KX::LControl::CreateControlOfClass<PlainControl>);
    return static_cast<int>(names.size());
}

void CollectDescriptorNames(const RCPtr<KX::LControlDescriptor>& descriptor, std::vector<std::wstring>& names)
{
    const KX::RCPtrArray<KX::LControlDescriptor>& children = descriptor->GetChildren();
    for (int32_t i = 0; i < children.GetCount(); ++i) {
        names.push_back(children.GetAt(i)->GetName().GetData());
        CollectDescriptorNames(children.GetAt(i), names);
    }
}

bool NearColor(uint32_t a, uint32_t b, int tolerance)
{
    return RendererTest::NearColour(a, b, tolerance);
}

bool NearWhite(uint32_t argb)
{
    return ((argb >> 16) & 0xFF) >= 0xC0 && ((argb >> 8) & 0xFF) >= 0xC0 && (argb & 0xFF) >= 0xC0;
}

void SkinTest::SetUp()
{
    factory = KX::LControlFactory::Create(L"TAVIK8 Updater");
    ASSERT_EQ(S_OK, factory->LoadResources(String(L"::"), 0x0409)) << KXTest::Text(factory->GetLastErrorText());
    RegisterPlainCreators(factory);
    StartApplication();
}

RCPtr<KX::LControl> SkinTest::OpenMainControl()
{
    window->SetRootControl(String(L"mainControl"));
    return window->GetRootControl();
}

void SkinTest::ForgetInvalidations()
{
    KX::LRectRegion ignored;
    window->TakeDirtyRegion(ignored);
    os.invalidations.clear();
}

std::vector<KX::RectT<long>> SkinTest::DirtyRectangles()
{
    KX::Array<KX::RectT<long>> sink;
    window->GetDirtyRegion().Enumerate(sink);
    std::vector<KX::RectT<long>> rectangles;
    for (int32_t i = 0; i < sink.GetCount(); ++i)
        rectangles.push_back(sink.GetAt(i));
    return rectangles;
}

} // namespace LooksTest
