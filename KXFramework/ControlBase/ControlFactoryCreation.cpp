// The control factory's side of creating controls: from a descriptor, by the
// name of a top-level description of the current skin, and again from the
// current skin for a live control.
#include "ControlBase/ControlFactory.h"

#include "Application/RootWindow.h"
#include "ControlBase/Control.h"

namespace KX {

namespace {

// The descriptor's create function, looked up by class name on first use.
ControlCreateFunction ResolveCreateFunction(const LControlFactory& factory, LControlDescriptor& descriptor)
{
    if (!descriptor.GetCreateFunction()) {
        ControlCreateFunction function = nullptr;
        factory.GetControlCreateFunction(descriptor.GetClassName(), function);
        descriptor.SetCreateFunction(function);
    }
    return descriptor.GetCreateFunction();
}

} // namespace

RCPtr<LControl>& LControlFactory::CreateControl(RCPtr<LControl>& out, const RCPtr<LControl>& parent,
                                                const RCPtr<LControlDescriptor>& descriptor)
{
    out = nullptr;
    if (!descriptor)
        return out;
    if (const ControlCreateFunction function = ResolveCreateFunction(*this, *descriptor))
        function(out, parent, descriptor);
    return out;
}

RCPtr<LControl>& LControlFactory::CreateChildByName(RCPtr<LControl>& out, const String& name,
                                                    const RCPtr<LRootWindow>& rootWindow)
{
    out = nullptr;
    const RCPtr<LControlDescriptor> descriptor = FindControlDescriptor(name);
    if (!descriptor)
        return out;
    // The change stays in the shared description: a top control is shown.
    if (const ConstRCPtr<LLayoutDescriptor>& layout = descriptor->GetLayoutDescriptor())
        const_cast<LLayoutDescriptor*>(layout.GetConst())->mIsVisible = true;
    const ControlCreateFunction function = ResolveCreateFunction(*this, *descriptor);
    if (!function)
        return out;
    function(out, RCPtr<LControl>(), descriptor);
    if (out)
        out->SetRootWindow(rootWindow);
    return out;
}

KXRESULT LControlFactory::ReapplyControlDescriptor(const RCPtr<LControl>& control)
{
    if (!control)
        return E_FAIL;
    const RCPtr<LControlDescriptor> descriptor = FindControlDescriptor(control->GetName());
    if (!descriptor)
        return E_FAIL;
    return control->ApplyControlDescriptor(descriptor);
}

} // namespace KX
