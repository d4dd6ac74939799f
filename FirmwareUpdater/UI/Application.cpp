#include "UI/Application.h"

#include "Application/RootWindow.h"
#include "Controls/StatusBar.h"
#include "Engine/UpdateEngineInterface.h"
#include "MfcLite/AfxGlobals.h"
#include "System/IniFileManager.h"
#include "UI/MainControl.h"

namespace {

// Device state of an engine that is sending the image.
constexpr int32_t kUpdating = 8;

HCURSOR LoadProgramCursor(int id)
{
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW(id), RT_GROUP_CURSOR);
    return LoadCursorW(module, MAKEINTRESOURCEW(id));
}

} // namespace

LApplication::LApplication(const KX::RCPtr<KX::LControlFactory>& factory,
                           const KX::RCPtr<KX::LStringTable>& frameworkStrings, const String& commandLine)
    : Base(factory, frameworkStrings, commandLine)
{
}

LApplication::~LApplication()
{
    mUpdateProcessor = KX::RCPtr<LUpdateProcessor>();
}

KX::KXRESULT LApplication::Create(KX::RCPtr<LApplication>& application, const KX::RCPtr<KX::LControlFactory>& factory,
                                  const KX::RCPtr<KX::LStringTable>& frameworkStrings, const String& commandLine)
{
    application = KX::RCPtr<LApplication>(new LApplication(factory, frameworkStrings, commandLine));
    return S_OK;
}

KX::KXRESULT LApplication::GetSettingsVersion(String& version)
{
    version = kSettingsVersion;
    return S_OK;
}

KX::KXRESULT LApplication::GetMainControlName(String& name)
{
    name = L"mainControl";
    return S_OK;
}

HCURSOR LApplication::GetCursor(const String& name)
{
    if (name == L"UI_CURSOR_DROP_MOVE")
        return LoadProgramCursor(102);
    if (name == L"UI_CURSOR_DROP_COPY")
        return LoadProgramCursor(103);
    for (const wchar_t* none : {L"UI_CURSOR_SPLIT_V", L"UI_CURSOR_SPLIT_H", L"UI_CURSOR_ROTATE", L"UI_CURSOR_MAG",
                                L"UI_CURSOR_MAG_PLUS", L"UI_CURSOR_MAG_MINUS"}) {
        if (name == none)
            return nullptr;
    }
    return Base::GetCursor(name);
}

KX::RCPtr<KX::LStatusBar> LApplication::GetStatusBar()
{
    const KX::RCPtr<KX::LRootWindow>& window = GetRootWindow(0);
    const KX::RCPtr<KX::LControl> top = window ? window->GetRootControl() : KX::RCPtr<KX::LControl>();
    if (!top)
        return KX::RCPtr<KX::LStatusBar>();
    return KX::RCPtr<KX::LStatusBar>::DynamicCast(top->FindChild(String(kStatusBarName)));
}

KX::KXRESULT LApplication::GetSettingsFilePath(int32_t fileId, String& path)
{
    path.Empty();
    if (fileId != 0 && fileId != 1)
        return E_INVALIDARG;
    GetFolder(path, fileId == 0 ? KX::FolderCommonAppData : KX::FolderLocalAppData);
    path += String(L"\\");
    path += String(fileId == 0 ? kAppSettingsFileName : kUserSettingsFileName);
    return S_OK;
}

int32_t LApplication::GetSettingsFile(int32_t fileId)
{
    int32_t* handle = fileId == 0 ? &mAppSettingsHandle : fileId == 1 ? &mUserSettingsHandle : nullptr;
    if (!handle)
        return 0;
    if (*handle == 0 && GetIniFileManager()) {
        String path;
        String version;
        String product;
        GetSettingsFilePath(fileId, path);
        GetSettingsVersion(version);
        GetProductName(product);
        int32_t opened = 0;
        if (GetIniFileManager()->OpenIniFile(path, version, product, opened) >= 0)
            *handle = opened;
    }
    return *handle;
}

KX::KXRESULT LApplication::RunApplicationStartup()
{
    const KX::KXRESULT result = Base::RunApplicationStartup();
    if (result < 0)
        return result;
    if (GetControlFactory())
        GetControlFactory()->RegisterControlCreateFunction(KX::LMainControl::kClassName, &KX::LMainControl::Create);
    const KX::KXRESULT created = CreateUpdateProcessor(mUpdateProcessor);
    if (created < 0)
        return created;
    return mUpdateProcessor->Initialize(GetCommandLineText());
}

KX::KXRESULT LApplication::CreateUpdateProcessor(KX::RCPtr<LUpdateProcessor>& processor)
{
    return LUpdateProcessor::Create(processor);
}

KX::KXRESULT LApplication::Shutdown()
{
    // The worker uses the engine, the MIDI component and the notification
    // centres: it ends before anything is released.
    if (mUpdateProcessor)
        mUpdateProcessor->Shutdown();
    return Base::Shutdown();
}

bool LApplication::CanExit()
{
    // While the engine sends the image nothing may end the program: a device
    // left with half an image does not start. The update screen answers when
    // it is the main window's control; before it exists the engine does.
    const KX::RCPtr<KX::LRootWindow> window = GetRootWindow(0);
    if (window) {
        if (KX::LMainControl* screen = dynamic_cast<KX::LMainControl*>(window->GetRootControl().Get()))
            return screen->IsNotUpdating();
    }
    const KX::RCPtr<LUpdateEngineInterface> engine =
        mUpdateProcessor ? mUpdateProcessor->GetUpdateEngine() : KX::RCPtr<LUpdateEngineInterface>();
    return !engine || engine->GetDeviceState() != kUpdating;
}
