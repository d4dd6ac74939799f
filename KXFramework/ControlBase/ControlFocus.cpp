// Keyboard focus: which controls may take it, how it moves along the focus
// path (the chain from the focused control up to the top control), and the
// tab order among a control's children. The way a key travels from the
// focused control is ControlKeys.cpp.
//
// Results of the focus path: AcquireFocusPath and FocusLost answer whether
// the path changed soundly (1) or not (0); SetFocus passes on what the path
// answered, E_FAIL when there was nothing to focus.
#include "ControlBase/Control.h"

#include "Application/RootWindow.h"

namespace KX {

// ---- Who may take the focus ----

bool LControl::IsFocusDisabled(bool recursive) const
{
    if (!recursive)
        return mFocusDisabled;
    for (const LControl* control = this; control; control = control->mParent.Get()) {
        if (control->mFocusDisabled)
            return true;
        if (control->mFocusScope)
            return false;
    }
    return false;
}

bool LControl::HasFocusableChild()
{
    if (!IsUsable() || mFocusDisabled)
        return false;
    const RCPtrArray<LControl> children = mChildren.Snapshot();
    for (int32_t i = children.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LControl>& child = children.GetAt(i);
        if (child->IsFocusable() || child->HasFocusableChild())
            return true;
    }
    return false;
}

bool LControl::IsFocusable()
{
    // Containers with focusable children never take the focus themselves.
    return IsUsable() && !HasFocusableChild() && !mFocusDisabled &&
           (!mParent || mFocusScope || !mParent->IsFocusDisabled(true));
}

RCPtr<LControl> LControl::GetFocusedChild()
{
    const RCPtrArray<LControl>& children = mChildren.GetChildren();
    for (int32_t i = children.GetCount() - 1; i >= 0; --i) {
        if (children.GetAt(i)->mHasFocus || children.GetAt(i)->mContainsFocus)
            return children.GetAt(i);
    }
    return RCPtr<LControl>();
}

RCPtr<LControl> LControl::FindFocusableInTabOrder(const RCPtr<LControl>& start, bool backward)
{
    // The walk skips children that cannot take input, so it may never come
    // back to a start that cannot: it ends after one round at the latest.
    RCPtr<LControl> candidate = start;
    for (int32_t steps = mChildren.GetCount(); candidate && steps >= 0; --steps) {
        if (candidate->IsFocusable() || candidate->HasFocusableChild())
            return candidate;
        candidate = GetNextTabChild(candidate, backward);
        if (candidate == start)
            break;
    }
    return RCPtr<LControl>();
}

RCPtr<LControl> LControl::GetFirstFocusableChild()
{
    if (mChildren.GetCount() == 0)
        return RCPtr<LControl>();
    return FindFocusableInTabOrder(mChildren.GetAt(0, kTabOrder), false);
}

RCPtr<LControl> LControl::GetLastFocusableChild()
{
    const int32_t count = mChildren.GetCount();
    if (count == 0)
        return RCPtr<LControl>();
    return FindFocusableInTabOrder(mChildren.GetAt(count - 1, kTabOrder), true);
}

RCPtr<LControl> LControl::GetNextTabChild(const RCPtr<LControl>& child, bool backward)
{
    if (!child || child->mParent.Get() != this)
        return RCPtr<LControl>();
    const int32_t count = mChildren.GetCount();
    const int32_t start = mChildren.IndexOf(child.Get(), kTabOrder);
    if (start < 0)
        return RCPtr<LControl>();
    for (int32_t step = 1; step < count; ++step) {
        const int32_t index = backward ? (start - step + count) % count : (start + step) % count;
        const RCPtr<LControl>& candidate = mChildren.GetAt(index, kTabOrder);
        if (candidate->IsUsable())
            return candidate;
    }
    return child->IsUsable() ? child : RCPtr<LControl>();
}

// ---- Moving the focus ----

KXRESULT LControl::SetFocus(bool first)
{
    const RCPtr<LControl> self(this);
    const RCPtr<LRootWindow> window = GetRootWindow();
    if (!mHasFocus && window && window->GetFocusControl() && !window->GetFocusControl()->AcceptsInput())
        return E_FAIL;
    const bool focusable = IsFocusable();
    if (mHasFocus && focusable)
        return S_OK;
    const bool focusableChild = HasFocusableChild();
    if (focusableChild) {
        if (mContainsFocus) {
            const RCPtr<LControl> focused = GetFocusedChild();
            if (!focused)
                return E_FAIL;
            if (focused->IsFocusable() || focused->HasFocusableChild())
                return focused->SetFocus(first);
        }
        const RCPtr<LControl> target = first ? GetFirstFocusableChild() : GetLastFocusableChild();
        return target ? target->SetFocus(first) : E_FAIL;
    }
    if (focusable) {
        KXRESULT result = S_OK; // a top control
        if (mContainsFocus) {
            // The focus was below this control: the old path loses it.
            mHasFocus = true;
            mContainsFocus = false;
            const RCPtr<LControl> focused = GetFocusedChild();
            result = focused ? focused->FocusLost() : E_FAIL;
        } else {
            mHasFocus = true;
            if (mParent) {
                const RCPtr<LControl> parent = mParent;
                result = parent->AcquireFocusPath(self);
            }
        }
        if (const RCPtr<LRootWindow> root = GetRootWindow())
            root->SetFocusControl(self);
        UpdateConditions();
        return result;
    }
    // Nothing here can take the focus: it stays where it is.
    const RCPtr<LControl> top = GetRootControl();
    if (mHasFocus || !top)
        return E_FAIL;
    if (top.Get() != this && (top->mHasFocus || top->mContainsFocus))
        return top->SetFocus(true);
    return S_FALSE;
}

KXRESULT LControl::AcquireFocusPath(const RCPtr<LControl>& child)
{
    const RCPtr<LControl> self(this);
    if (mContainsFocus) {
        // The path goes through here already: the old branch below loses it.
        const RCPtrArray<LControl> children = mChildren.Snapshot();
        for (int32_t i = children.GetCount() - 1; i >= 0; --i) {
            const RCPtr<LControl>& other = children.GetAt(i);
            if (other != child && (other->mHasFocus || other->mContainsFocus))
                return other->FocusLost() >= 0 ? 1 : 0;
        }
        return 0;
    }
    mContainsFocus = true;
    if (mHasFocus) {
        mHasFocus = false;
        UpdateConditions();
        return 1;
    }
    KXRESULT result = 1; // a top control
    if (mParent) {
        const RCPtr<LControl> parent = mParent;
        result = parent->AcquireFocusPath(self) >= 0 ? 1 : 0;
    }
    UpdateConditions();
    return result;
}

KXRESULT LControl::FocusLost()
{
    const RCPtr<LControl> self(this);
    if (mHasFocus) {
        mHasFocus = false;
        UpdateConditions();
        if (const RCPtr<LRootWindow> window = GetRootWindow())
            window->SaveFocus();
        return 1;
    }
    mContainsFocus = false;
    const RCPtr<LControl> focused = GetFocusedChild();
    const KXRESULT result = focused ? focused->FocusLost() : E_FAIL;
    UpdateConditions();
    return result >= 0 ? 1 : 0;
}

KXRESULT LControl::RequestFocus(const RCPtr<LControl>&)
{
    const RCPtr<LControl> self(this);
    if (!mFocusDisabled && (!mParent || mFocusScope || !mParent->IsFocusDisabled(true))) {
        SetFocus(true);
        return S_OK;
    }
    if (mParent) {
        const RCPtr<LControl> parent = mParent;
        parent->RequestFocus(self);
    }
    return S_OK;
}

KXRESULT LControl::SetFocusDisabled(bool disabled)
{
    const bool signAgrees = (GetLayout().mTabStop < 0) == disabled;
    if (mFocusDisabled == disabled && signAgrees)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    const bool hadFocus = mHasFocus || mContainsFocus;
    mFocusDisabled = disabled;
    if (!signAgrees) {
        LLayoutDescriptor& layout = EditLayout();
        layout.mTabStop = layout.mTabStop == 0 ? (disabled ? -1 : 0) : -layout.mTabStop;
    }
    if (mParent)
        mParent->mChildren.Touch();
    if ((IsFocusable() || HasFocusableChild()) && mParent && mParent->mHasFocus) {
        SetFocus(true);
    } else if (disabled && hadFocus && mParent) {
        const RCPtr<LControl> parent = mParent;
        parent->SetFocus(true);
    }
    return S_OK;
}

bool LControl::AcceptsInput()
{
    return true;
}

} // namespace KX
