// Helpers of the control-base tests: a factory over a document given as text,
// and the Windows form of the source folders.
#pragma once

#include "ControlBase/ControlFactory.h"

#include <string>

namespace KXTest {

using String = KX::StringT<wchar_t, char>;

// The Windows path of a folder of the source tree (Wine maps "/" to Z:).
inline String WindowsFolder(const char* unixFolder)
{
    String path(unixFolder);
    path.ReplaceAny(L"/", L'\\');
    return String(L"Z:") + path;
}

inline String ResourceFolder()
{
    return WindowsFolder(KX_TEST_RESOURCE_FOLDER);
}

inline String DocumentFolder()
{
    return WindowsFolder(KX_TEST_DOCUMENT_FOLDER);
}

// A factory that has parsed one skin document given as text, with the first
// skin current, as after LoadSkin.
inline KX::RCPtr<KX::LControlFactory> FactoryWithSkin(const std::string& document, KX::KXRESULT* result = nullptr)
{
    KX::RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String(L"Varrow"));
    const KX::KXRESULT parsed = factory->ParseXml(document.data(), static_cast<int32_t>(document.size()));
    factory->SetCurrentSkinIndex(0);
    if (result)
        *result = parsed;
    return factory;
}

} // namespace KXTest
