#include "Application/RootWindow.h"

#include "Application/Dialog.h"
#include "Application/FrameworkApp.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/LayoutUtils.h"
#include "Notification/NotificationIDs.h"
#include "Renderer/RenderContextInfo.h"
#include "Renderer/Renderer.h"
#include "Renderer/Stencil.h"

#include <algorithm>
#include <vector>

namespace KX {

namespace {

// The "Client" placement that makes a root control fill its window.
void FillWindowPlacement(const LLayoutDescriptor& current, LLayoutDescriptor::PositionSpec& position,
                         LLayoutDescriptor::SizeSpec& size, int32_t axis, bool& docked)
{
    LLayoutDescriptor::PositionSpec unused;
    LLayoutDescriptor::SizeSpec unusedSize;
    current.GetAxisSpec(axis, unused, docked, unusedSize);
    position.mKind = LLayoutDescriptor::PositionClient;
    position.mAnchor = 0.0f;
    position.mRel = 0.0f;
    position.mAbs = 0.0;
    position.mControlName.Empty();
    size.mKind = LLayoutDescriptor::SizeClient;
    size.mRel = 1.0f;
    size.mAbs = 0.0;
    size.mControlName.Empty();
}

} // namespace

RCPtr<LRootWindow>& LRootWindow::Create(RCPtr<LRootWindow>& out, const RCPtr<LRenderer>& renderer,
                                        IWindowOSServices* osServices)
{
    out = new LRootWindow(renderer, osServices);
    // The root window delivers its own queue: a self reference, internal.
    if (out->SetDistributor(RCPtr<LNotificationDistributor>(out.Get())) >= 0)
        out->AdjustInternalReferenceCount(1);
    return out;
}

// Painting leaves the renderer's state stack as deep as it found it: a
// control whose paint throws would otherwise leave its pushes behind in the
// window's context, and every later frame would start from them.
class LRootWindow::StateDepthScope
{
public:
    explicit StateDepthScope(const RCPtr<LRenderer>& renderer) : mRenderer(renderer)
    {
        if (mRenderer)
            mContext = mRenderer->GetCurrentContext();
        if (mContext)
            mDepth = mContext->mSavedStates.size();
    }
    ~StateDepthScope()
    {
        // Only the context it measured, while it is the one on top.
        if (!mContext || mRenderer->GetCurrentContext() != mContext)
            return;
        while (mContext->mSavedStates.size() > mDepth)
            mRenderer->PopState();
    }
    StateDepthScope(const StateDepthScope&) = delete;
    StateDepthScope& operator=(const StateDepthScope&) = delete;

private:
    RCPtr<LRenderer> mRenderer;
    RCPtr<LRenderContextInfo> mContext;
    size_t mDepth = 0;
};

LRootWindow::LRootWindow(const RCPtr<LRenderer>& renderer, IWindowOSServices* osServices)
    : mRenderer(renderer), mOSServices(osServices)
{
    RCPtr<LPostingReceiver> posting;
    GetPostingReceiver(posting);
    mLocalHotKeys = LGlobalHotKeyManager::Create(RCPtr<LNotificationReceiver>(posting.Get()));
    if (mOSServices)
        GetClientRect();
}

LRootWindow::~LRootWindow() = default;

KXRESULT LRootWindow::ReleaseInternalReferences()
{
    UnregisterAllClients();
    mOSServices = nullptr;
    SetRootControl(String());
    const bool hadDistributor = static_cast<bool>(GetDistributor());
    Shutdown();
    if (hadDistributor)
        AdjustInternalReferenceCount(-1);
    return LRefCountedObject::ReleaseInternalReferences();
}

// ---- The root control ----

KXRESULT LRootWindow::SetRootControl(const String& controlName)
{
    if (controlName.IsEmpty())
        return SetRootControl(RCPtr<LControl>());
    RCPtr<LControl> control;
    LFrameworkApp* application = LFrameworkApp::sInstance;
    if (application && application->GetControlFactory())
        application->GetControlFactory()->CreateChildByName(control, controlName, RCPtr<LRootWindow>(this));
    return SetRootControl(control);
}

KXRESULT LRootWindow::SetRootControl(const RCPtr<LControl>& control)
{
    const RCPtr<LRootWindow> self(this);
    mFocusControl = nullptr;
    mSavedFocusControl = nullptr;
    mHoverControl = nullptr;
    mCaptureControl = nullptr;
    if (mRootControl) {
        const RCPtr<LControl> old = mRootControl;
        old->Detach();
        mLocalHotKeys->GetBindingMap() = KeyBindingMap();
    }
    if (!control) {
        mRootControl = nullptr;
        return S_OK;
    }
    mRootControl = control;
    if (control->GetStringTable())
        mLocalHotKeys->GetBindingMap().Load(control->GetStringTable(), String(L"GHK"));
    if (!control->GetRootWindow())
        control->SetRootWindow(self);

    // The control fills the window; its size limits stay.
    LLayoutDescriptor::PositionSpec xPosition, yPosition;
    LLayoutDescriptor::SizeSpec xSize, ySize;
    bool xDocked = false, yDocked = false;
    FillWindowPlacement(control->GetLayout(), xPosition, xSize, 0, xDocked);
    FillWindowPlacement(control->GetLayout(), yPosition, ySize, 1, yDocked);
    control->SetPlacementXY(xPosition, xDocked, xSize, yPosition, yDocked, ySize);

    if (!mFocusControl) {
        if (mOSServices && mOSServices->HasFocus())
            control->SetFocus(true);
        else if (mOSServices)
            mOSServices->SetFocus();
    }
    Invalidate(RectT<long>(0, 0, mClientRect.width, mClientRect.height));
    return S_OK;
}

// ---- Hit testing and input ----

PointT<long> LRootWindow::ToControl(const RCPtr<LControl>& control, const PointT<long>& point)
{
    const PointT<long> origin = control->GetRootPosition();
    return PointT<long>(point.x - origin.x, point.y - origin.y);
}

KXRESULT LRootWindow::GetControlAtPoint(RCPtr<LControl>& control, const PointT<long>& point,
                                        PointT<long>& localPoint, bool updateHover)
{
    control = nullptr;
    localPoint = PointT<long>(LControl::kNoPoint, LControl::kNoPoint);
    if (!mRootControl)
        return S_OK;
    const RCPtr<LControl> root = mRootControl;
    const PointT<long> inRoot(point.x - RoundDoubleToInt(root->GetRect().x),
                              point.y - RoundDoubleToInt(root->GetRect().y));
    int32_t depth = LControl::kNoDepth;
    control = root->FindControlAtPoint(inRoot, true, localPoint, depth);
    if (updateHover)
        SetHoverControl(control);
    return S_OK;
}

KXRESULT LRootWindow::MouseButton(int32_t kind, int32_t button, int32_t modifiers, const PointT<long>& position,
                                  int32_t pointer)
{
    if (!mOSServices || !mOSServices->IsActive())
        return S_FALSE;
    const RCPtr<LRootWindow> self(this);
    ForgetControlsOutsideTree();
    PointT<long> cursor;
    if (GetCursorPosition(cursor) >= 0 && cursor != position)
        MouseMove(position, modifiers, pointer);
    HideToolTip();
    const bool validPointer = pointer >= 0 && pointer < kPointerCount;
    if (kind == kRelease) {
        if (validPointer)
            mPointerButtons[pointer] &= ~button;
        if (!mCaptureControl)
            return S_FALSE; // a release reaches no control without a capture
        const RCPtr<LControl> target = mCaptureControl;
        const int32_t doubleClick = (mDoubleClickBits & static_cast<uint32_t>(button)) ? 1 : 0;
        mDoubleClickBits &= ~static_cast<uint32_t>(button);
        return target->MouseUp(LMouseButtonParam::Create(button, ToControl(target, position), modifiers, doubleClick,
                                                         GetMouseButtons(), pointer));
    }
    if (validPointer)
        mPointerButtons[pointer] |= button;
    RCPtr<LControl> target;
    PointT<long> local;
    if (mCaptureControl) {
        target = mCaptureControl;
        local = ToControl(target, position);
    } else {
        GetControlAtPoint(target, position, local, true);
    }
    if (!target)
        return S_FALSE;
    const bool doubleClick = kind == kDoubleClick;
    const RCPtr<LMouseButtonParam> param = LMouseButtonParam::Create(button, local, modifiers, doubleClick ? 1 : 0,
                                                                     GetMouseButtons(), pointer);
    if (doubleClick)
        mDoubleClickBits |= static_cast<uint32_t>(button);
    else
        mDoubleClickBits &= ~static_cast<uint32_t>(button);
    return target->MouseDown(param);
}

KXRESULT LRootWindow::MouseMove(const PointT<long>& position, int32_t modifiers, int32_t pointer)
{
    if (!mOSServices || !mOSServices->IsActive())
        return S_FALSE;
    const RCPtr<LRootWindow> self(this);
    ForgetControlsOutsideTree();
    RCPtr<LControl> found;
    PointT<long> local;
    GetControlAtPoint(found, position, local, true);
    if (mCaptureControl) {
        const RCPtr<LControl> capture = mCaptureControl;
        return capture->MouseMove(LPointWithModifiersParam::Create(ToControl(capture, position), modifiers, pointer));
    }
    if (!found)
        return S_FALSE;
    return found->MouseMove(LPointWithModifiersParam::Create(local, modifiers, pointer));
}

KXRESULT LRootWindow::MouseWheel(const PointT<long>& position, int32_t modifiers, int32_t direction)
{
    if (!mOSServices || !mOSServices->IsActive())
        return S_FALSE;
    const RCPtr<LRootWindow> self(this);
    ForgetControlsOutsideTree();
    HideToolTip();
    RCPtr<LControl> target = mCaptureControl;
    if (!target) {
        PointT<long> local;
        GetControlAtPoint(target, position, local, true);
    }
    if (!target)
        return S_FALSE;
    const RCPtr<LMouseWheelParam> param = LMouseWheelParam::Create(position, modifiers, direction);
    const bool horizontal = param->IsHorizontal();
    KXRESULT result = horizontal ? target->MouseWheelHorizontal(param) : target->MouseWheel(param);
    // Not handled under the pointer: the focus control may want it.
    const RCPtr<LControl> focus = mFocusControl;
    if (result == S_FALSE && focus && focus != target)
        result = horizontal ? focus->MouseWheelHorizontal(param) : focus->MouseWheel(param);
    return result;
}

KXRESULT LRootWindow::KeyEvent(const RCPtr<LKeyParam>& param)
{
    if (!param)
        return E_INVALIDARG;
    const RCPtr<LRootWindow> self(this);
    ForgetControlsOutsideTree();
    HideToolTip();
    if (const RCPtr<LControl> focus = mFocusControl)
        return focus->KeyEvent(param); // its way ends at the bindings too
    // No control takes keys: the bindings still act, or Alt+F4 would not
    // reach the exit request.
    return ProcessHotKeys(param->mKey);
}

KXRESULT LRootWindow::ProcessHotKeys(const KeyCode& key)
{
    if (const RCPtr<LGlobalHotKeyManager> local = mLocalHotKeys) {
        if (local->ProcessKey(key) != S_FALSE)
            return S_OK;
    }
    LFrameworkApp* application = LFrameworkApp::sInstance;
    if (!application || !application->GetHotKeyManager())
        return S_FALSE;
    const RCPtr<LGlobalHotKeyManager> global = application->GetHotKeyManager();
    return global->ProcessKey(key);
}

// ---- Focus, capture, hover ----

KXRESULT LRootWindow::SetFocusControl(const RCPtr<LControl>& control)
{
    mFocusControl = control;
    return S_OK;
}

KXRESULT LRootWindow::SaveFocus()
{
    mSavedFocusControl = mFocusControl;
    mFocusControl = nullptr;
    return S_OK;
}

KXRESULT LRootWindow::OnFocusLost()
{
    const RCPtr<LRootWindow> self(this);
    ForgetControlsOutsideTree();
    SetHoverControl(RCPtr<LControl>());
    if (const RCPtr<LControl> root = mRootControl) {
        root->SetFocus(true);
        root->FocusLost();
    }
    return S_OK;
}

KXRESULT LRootWindow::OnFocusGained()
{
    const RCPtr<LRootWindow> self(this);
    ForgetControlsOutsideTree(); // a saved control that a new skin dropped
    const RCPtr<LControl> saved = mSavedFocusControl;
    if (!mFocusControl && saved)
        return saved->SetFocus(true);
    if (const RCPtr<LControl> root = mRootControl)
        return root->SetFocus(true);
    return S_FALSE;
}

KXRESULT LRootWindow::SetCaptureControl(const RCPtr<LControl>& control)
{
    if (!control)
        return E_INVALIDARG;
    if (mCaptureControl && mCaptureControl != control) {
        const RCPtr<LControl> previous = mCaptureControl;
        previous->EndCapture();
    }
    mCaptureControl = control;
    return S_OK;
}

bool LRootWindow::IsInTree(const RCPtr<LControl>& control) const
{
    if (!control || !mRootControl)
        return false;
    const LControl* child = control.Get();
    while (const LControl* parent = child->GetParent().Get()) {
        if (parent->GetChildren().IndexOf(child, 0) < 0)
            return false; // its parent let go of it (a new skin that does not name it)
        child = parent;
    }
    return child == mRootControl.Get();
}

KXRESULT LRootWindow::ForgetControlsOutsideTree()
{
    bool dropped = false;
    for (RCPtr<LControl>* held :
         {&mFocusControl, &mSavedFocusControl, &mHoverControl, &mToolTipControl, &mCaptureControl}) {
        if (*held && !IsInTree(*held)) {
            *held = nullptr;
            dropped = true;
        }
    }
    return dropped ? S_OK : S_FALSE;
}

KXRESULT LRootWindow::ReleaseCaptureControl()
{
    mCaptureControl = nullptr;
    return S_OK;
}

KXRESULT LRootWindow::OnCaptureLost()
{
    if (const RCPtr<LControl> capture = mCaptureControl)
        return capture->EndCapture();
    return S_FALSE;
}

RCPtr<LControl> LRootWindow::ResolveToolTipOwner(const RCPtr<LControl>& control) const
{
    RCPtr<LControl> owner = control;
    while (owner && owner->GetToolTipText().IsEmpty() && owner->mUseParentToolTip && owner->GetParent())
        owner = owner->GetParent();
    if (!owner || owner->GetToolTipText().IsEmpty())
        return RCPtr<LControl>();
    return owner;
}

void LRootWindow::HideToolTip()
{
    if (const RCPtr<LControl> owner = mToolTipControl)
        owner->ShowToolTip(false);
}

KXRESULT LRootWindow::SetHoverControl(const RCPtr<LControl>& control)
{
    // While a control holds the capture, only it can be the hover control.
    RCPtr<LControl> hover = control;
    if (mCaptureControl && hover != mCaptureControl)
        hover = nullptr;
    if (hover == mHoverControl)
        return S_FALSE;
    const RCPtr<LRootWindow> self(this);

    const RCPtr<LControl> owner =
        hover && hover != mCaptureControl ? ResolveToolTipOwner(hover) : RCPtr<LControl>();
    if (owner != mToolTipControl) {
        const RCPtr<LControl> previousOwner = mToolTipControl;
        if (previousOwner)
            previousOwner->ShowToolTip(false);
        mToolTipControl = owner;
        if (owner)
            owner->ShowToolTip(true);
    }

    const RCPtr<LControl> previous = mHoverControl;
    if (previous && (previous->GetParent() || previous->mRootWindow))
        previous->MouseLeave();
    mHoverControl = hover;
    if (hover)
        hover->MouseEnter();
    return S_OK;
}

KXRESULT LRootWindow::PointerLeft()
{
    const RCPtr<LRootWindow> self(this);
    ForgetControlsOutsideTree();
    return SetHoverControl(RCPtr<LControl>());
}

KXRESULT LRootWindow::CycleFocus(const KeyCode& key)
{
    if (!mOSServices || !mOSServices->IsActive() || mOSServices->IsModal())
        return S_FALSE;
    const RCPtr<LRootWindow> self(this);
    const bool backward = (key.GetCode() & KeyCode::ShiftBit) != 0;
    LFrameworkApp* application = LFrameworkApp::sInstance;
    const int32_t count = application ? application->GetRootWindowCount() : 0;
    if (count <= 1) {
        if (const RCPtr<LControl> root = mRootControl) {
            root->FocusLost();
            root->SetFocus(!backward);
        }
        return S_OK;
    }
    int32_t index = application->FindRootWindow(self);
    index += backward ? -1 : 1;
    if (index < 0)
        index = count - 1;
    else if (index >= count)
        index = 0;
    const RCPtr<LRootWindow> next = application->GetRootWindow(index);
    if (next && next->mOSServices && !next->mOSServices->IsActive())
        next->mOSServices->SetFocus();
    return S_OK;
}

// ---- Painting ----

KXRESULT LRootWindow::Invalidate(const RectT<long>& rect)
{
    RectT<long> clipped;
    if (!IntersectRects(clipped, rect, RectT<long>(0, 0, mClientRect.width, mClientRect.height)))
        return S_FALSE;
    {
        MutexLock lock(mLock);
        mDirtyRegion.AddRect(clipped.x, clipped.y, clipped.x + clipped.width, clipped.y + clipped.height);
    }
    if (mOSServices)
        mOSServices->InvalidateRect(clipped);
    return S_OK;
}

KXRESULT LRootWindow::RedrawNow()
{
    Invalidate(RectT<long>(0, 0, mClientRect.width, mClientRect.height));
    return mOSServices ? mOSServices->Redraw() : E_FAIL;
}

void LRootWindow::TakeDirtyRegion(LRectRegion& region)
{
    if (mFullRepaint) {
        Invalidate(RectT<long>(0, 0, mClientRect.width, mClientRect.height));
        mFullRepaint = false;
    }
    MutexLock lock(mLock);
    region = mDirtyRegion;
    mDirtyRegion.Clear();
}

LRectRegion LRootWindow::GetDirtyRegion()
{
    MutexLock lock(mLock);
    return mDirtyRegion;
}

KXRESULT LRootWindow::Paint(const LRectRegion& region)
{
    if (!mRootControl || region.IsEmpty())
        return S_OK;
    if (IsCompleteRedrawRequested()) {
        // The renderer cannot paint a part of this frame: the whole window
        // is painted in the pass that follows instead.
        if (mOSServices)
            mOSServices->InvalidateAll();
        return S_OK;
    }
    const RCPtr<LRootWindow> self(this);
    const RCPtr<LControl> root = mRootControl;
    RectT<double> area = root->GetRect();
    RectT<long> bounds;
    if (region.GetBounds(bounds))
        area = RectT<double>(bounds.x, bounds.y, bounds.width, bounds.height);
    // One state for the whole pass: the client area, clipped to what needs
    // painting.
    const StateDepthScope depth(mRenderer);
    if (mRenderer)
        mRenderer->PushClip(RectT<double>(0.0, 0.0, mClientRect.width, mClientRect.height), area,
                            RCPtr<LStencil>(), false);
    return PaintControl(root, region, true);
}

bool LRootWindow::IsCompleteRedrawRequested() const
{
    if (!mRenderer)
        return false;
    const RCPtr<LRenderContextInfo>& context = mRenderer->GetCurrentContext();
    return context && context->mCompleteRedraw;
}

KXRESULT LRootWindow::PaintControl(const RCPtr<LControl>& control, const LRectRegion& region, bool topLevel)
{
    RCPtrArray<LControl> unclipped;
    const KXRESULT result = control->Render(mRenderer, region, unclipped, !topLevel);
    PaintUnclipped(unclipped, region);
    return result;
}

void LRootWindow::PaintUnclipped(RCPtrArray<LControl>& unclipped, const LRectRegion& region)
{
    // Drawn on top in ascending Z order; equal orders keep the order in
    // which their parents handed them back.
    std::vector<RCPtr<LControl>> ordered;
    for (int32_t i = 0; i < unclipped.GetCount(); ++i)
        ordered.push_back(unclipped.GetAt(i));
    std::stable_sort(ordered.begin(), ordered.end(), [](const RCPtr<LControl>& a, const RCPtr<LControl>& b) {
        return a->GetLayout().mZOrder < b->GetLayout().mZOrder;
    });
    for (const RCPtr<LControl>& control : ordered) {
        // Each draws in its parent's client coordinates, clipped only to the
        // window.
        const PointT<double> position = control->GetRootPosition();
        const PointT<double> origin(position.x - control->GetRect().x, position.y - control->GetRect().y);
        const StateDepthScope depth(mRenderer);
        if (mRenderer)
            mRenderer->PushClip(RectT<double>(origin.x, origin.y, mClientRect.width, mClientRect.height),
                                RectT<double>(-origin.x, -origin.y, mClientRect.width, mClientRect.height),
                                RCPtr<LStencil>(), false);
        PaintControl(control, region, false);
    }
}

// ---- Window geometry ----

KXRESULT LRootWindow::OnSize(const PointT<long>& size)
{
    GetClientRect();
    if (const RCPtr<LControl> root = mRootControl)
        root->RecalcLayout(static_cast<int32_t>(size.x), static_cast<int32_t>(size.y));
    return S_OK;
}

bool LRootWindow::ConstrainSize(int32_t& width, int32_t& height)
{
    const int32_t proposedWidth = width;
    const int32_t proposedHeight = height;
    LFrameworkApp* application = LFrameworkApp::sInstance;
    if (mRootControl && application) {
        RectT<int32_t> workArea;
        application->GetWorkArea(workArea);
        PointT<int32_t> cursor;
        application->GetCursorPosition(cursor);
        RectT<double> placed;
        LayoutUtils::ComputePlacement(&mRootControl->GetLayout(), nullptr,
                                      RectT<double>(workArea.x, workArea.y, workArea.width, workArea.height),
                                      PointT<double>(width, height), PointT<double>(cursor.x, cursor.y), placed);
        PointT<double> position(placed.x, placed.y);
        PointT<double> size(placed.width, placed.height);
        LayoutUtils::ApplyMinSize(*mRootControl, position, size);
        LayoutUtils::ApplyMaxSize(*mRootControl, position, size);
        width = RoundDoubleToInt(size.x);
        height = RoundDoubleToInt(size.y);
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
    return width != proposedWidth || height != proposedHeight;
}

KXRESULT LRootWindow::SetWindowRect(const RectT<long>& rect)
{
    if (!mOSServices)
        return S_FALSE;
    if (rect == GetClientRect())
        return S_FALSE;
    mOSServices->SetWindowRect(rect);
    GetClientRect();
    if (const RCPtr<LControl> root = mRootControl)
        root->InvalidateRect(RectT<double>(0.0, 0.0, root->GetRect().width, root->GetRect().height),
                             root->GetLayout().mClipToParent);
    return S_OK;
}

RectT<long> LRootWindow::GetClientRect()
{
    if (mOSServices) {
        RectT<long> client = mClientRect;
        mOSServices->GetClientRect(client);
        PointT<long> origin;
        if (mOSServices->ClientToScreen(origin, PointT<long>(0, 0)) >= 0) {
            client.x = origin.x;
            client.y = origin.y;
        }
        mClientRect = client;
    }
    return mClientRect;
}

int32_t LRootWindow::GetMouseButtons()
{
    if (!mOSServices)
        return 0;
    if (mOSServices->IsActive())
        return mOSServices->GetMouseButtons();
    return LFrameworkApp::sInstance ? LFrameworkApp::sInstance->GetMouseButtons() : 0;
}

KXRESULT LRootWindow::GetCursorPosition(PointT<long>& point)
{
    point = PointT<long>(0, 0);
    if (!mOSServices)
        return S_OK;
    if (mOSServices->IsActive())
        return mOSServices->GetCursorPosition(point);
    PointT<int32_t> screen;
    if (!LFrameworkApp::sInstance || LFrameworkApp::sInstance->GetCursorPosition(screen) < 0)
        return E_FAIL;
    return mOSServices->ScreenToClient(point, PointT<long>(screen.x, screen.y));
}

int32_t LRootWindow::GetModifierKeys()
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    if (!application)
        return 0;
    int32_t modifiers = 0;
    bool down = false;
    bool toggled = false;
    if (application->GetKeyState(VK_CONTROL, down, toggled) >= 0 && down)
        modifiers |= 0x01;
    if (application->GetKeyState(VK_SHIFT, down, toggled) >= 0 && down)
        modifiers |= 0x08;
    if (application->GetKeyState(VK_MENU, down, toggled) >= 0 && down)
        modifiers |= 0x40;
    return modifiers;
}

HCURSOR LRootWindow::SetCursor(HCURSOR cursor)
{
    if (!mOSServices)
        return nullptr;
    if (!cursor && LFrameworkApp::sInstance)
        cursor = LFrameworkApp::sInstance->GetCursor(String(L"UI_CURSOR_ARROW"));
    return mOSServices->SetCursor(cursor);
}

KXRESULT LRootWindow::EnableTextInput(bool enable, const RCPtr<LControl>& control)
{
    if (!mOSServices)
        return S_FALSE;
    if (!enable)
        return mOSServices->EnableTextInput(false, RCPtr<LControl>());
    if (control && control->CanEdit())
        return mOSServices->EnableTextInput(true, control);
    return S_FALSE;
}

// ---- Closing and idle ----

KXRESULT LRootWindow::RequestClose(int32_t code)
{
    if (!mOSServices)
        return E_FAIL;
    mCloseCode = code;
    mClosePending = true;
    return S_OK;
}

KXRESULT LRootWindow::CloseRequest()
{
    const RCPtr<LRootWindow> self(this);
    if (const RCPtr<LDialog> dialog = RCPtr<LDialog>::DynamicCast(mRootControl))
        return dialog->Close(2);
    return RequestClose(0);
}

bool LRootWindow::Idle(bool first)
{
    // Closing destroys the OS window, which lets go of this root window.
    const RCPtr<LRootWindow> self(this);
    ForgetControlsOutsideTree();
    const bool more = ProcessNotifications(first);
    if (mClosePending) {
        mClosePending = false;
        if (mOSServices)
            mOSServices->Close(mCloseCode);
    }
    return more;
}

int32_t LRootWindow::GetPointerButtons(int32_t pointer) const
{
    if (pointer < 0 || pointer >= kPointerCount)
        return 0;
    return mPointerButtons[pointer];
}

} // namespace KX
