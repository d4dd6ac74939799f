#include "Application/ClipboardHost.h"

#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "ControlBase/ControlEditTarget.h"

namespace KX {

HWND LFrameworkClipboardHost::GetClipboardOwnerWindow()
{
    const RCPtr<LRootWindow>& window = mApplication.GetRootWindow(0);
    IWindowOSServices* services = window ? window->GetOSServices() : nullptr;
    return services ? services->GetHandle() : nullptr;
}

RCPtr<IEditTarget> LFrameworkClipboardHost::GetFocusEditTarget()
{
    const RCPtr<LRootWindow>& window = mApplication.GetActiveRootWindow();
    return window ? LControlEditTarget::ForControl(window->GetFocusControl()) : RCPtr<IEditTarget>();
}

} // namespace KX
