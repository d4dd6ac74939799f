// The control's construction and lifetime, its membership in the tree
// (parent, root window, detaching, deferred removal), visibility and
// enabling, and the bookkeeping of descendants that draw outside their parent.
#include "ControlBase/Control.h"

#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/Look.h"
#include "Controls/MenuDescriptor.h"
#include "Renderer/RenderContextInfo.h"
#include "Utilities/Graphics/Font.h"
#include "Renderer/Renderer.h"
#include "Notification/NotificationCenter.h"
#include "Notification/NotificationIDs.h"

#include <atomic>

namespace KX {

namespace {

std::atomic<int32_t> sLiveControls{0};

} // namespace

int32_t LControl::GetLiveCount()
{
    return sLiveControls.load();
}

LControl::LControl(const RCPtr<LControl>& parent, const String& name) : mName(name), mChildren(this)
{
    ++sLiveControls;
    mConditionsParam = LConditionsParam::Create(0, 0, PointT<double>());
    if (parent) {
        // As SetParent does: the parent's queued removals go first, so that a
        // sibling on its way out no longer holds the name. The object is not
        // counted yet: the child list's reference is the first, so no
        // temporary reference may come and go before it. A name still taken
        // among the siblings leaves the control without a parent.
        parent->ProcessDeferredRemovals();
        if (!parent->FindChild(mName))
            parent->mChildren.Add(RCPtr<LControl>(this));
    }
    LFrameworkApp* application = LFrameworkApp::sInstance;
    if (application && application->GetControlFactory()) {
        String owner;
        bool known = true;
        if (mParent) {
            known = static_cast<bool>(mParent->mDescriptor);
            if (known)
                owner = mParent->mDescriptor->GetClassName();
        }
        if (known)
            application->GetControlFactory()->GetControlStringTable(mStringTable, owner, mName);
    }
}

LControl::~LControl()
{
    --sLiveControls;
    if (mRootWindow)
        mRootWindow->AdjustInternalReferenceCount(-1);
}

void LControl::AttachRootWindow(const RCPtr<LRootWindow>& rootWindow)
{
    if (rootWindow == mRootWindow)
        return;
    // The window holds its root control, and the root control holds the
    // window: the window counts this reference as one of its own, so that
    // the pair falls apart when the window's last outside reference goes.
    if (rootWindow)
        rootWindow->AdjustInternalReferenceCount(1);
    if (mRootWindow)
        mRootWindow->AdjustInternalReferenceCount(-1);
    mRootWindow = rootWindow;
}

KXRESULT LControl::ReleaseInternalReferences()
{
    UnregisterAllClients();
    if (mMenuItemUpdater) {
        RCPtr<LMenuItemUpdater> updater = mMenuItemUpdater;
        mMenuItemUpdater = nullptr;
        AdjustInternalReferenceCount(-1);
        updater->mControl = nullptr;
    }
    mChildren.RemoveAll();
    UnregisterAll();
    return LRefCountedObject::ReleaseInternalReferences();
}

// ---- Tree membership ----

KXRESULT LControl::SetParent(const RCPtr<LControl>& parent)
{
    if (parent == mParent)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    if (mParent) {
        InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
        const RCPtr<LControl> oldParent = mParent;
        oldParent->mChildren.Remove(self);
    } else {
        AttachRootWindow(RCPtr<LRootWindow>());
    }
    if (parent) {
        parent->ProcessDeferredRemovals();
        // A refused child (its name is taken) is in no tree: say so.
        const KXRESULT added = parent->mChildren.Add(self);
        if (added < 0)
            return added;
    }
    return S_OK;
}

KXRESULT LControl::SetRootWindow(const RCPtr<LRootWindow>& rootWindow)
{
    if (mParent)
        return E_FAIL;
    AttachRootWindow(rootWindow);
    if (mRootWindow) {
        const RCPtr<LRootWindow> window = mRootWindow;
        if (const RCPtr<LControl> rootControl = window->GetRootControl())
            rootControl->SetText(mText);
        if (IWindowOSServices* services = window->GetOSServices())
            services->SetTitle(mText);
        ProcessRootWindowAquired();
    }
    return S_OK;
}

RCPtr<LControl> LControl::GetRootControl()
{
    LControl* control = this;
    while (control->mParent)
        control = control->mParent.Get();
    return RCPtr<LControl>(control);
}

const RCPtr<LRootWindow>& LControl::GetRootWindow() const
{
    const LControl* control = this;
    while (control->mParent)
        control = control->mParent.Get();
    return control->mRootWindow;
}

KXRESULT LControl::Detach()
{
    const RCPtr<LControl> self(this);
    // A running kinetic scroll holds an idle request that the loop below
    // gives back; stopped first, it cannot give it back a second time later.
    StopKineticScroll(0);
    StopKineticScroll(1);
    SetVisible(false);
    SetClipToParent(true);
    if (mCapture)
        EndCapture();
    while (mIdleRequestCount > 0)
        ReleaseIdle();
    if (mParent)
        return SetParent(nullptr);
    return SetRootWindow(nullptr);
}

KXRESULT LControl::RemoveChildDeferred(const RCPtr<LControl>& child)
{
    if (!child || child->mParent.Get() != this)
        return E_INVALIDARG;
    if (child->mCapture)
        child->EndCapture();
    child->SetVisible(false);
    for (int32_t i = 0; i < mDeferredRemovals.GetCount(); ++i) {
        if (mDeferredRemovals.GetAt(i) == child)
            return S_OK; // queued already
    }
    const bool wasEmpty = mDeferredRemovals.GetCount() == 0;
    // The append answers the new entry's index, not a result code.
    if (mDeferredRemovals.AddItem(child) < 0)
        return E_INVALIDARG;
    // The queue holds exactly one idle request while it is not empty.
    if (wasEmpty)
        AddIdleRequest();
    return S_OK;
}

KXRESULT LControl::ProcessDeferredRemovals()
{
    const int32_t present = mDeferredRemovals.GetCount();
    if (present == 0)
        return S_OK;
    const RCPtr<LControl> self(this);
    for (int32_t i = 0; i < present && mDeferredRemovals.GetCount() > 0; ++i) {
        // The entry stays queued while it detaches, so that whatever the
        // detaching causes sees a queue that still holds its idle request.
        const RCPtr<LControl> entry = mDeferredRemovals.GetAt(0);
        entry->Detach();
        for (int32_t j = 0; j < mDeferredRemovals.GetCount(); ++j) {
            if (mDeferredRemovals.GetAt(j) == entry) {
                RCPtr<LControl> removed;
                mDeferredRemovals.RemoveItem(j, removed);
                // The request goes with the queue's last entry, once.
                if (mDeferredRemovals.GetCount() == 0)
                    ReleaseIdle();
                break;
            }
        }
    }
    return S_OK;
}

bool LControl::SetClipToParent(bool clip)
{
    if (clip == GetLayout().mClipToParent)
        return clip;
    const RectT<double> area(0.0, 0.0, mRect.width, mRect.height);
    if (clip)
        InvalidateRect(area, false); // while it still draws outside
    EditLayout().mClipToParent = clip;
    if (mParent) {
        mParent->mChildren.Touch();
        if (clip)
            mParent->RemoveUnclippedDescendant();
        else
            mParent->AddUnclippedDescendant();
    }
    if (!clip)
        InvalidateRect(area, false); // now that it draws outside
    return clip;
}

bool LControl::SetVisible(bool visible)
{
    if (visible == GetLayout().mIsVisible)
        return IsVisible(true);
    const RCPtr<LControl> self(this);
    const RectT<double> area(0.0, 0.0, mRect.width, mRect.height);
    if (!visible) {
        InvalidateRect(area, GetLayout().mClipToParent);
        InvalidateUnclippedDescendants();
    }
    EditLayout().mIsVisible = visible;
    if (visible) {
        if ((IsFocusable() || HasFocusableChild()) && mParent && mParent->mHasFocus)
            SetFocus(true);
        InvalidateRect(area, GetLayout().mClipToParent);
        InvalidateUnclippedDescendants();
    } else if ((mHasFocus || mContainsFocus) && mParent) {
        const RCPtr<LControl> parent = mParent;
        parent->SetFocus(true);
    }
    UpdateConditions();
    return IsVisible(true);
}

KXRESULT LControl::SetEnabled(bool enabled)
{
    if (enabled == GetLayout().mEnabled)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    EditLayout().mEnabled = enabled;
    if (!enabled && (mHasFocus || mContainsFocus) && mParent) {
        const RCPtr<LControl> parent = mParent;
        parent->SetFocus(true);
    }
    if ((IsFocusable() || HasFocusableChild()) && mParent && mParent->mHasFocus)
        SetFocus(true);
    UpdateConditions();
    InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
    InvalidateUnclippedDescendants();
    return S_OK;
}

bool LControl::IsVisible(bool recursive) const
{
    for (const LControl* control = this; control; control = control->mParent.Get()) {
        if (!control->GetLayout().mIsVisible || !(control->mRect.width > 0.0) || !(control->mRect.height > 0.0))
            return false;
        if (!recursive)
            break;
    }
    return true;
}

bool LControl::IsEnabled(bool recursive) const
{
    for (const LControl* control = this; control; control = control->mParent.Get()) {
        if (!control->GetLayout().mEnabled)
            return false;
        if (!recursive)
            break;
    }
    return true;
}

bool LControl::IsUsable() const
{
    return IsVisible(true) && GetLayout().mEnabled && (!mParent || mParent->IsEnabled(true));
}

void LControl::OnChildRemoved(const RCPtr<LControl>&, int32_t) {}

KXRESULT LControl::AdjustRootWindowRect(RectT<double>&)
{
    return S_OK;
}

// ---- Children ----

int32_t LControl::GetChildIndex(const RCPtr<LControl>& child, int32_t order) const
{
    if (!child || child->mParent.Get() != this)
        return -1;
    return mChildren.IndexOf(child.Get(), order);
}

const RCPtr<LControl>& LControl::FindChild(const String& name) const
{
    const RCPtrArray<LControl>& children = mChildren.GetChildren();
    for (int32_t i = children.GetCount() - 1; i >= 0; --i) {
        if (children.GetAt(i)->mName == name)
            return children.GetAt(i);
    }
    return RCPtr<LControl>::sNull;
}

int32_t LControl::GetDescendants(RCPtrArray<LControl>& descendants) const
{
    descendants.SetCount(0);
    struct Walk
    {
        static void Add(const LControl& control, RCPtrArray<LControl>& out)
        {
            const RCPtrArray<LControl>& children = control.mChildren.GetChildren();
            for (int32_t i = 0; i < children.GetCount(); ++i) {
                out.AddItem(children.GetAt(i));
                Add(*children.GetAt(i), out);
            }
        }
    };
    Walk::Add(*this, descendants);
    return descendants.GetCount();
}

// ---- Unclipped descendants ----

void LControl::AddUnclippedDescendant()
{
    for (LControl* control = this; control; control = control->mParent.Get())
        ++control->mUnclippedDescendantCount;
}

void LControl::RemoveUnclippedDescendant()
{
    for (LControl* control = this; control; control = control->mParent.Get())
        --control->mUnclippedDescendantCount;
}

int32_t LControl::CollectUnclippedDescendants(RCPtrArray<LControl>& list, bool visibleOnly, bool includeSelf)
{
    if (visibleOnly && !IsVisible(false))
        return 0; // neither it nor its subtree
    int32_t appended = 0;
    if (includeSelf && !GetLayout().mClipToParent) {
        list.AddItem(RCPtr<LControl>(this));
        ++appended;
    }
    if (mUnclippedDescendantCount < 1)
        return appended;
    const int32_t count = mChildren.GetCount();
    for (int32_t i = 0; i < count; ++i) {
        const RCPtr<LControl> child = mChildren.GetAt(i, kDrawOrder);
        appended += child->CollectUnclippedDescendants(list, visibleOnly, true);
    }
    return appended;
}

void LControl::InvalidateUnclippedDescendants()
{
    if (mUnclippedDescendantCount < 1) {
        if (!GetLayout().mClipToParent)
            InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), false);
        return;
    }
    RCPtrArray<LControl> unclipped;
    CollectUnclippedDescendants(unclipped, false, true);
    for (int32_t i = unclipped.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LControl>& control = unclipped.GetAt(i);
        control->InvalidateRect(RectT<double>(0.0, 0.0, control->mRect.width, control->mRect.height),
                                control->GetLayout().mClipToParent);
    }
}

// ---- Notifications ----

KXRESULT LControl::SendNotificationWithData(const wchar_t* identifier, const RCPtr<LRefCountedObject>& data)
{
    RCPtr<LNotification> notification;
    LNotification::Create(notification, identifier, data);
    if (!notification)
        return E_INVALIDARG;
    return LNotificationDistributor::SendNotification(notification);
}

} // namespace KX
