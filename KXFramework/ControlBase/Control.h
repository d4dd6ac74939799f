// KX::LControl: the base of every control. A window's user interface is one
// tree of controls: the top control belongs to a root window, every other
// control has exactly one parent and owns its children.
//
// A control is at once a counted object, a receiver of notifications (its
// handler table), a distributor that sends notifications to its listeners,
// and the target of the root window's input calls (KX::UITarget).
//
// Contract:
// - Ownership: the parent's child list holds one reference on each child,
//   and each child's parent pointer holds one reference on the parent, which
//   the parent counts as an internal reference. When only internal references
//   are left, the release hook unregisters the listeners and removes every
//   child, so a whole tree falls apart when its last outside reference goes.
// - Names are unique among siblings; the child list refuses a duplicate.
// - The unclipped-descendant count of a control always equals the number of
//   its descendants, at any depth, whose layout does not clip to the parent.
// - Notifications reach the control's handler table only once its creation
//   sequence has finished (mCreated).
// - Loops that call out while walking a child list walk a snapshot and skip
//   entries that left the list meanwhile, so a listener may remove controls.
// - User-interface thread only; nothing here is locked.
//
// The implementation is split by responsibility:
//   Control.cpp              construction, lifetime, tree membership, visibility
//   ControlChildList.cpp     the child list and its three orders
//   ControlLayout.cpp        placement, rectangle, scrolling, coordinates
//   ControlConditions.cpp    the condition word and its notifications
//   ControlCreation.cpp      creation from descriptors
//   ControlLooks.cpp         the looks held, their weights and regions
//   ControlRendering.cpp     drawing through the renderer
//   ControlInvalidation.cpp  the invalidation chain and back-buffer bookkeeping
//   ControlValueText.cpp     value, text and font
//   ControlMouse.cpp         pointer input, capture, clicks, hit testing
//   ControlFocus.cpp         focus and tab order
//   ControlKeys.cpp          the way a key travels: local, sibling, navigation and hot keys
//   ControlScrolling.cpp     wheel, kinetic scrolling and idle requests
//   ControlDrag.cpp          drag and drop inside the tree
//   ControlToolTips.cpp      tool tips, context menus and edit targets
#pragma once

#include "ControlBase/ControlDescriptor.h"
#include "ControlBase/EventParams.h"
#include "ControlBase/LayoutDescriptor.h"
#include "ControlBase/StringTable.h"
#include "ControlBase/UITarget.h"
#include "KXPlatform.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationHandler.h"
#include "ObjectBase/TaggableObject.h"
#include "System/KeyBindingMap.h"
#include "Utilities/Geometry/PointT.h"
#include "Utilities/Geometry/RectRegion.h"
#include "Utilities/Geometry/RectT.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

enum ResizeType : int32_t;
class LBitmap;
class LFont;
class LLook;
class LMenuDescriptor;
class LNotificationCenter;
class LRenderContextInfo;
class LRenderer;
class LRootWindow;
class LVisualPart;
struct MenuItemState;

class LControl : public virtual LNotificationClient,
                 public virtual LNotificationDistributor,
                 public virtual LTaggableObject,
                 public virtual UITarget,
                 public virtual LRefCountedObject
{
public:
    using String = StringT<wchar_t, char>;
    using Handler = LNotificationHandler<LControl>;

    // ---- Condition bits ----
    static constexpr uint32_t kHasFocus = 0x0001;
    static constexpr uint32_t kContainsFocus = 0x0002;
    static constexpr uint32_t kHover = 0x0004;
    static constexpr uint32_t kCapture = 0x0008;
    static constexpr uint32_t kLeftPressed = 0x0010;
    static constexpr uint32_t kMiddlePressed = 0x0020;
    static constexpr uint32_t kRightPressed = 0x0040;
    static constexpr uint32_t kLeftDrag = 0x0080;
    static constexpr uint32_t kMiddleDrag = 0x0100;
    static constexpr uint32_t kRightDrag = 0x0200;
    static constexpr uint32_t kEnabled = 0x0400;
    static constexpr uint32_t kVisible = 0x0800;
    static constexpr uint32_t kHoverOrOverride = 0x1000;

    // ---- Child orders ----
    static constexpr int32_t kInsertionOrder = 0;
    static constexpr int32_t kDrawOrder = 1;
    static constexpr int32_t kTabOrder = 2;

    // A depth that means "none": the control and all its ancestors clip.
    static constexpr int32_t kNoDepth = INT32_MIN;
    // The out point of a hit test that found nothing.
    static constexpr long kNoPoint = INT32_MIN;

    // The children, kept in insertion order, with index arrays for the draw
    // and the tab order that are sorted again whenever the list changed.
    class ChildControlList
    {
    public:
        // Orders child indices by TabStop, equal ones by insertion.
        struct TabOrderLess
        {
            const RCPtrArray<LControl>* mChildren;
            bool operator()(uint32_t a, uint32_t b) const;
        };
        // Orders child indices for drawing: clipped before unclipped, fewer
        // docked axes first, then Z_Order, then insertion.
        struct DrawOrderLess
        {
            const RCPtrArray<LControl>* mChildren;
            bool operator()(uint32_t a, uint32_t b) const;
        };

        explicit ChildControlList(LControl* owner);
        virtual ~ChildControlList();
        ChildControlList(const ChildControlList&) = delete;
        ChildControlList& operator=(const ChildControlList&) = delete;

        // 0; E_INVALIDARG for a null child; E_FAIL when a child of an equal
        // name is in the list already (nothing changes then).
        KXRESULT Add(const RCPtr<LControl>& child);
        // The child's former index, or -1 when it is not in the list.
        int32_t Remove(const RCPtr<LControl>& child);
        // 0, or 1 when the list was empty.
        KXRESULT RemoveAll();
        // The child at a position of an order (0 insertion, 1 draw, 2 tab).
        // Throws the runtime error for an index >= count or another order.
        RCPtr<LControl>& GetAt(int32_t index, int32_t order);
        const RCPtr<LControl>& GetAt(int32_t index, int32_t order) const;
        // Rebuilds and sorts both index arrays. 0.
        KXRESULT UpdateOrder();
        // A change that may alter the orders.
        void Touch() { ++mGeneration; }

        int32_t GetCount() const { return mChildren.GetCount(); }
        // The index of the child in an order, or -1.
        int32_t IndexOf(const LControl* child, int32_t order) const;
        // A copy of the children in insertion order, for walks that call out.
        RCPtrArray<LControl> Snapshot() const { return mChildren; }
        const RCPtrArray<LControl>& GetChildren() const { return mChildren; }
        uint32_t GetGeneration() const { return mGeneration; }

    private:
        void EnsureSorted() const;
        // The insertion index of the child at a position of an order; the
        // runtime error with the given source lines (one per GetAt) for an
        // index out of range or another order.
        int32_t InsertionIndexAt(int32_t index, int32_t order, int32_t rangeLine, int32_t orderLine) const;

        TabOrderLess mTabLess;
        DrawOrderLess mDrawLess;
        RCPtrArray<LControl> mChildren;
        mutable Array<uint32_t> mTabOrder;
        mutable Array<uint32_t> mDrawOrder;
        uint32_t mGeneration = 1;
        mutable uint32_t mSortedGeneration = 0;
        LControl* mOwner;
    };

    // Runs the creation sequence for a control of class T (constructed with
    // the parent and the descriptor's name): ApplyControlDescriptor,
    // CreateChildren, Initialize, OnCreated, then the created flag. Answers
    // `out`. An exception from a step releases the control and passes on.
    template <class T>
    static RCPtr<LControl>& CreateControlOfClass(RCPtr<LControl>& out, const RCPtr<LControl>& parent,
                                                 const RCPtr<LControlDescriptor>& descriptor);

    // ==== Virtual operations, in slot order ====

    virtual KXRESULT SetText(const String& text);
    virtual double SetNormalizedValue(double value);
    virtual void OnValueChange();
    virtual KXRESULT SetValueRange(double minimum, double maximum, int32_t mapping);
    virtual KXRESULT BeginBackBufferResize();
    virtual KXRESULT EndBackBufferResize();
    virtual KXRESULT InvalidateBackBuffer(const PointT<double>& oldOffset, const PointT<double>& newOffset);
    virtual KXRESULT InvalidateChild(const RCPtr<LControl>& child);
    virtual PointT<double> GetPreferredSize();
    virtual PointT<double> GetMaxSize();
    virtual bool SetClipToParent(bool clip);
    virtual const PointT<double>& SetScrollOffset(const PointT<double>& offset);
    virtual const RCPtr<LStringTable>& GetStringTable() const;
    virtual bool CanEdit();
    virtual RCPtr<LControl> GetEditTarget();
    virtual bool CanPerformEdit(int32_t request);
    virtual KXRESULT PerformEdit(int32_t request);
    virtual KXRESULT SetDragMode(int32_t mode, int32_t flags);
    virtual KXRESULT BeginDrag();
    virtual KXRESULT RebaseDrag();
    virtual KXRESULT DragTo(const RCPtr<LPointWithModifiersParam>& param);
    virtual void OnDragMoved(const RCPtr<LPointWithModifiersParam>& param);
    virtual KXRESULT EndDrag();
    virtual RCPtr<LControl> FindDropTarget(const RCPtr<LControl>& dragged, PointT<long>& point);
    virtual bool AcceptsDrop(const RCPtr<LControl>& dragged);
    virtual int32_t DragReserved(const RCPtr<LControl>& dragged);
    // {lowest X, lowest Y, highest X, highest Y} offsets; unbounded in the base.
    virtual RectT<double> GetScrollRange(const RCPtr<LControl>& control);
    virtual RectT<double> GetClientRect();
    virtual void GetDragBounds(RectT<double>& bounds);
    virtual void DragEnter(const RCPtr<LControl>& dragged);
    virtual void DragOver(const RCPtr<LControl>& dragged, const PointT<long>& point);
    virtual void DragLeave(const RCPtr<LControl>& dragged);
    virtual KXRESULT Drop(const RCPtr<LControl>& dragged);
    virtual KXRESULT SetFocus(bool first);
    virtual KXRESULT SetFocusDisabled(bool disabled);
    virtual bool HasFocusableChild();
    virtual void OnConditionsChanged(const RCPtr<LConditionsParam>& param);
    virtual KXRESULT Detach();
    virtual KXRESULT ProcessRootWindowAquired();
    virtual void OnChildRemoved(const RCPtr<LControl>& child, int32_t formerIndex);
    virtual bool SetVisible(bool visible);
    virtual bool IsTransparentAt(const PointT<long>& point);
    virtual uint32_t GetColorAtPoint(const PointT<long>& point, int32_t lookIndex);
    virtual KXRESULT UpdateMenuItem(const RCPtr<LMenuDescriptor>& menu, int32_t itemIndex,
                                    const wchar_t* notificationId, MenuItemState& state);
    virtual const RCPtr<LMenuDescriptor>& GetContextMenu();
    virtual void PrepareContextMenu(const RCPtr<LControl>& popupMenu);
    virtual KXRESULT SelectLook(int32_t index, bool exclusive);
    virtual int32_t AddLook(const RCPtr<LLook>& look);
    // Offered the window rectangle on a re-skin; 1 moves the window there.
    virtual KXRESULT AdjustRootWindowRect(RectT<double>& rect);
    virtual KXRESULT SetEnabled(bool enabled);
    virtual KXRESULT ApplyControlDescriptor(const RCPtr<LControlDescriptor>& descriptor);
    virtual KXRESULT Render(const RCPtr<LRenderer>& renderer, const LRectRegion& region,
                            RCPtrArray<LControl>& unclipped, bool unclippedPass);
    virtual KXRESULT InvalidateFromChild(const RectT<double>& rootRect, bool clip, const RectT<double>& localRect);
    virtual KXRESULT InvalidateRect(const RectT<double>& rect, bool clip);
    // The control under a point of this control's coordinates, or null; the
    // local point follows the control found ({kNoPoint, kNoPoint} without).
    virtual RCPtr<LControl> FindControlAtPoint(const PointT<long>& point, bool inside, PointT<long>& localPoint,
                                               int32_t& bestDepth);
    virtual void OnFontChange();
    virtual KXRESULT RequestFocus(const RCPtr<LControl>& child);
    virtual void OnLeftButtonDown(const RCPtr<LMouseButtonParam>& param);
    virtual void OnLeftButtonUp(const RCPtr<LMouseButtonParam>& param);
    virtual void OnMiddleButtonDown(const RCPtr<LMouseButtonParam>& param);
    virtual void OnMiddleButtonUp(const RCPtr<LMouseButtonParam>& param);
    virtual void OnRightButtonDown(const RCPtr<LMouseButtonParam>& param);
    virtual void OnRightButtonUp(const RCPtr<LMouseButtonParam>& param);
    virtual void OnMouseMove(const RCPtr<LPointWithModifiersParam>& param);
    // 1: not handled, the wheel goes on; anything else stops it.
    virtual KXRESULT OnMouseWheel(const RCPtr<LMouseWheelParam>& param);
    virtual KXRESULT OnMouseWheelHorizontal(const RCPtr<LMouseWheelParam>& param);
    virtual KXRESULT Click(const RCPtr<LMouseButtonParam>& param);
    virtual KXRESULT LeftClick(const RCPtr<LMouseButtonParam>& param);
    virtual KXRESULT MiddleClick(const RCPtr<LMouseButtonParam>& param);
    virtual KXRESULT RightClick(const RCPtr<LMouseButtonParam>& param);
    virtual void OnLeftClick(const RCPtr<LMouseButtonParam>& param);
    virtual void OnMiddleClick(const RCPtr<LMouseButtonParam>& param);
    virtual void OnRightClick(const RCPtr<LMouseButtonParam>& param);
    virtual bool ContainsPoint(const PointT<long>& point);
    virtual RCPtr<LControl> GetNextTabChild(const RCPtr<LControl>& child, bool backward);
    // 1: not handled.
    virtual KXRESULT OnKey(const RCPtr<LKeyParam>& param);
    virtual KXRESULT DispatchSiblingKey(const RCPtr<LKeyParam>& param);
    virtual KXRESULT ProcessHotKey(const RCPtr<LKeyParam>& param);
    virtual KXRESULT ProcessNavigationKey(const RCPtr<LKeyParam>& param);
    // The order in which the "NID_SIBLING_KEY" registrations are offered a
    // key (walked from the last entry to the first): registration positions.
    virtual void SortSiblingKeyTargets(const RCPtr<LKeyParam>& param,
                                       const RCPtr<LNotificationDistributor::LNotificationClientPool>& registrations,
                                       Array<int32_t>& order);
    virtual KXRESULT InheritFont();
    virtual KXRESULT OnParentScrollOffsetChange(const PointT<double>& oldOffset, const PointT<double>& newOffset);
    virtual KXRESULT OnChildRectChange(const RCPtr<LControl>& child);
    virtual void OnIdle();
    virtual KXRESULT RenderContent(const RCPtr<LRenderer>& renderer);
    virtual KXRESULT RenderOverlay(const RCPtr<LRenderer>& renderer);
    virtual KXRESULT CreateChildren(const RCPtr<LControlDescriptor>& descriptor);
    virtual KXRESULT Initialize();
    virtual KXRESULT ApplyCreateParams();
    virtual KXRESULT AddChild(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor);
    virtual KXRESULT OnCreated();
    virtual String GetToolTipText();
    virtual KXRESULT ShowToolTip(bool show);
    virtual RectT<double> GetVisibleRect();
    // Derived controls append their own virtual operations after this one.

    // ==== KX::UITarget ====

    KXRESULT MouseEnter() override;
    KXRESULT MouseMove(const RCPtr<LPointWithModifiersParam>& param) override;
    KXRESULT MouseDown(const RCPtr<LMouseButtonParam>& param) override;
    KXRESULT MouseUp(const RCPtr<LMouseButtonParam>& param) override;
    KXRESULT MouseLeave() override;
    KXRESULT BeginCapture(int32_t button, int32_t x, int32_t y) override;
    KXRESULT EndCapture() override;
    KXRESULT KeyEvent(const RCPtr<LKeyParam>& param) override;
    KXRESULT MouseWheel(const RCPtr<LMouseWheelParam>& param) override;
    KXRESULT MouseWheelHorizontal(const RCPtr<LMouseWheelParam>& param) override;
    // Runs RecalcLayout(); 0.
    KXRESULT RecalcLayout(int32_t width, int32_t height) override;
    bool AcceptsInput() override;
    KXRESULT FocusLost() override;

    // ==== Notification receiver and counted object ====

    // Handed to the handler table only while it exists and the control is
    // created; ignored otherwise.
    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    // Removes the binding from the handler table, then the registration.
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;
    // Breaks the tree's cycles when only internal references are left.
    KXRESULT ReleaseInternalReferences() override;

    // ==== Tree membership (Control.cpp) ====

    // 0, or 1 when the parent is the current one.
    KXRESULT SetParent(const RCPtr<LControl>& parent);
    // 0; E_FAIL for a control that has a parent.
    KXRESULT SetRootWindow(const RCPtr<LRootWindow>& rootWindow);
    RCPtr<LControl> GetRootControl();
    // The root window of the top-most ancestor; the null pointer when the
    // tree is not attached to a window.
    const RCPtr<LRootWindow>& GetRootWindow() const;
    // 0, or E_INVALIDARG when the argument is not a child of this control.
    KXRESULT RemoveChildDeferred(const RCPtr<LControl>& child);
    KXRESULT ProcessDeferredRemovals();
    bool IsVisible(bool recursive) const;
    bool IsEnabled(bool recursive) const;
    bool HasBackBuffer() const { return mHasBackBuffer; }
    const RCPtr<LControl>& GetParent() const { return mParent; }
    const String& GetName() const { return mName; }
    // The description the control was made from (its skin's record).
    const RCPtr<LControlDescriptor>& GetDescriptor() const { return mDescriptor; }
    bool IsCreated() const { return mCreated; }

    // ==== Children ====

    ChildControlList& GetChildren() { return mChildren; }
    const ChildControlList& GetChildren() const { return mChildren; }
    int32_t GetChildCount() const { return mChildren.GetCount(); }
    // The index of a child in an order, -1 when it is no child.
    int32_t GetChildIndex(const RCPtr<LControl>& child, int32_t order) const;
    // The direct child of that name (searched from the last), or the null pointer.
    const RCPtr<LControl>& FindChild(const String& name) const;
    // Empties the array, then fills it depth first; answers the count.
    int32_t GetDescendants(RCPtrArray<LControl>& descendants) const;

    // ==== Unclipped descendants ====

    void AddUnclippedDescendant();
    void RemoveUnclippedDescendant();
    int32_t GetUnclippedDescendantCount() const { return mUnclippedDescendantCount; }
    // Appends the visible (or all) controls that do not clip to their parent,
    // this one included when asked; answers how many were appended.
    int32_t CollectUnclippedDescendants(RCPtrArray<LControl>& list, bool visibleOnly, bool includeSelf);
    // Invalidates the areas of the unclipped descendants (see Control.cpp).
    void InvalidateUnclippedDescendants();

    // ==== Layout (ControlLayout.cpp) ====

    // 0 when the rectangle changed, 1 when it stayed, E_FAIL without a layout
    // or, for a top control, without a root window.
    KXRESULT RecalcLayout();
    // 1 when equal to the current rectangle, else 0.
    KXRESULT SetRect(const PointT<double>& position, const PointT<double>& size);
    KXRESULT SetPlacementXY(const LLayoutDescriptor::PositionSpec& xPosition, bool xDocked,
                            const LLayoutDescriptor::SizeSpec& xSize,
                            const LLayoutDescriptor::PositionSpec& yPosition, bool yDocked,
                            const LLayoutDescriptor::SizeSpec& ySize);
    KXRESULT SetPlacement(int32_t axis, const LLayoutDescriptor::PositionSpec& position, bool docked,
                          const LLayoutDescriptor::SizeSpec& size);
    KXRESULT SetSizeLimits(int32_t axis, const LLayoutDescriptor::SizeLimitSpec& minimum,
                           const LLayoutDescriptor::SizeLimitSpec& maximum);
    // Gives the control its own clone of a layout record (the descriptor's,
    // when a description is applied), keeping the ancestors' unclipped counts
    // right. Does not lay out.
    KXRESULT SetLayoutDescriptor(const ConstRCPtr<LLayoutDescriptor>& layout);
    // The control's layout record; a default record while it has none yet.
    const LLayoutDescriptor& GetLayout() const;
    const RCPtr<LLayoutDescriptor>& GetLayoutDescriptor() const { return mLayout; }
    RectT<double> GetLookClientRect(int32_t lookIndex);
    PointT<double> GetRootPosition() const;
    PointT<double> GetPositionInParentClient() const;
    KXRESULT OffsetToControl(const RCPtr<LControl>& other, PointT<double>& point) const;
    RectT<double> GetChildrenBounds() const;
    const RectT<double>& GetRect() const { return mRect; }
    const PointT<double>& GetScrollOffset() const { return mScrollOffset; }
    bool IsLayoutSuspended() const { return mLayoutSuspended; }

    // ==== Conditions (ControlConditions.cpp) ====

    uint32_t ComputeConditions() const;
    void UpdateConditions();
    void SetHoverOverride(bool hoverOverride);
    uint32_t GetConditions() const;
    const RCPtr<LConditionsParam>& GetConditionsParam() const { return mConditionsParam; }
    bool HasFocus() const { return mHasFocus; }
    bool ContainsFocus() const { return mContainsFocus; }
    bool IsHovered() const { return mHover; }
    bool HasCapture() const { return mCapture; }

    // ==== Looks (ControlRendering.cpp) ====

    KXRESULT SetLookWeight(int32_t index, float weight, bool exclusive);
    // The look at the index; an index outside selects the active look, else
    // the first look, else the null pointer.
    const RCPtr<LLook>& GetLook(int32_t index) const;
    // The first look with a weight above 0, or -1.
    int32_t GetActiveLookIndex() const;
    int32_t GetLookCount() const { return mLooks.GetCount(); }
    float GetLookWeight(int32_t index) const;
    KXRESULT SetLookRegion(int32_t index, const LRectRegion& region);
    KXRESULT ClearLookRegion(int32_t index);
    KXRESULT ClearAllLookRegions();
    KXRESULT InvalidateLookExcept(int32_t a, int32_t b);
    // The look's image part (LLook::SetImage's result); E_FAIL without the
    // look. The control is invalidated when the active look changed.
    KXRESULT SetLookImage(const RCPtr<LBitmap>& bitmap, ResizeType resizeType, int32_t index, bool replacesClient);
    // The part the look's label is drawn in; E_FAIL without the look,
    // E_INVALIDARG for a null part. Nothing is invalidated.
    KXRESULT SetLookPart(const RCPtr<LVisualPart>& part, int32_t index);
    int32_t GetEffectiveZOrder() const;
    KXRESULT ResizeBackBuffer();

    // ==== Value, text and font (ControlValueText.cpp) ====

    double NormalizedToValue(double normalized) const;
    double ValueToNormalized(double value) const;
    double GetNormalizedValue() const { return mNormalizedValue; }
    bool ChangeText(const String& text, bool relayout);
    const String& GetText() const { return mText; }
    String GetString(const wchar_t* identifier) const;
    bool IsTextTruncated();
    KXRESULT SetFont(const RCPtr<LFont>& font);
    KXRESULT SetFontFromSpec(const String& name, float size, int32_t style, bool sizeIsRelative);
    const RCPtr<LFont>& GetFont() const { return mFont; }

    // ==== Pointer (ControlMouse.cpp) ====

    KXRESULT SetDragThreshold(int32_t pixels);
    int32_t GetDragThreshold() const { return mDragThreshold; }
    KXRESULT SetHoverCursor(HCURSOR cursor);
    // Whether the left button holds the control down: it has the capture and
    // the left press has not been released, whether it is still a press or
    // has turned into a drag (condition bits 3 and 4, or 3 and 7).
    bool IsHeld() const { return mCapture && (mLeftPressed || mLeftDrag); }
    // The control's depth for hit testing (kNoDepth when it and its whole
    // chain clip to their parents).
    int32_t GetDepth() const;
    bool IsHitTestExcluded() const { return mHitTestExcluded; }
    void SetHitTestExcluded(bool excluded) { mHitTestExcluded = excluded; }

    // ==== Focus and keys (ControlFocus.cpp) ====

    bool IsFocusable();
    bool IsFocusDisabled(bool recursive) const;
    RCPtr<LControl> GetFocusedChild();
    RCPtr<LControl> GetFirstFocusableChild();
    RCPtr<LControl> GetLastFocusableChild();
    // From the start, along the tab order, the first child that can take the
    // focus itself or below it; null after one round.
    RCPtr<LControl> FindFocusableInTabOrder(const RCPtr<LControl>& start, bool backward);
    KXRESULT AcquireFocusPath(const RCPtr<LControl>& child);
    KeyCode GetLocalHotKey(const wchar_t* notificationId) const;
    bool HasLocalHotKey(const wchar_t* notificationId) const;
    bool WantsTab() const { return mWantsTab; }

    // ==== Wheel, kinetic scrolling, idle (ControlScrolling.cpp) ====

    KXRESULT StartKineticScroll(int32_t axis, double velocity, double highest, double lowest,
                                const RCPtr<LControl>& dragTarget);
    KXRESULT StopKineticScroll(int32_t axis);
    KXRESULT AddIdleRequest();
    KXRESULT ReleaseIdle();
    int32_t GetIdleRequestCount() const { return mIdleRequestCount; }
    bool IsKineticScrollRunning(int32_t axis) const { return (axis == 0 || axis == 1) && mKineticRunning[axis]; }
    double GetKineticVelocity(int32_t axis) const { return (axis == 0 || axis == 1) ? mKineticVelocity[axis] : 0.0; }
    bool IsFlickActive(int32_t axis) const { return (axis == 0 || axis == 1) && mFlickActive[axis]; }
    double GetFlickVelocity(int32_t axis) const { return (axis == 0 || axis == 1) ? mFlickVelocity[axis] : 0.0; }

    // ==== Drag and drop (ControlDrag.cpp) ====

    int32_t GetDragMode() const { return mDragMode; }
    int32_t GetDragFlags() const { return mDragFlags; }
    const RCPtr<LControl>& GetDropTarget() const { return mDropTarget; }
    const PointT<double>& GetDragDelta() const { return mDragDelta; }

    // ==== Tool tips, context menus (ControlToolTips.cpp) ====

    // Whether the control shows its parent's tool tip when its own text is
    // empty (the create parameter "USE_PARENT_TOOLTIP").
    void SetUseParentToolTip(bool use) { mUseParentToolTip = use; }
    KXRESULT SetContextMenu(const RCPtr<LMenuDescriptor>& menu);
    KXRESULT ShowContextMenu(const RCPtr<LMenuDescriptor>& menu);
    KXRESULT LoadContextMenus(RCPtrArray<LMenuDescriptor>& menus);
    const RCPtr<LMenuItemUpdater>& GetMenuItemUpdater();

    // ==== Diagnostics ====

    // Controls that exist now (constructed and not yet destroyed).
    static int32_t GetLiveCount();

protected:
    LControl(const RCPtr<LControl>& parent, const String& name);
    ~LControl() override;

    // The control's own layout record, made from the defaults on first write.
    LLayoutDescriptor& EditLayout();
    // Sends a notification with optional data through this control's own
    // distributor part; the result of the send.
    KXRESULT SendNotificationWithData(const wchar_t* identifier,
                                      const RCPtr<LRefCountedObject>& data = RCPtr<LRefCountedObject>::sNull);
    // The "NID_IDLE" handler of an idle request.
    KXRESULT OnIdleNotification(const RCPtr<LNotificationDistributor>& sender,
                                const RCPtr<LNotification>& notification);
    // Hands a key that went up the tree to the root window's focus cycling
    // (Tab) or key bindings and then the application's hot keys (others).
    KXRESULT PassKeyToWindow(const RCPtr<LKeyParam>& param, bool navigation);
    // Registers the idle handler with the tree's root window.
    KXRESULT RegisterIdleHandler(const RCPtr<LRootWindow>& rootWindow);
    // Sets mRootWindow, counting the reference as one of the window's own.
    void AttachRootWindow(const RCPtr<LRootWindow>& rootWindow);
    // Whether this control may take pointer input outside a capture: visible
    // along its chain, enabled itself, its parent enabled along its chain.
    bool IsUsable() const;

    // ---- Drawing steps (ControlRendering.cpp) ----

    // RenderContent (or RenderOverlay) once per dirty rectangle that meets
    // the current clip, with that rectangle pushed as a clip.
    void RenderInDirtyRects(const RCPtr<LRenderer>& renderer, const LRectRegion& region, bool overlay);
    // The children drawn for one look (-1: for a control without looks) in
    // their three runs.
    void RenderChildren(const RCPtr<LRenderer>& renderer, const LRectRegion& region, RCPtrArray<LControl>& unclipped,
                        int32_t lookIndex);
    // Without a target to draw on: only the walk that finds the controls on top.
    void RenderWithoutTarget(const RCPtr<LRenderer>& renderer, const LRectRegion& region,
                             RCPtrArray<LControl>& unclipped);
    void AppendUnclippedChildren(RCPtrArray<LControl>& unclipped);
    RCPtrArray<LControl> DrawOrderSnapshot() const;
    // Adds an area (control coordinates) to the back buffer's dirty region
    // where the buffer holds content.
    void MarkBackBufferDirty(const RectT<double>& area);

    // ---- Creation steps (ControlCreation.cpp) ----

    // The local hot-key handler of "NID_SIBLING_KEY": a key bound in
    // mLocalHotKeys is answered with its notification, delivered to this
    // control. Always 1, so the key goes on to the other siblings.
    KXRESULT OnLocalHotKey(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    // One look per slot of the description's look list.
    void ApplyLooks(const RCPtr<LControlDescriptor>& descriptor);
    // The description's font request.
    void ApplyFont(const RCPtr<LControlDescriptor>& descriptor);
    // Re-skin of a top control: the window keeps its place and size.
    void KeepWindowPlace();
    // Re-skin of a top control: it fills the window again.
    void FillRootWindow();
    // Re-skin: the previous children that the description names join again
    // with their new descriptions; they leave `previous`.
    void ReattachChildren(const RCPtr<LControlDescriptor>& descriptor, RCPtrArray<LControl>& previous);

    // ---- Context-menu shortcuts (ControlToolTips.cpp) ----

    // Installs (or removes) the handler that forwards each item of the menu
    // whose notification a key binding of the window or the application
    // binds, submenus included.
    void ForwardMenuShortcuts(const RCPtr<LMenuDescriptor>& menu, bool install);
    // The forwarding handler: the item's notification goes where its key's
    // notification would go. 1.
    KXRESULT OnMenuShortcut(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);

    // ---- Font (ControlValueText.cpp) ----

    // The base font of a font request: the parent's font when the font
    // follows the parent, else the font the current skin settled on.
    RCPtr<LFont> GetBaseFont() const;

    // ---- Fields, in order ----
    RCPtr<Handler> mHandler;
    String mName;
    RCPtr<LControlDescriptor> mDescriptor;
    RCPtr<LLayoutDescriptor> mLayout;
    RectT<double> mRect;
    PointT<double> mScrollOffset;
    int32_t mUnclippedDescendantCount = 0;
    RCPtr<LConditionsParam> mConditionsParam;
    bool mHasFocus = false;
    bool mContainsFocus = false;
    bool mHover = false;
    bool mCapture = false;
    bool mLeftPressed = false;
    bool mMiddlePressed = false;
    bool mRightPressed = false;
    bool mLeftDrag = false;
    bool mMiddleDrag = false;
    bool mRightDrag = false;
    bool mHoverOverride = false;
    bool mHitTestExcluded = false;
    PointT<double> mDragOrigin;
    PointT<double> mDragParentScroll;
    int32_t mDragMode = 0;
    int32_t mDragFlags = 0;
    PointT<double> mDragStartSize;
    double mDragStartLayout[4] = {0.0, 0.0, 0.0, 0.0}; // X pos abs, Y pos abs, X size abs, Y size abs
    bool mDragWasUnclipped = false;
    bool mDragXWasDocked = false;
    bool mDragYWasDocked = false;
    RCPtr<LControl> mDropTarget;
    PointT<double> mDragDelta;
    int32_t mDragThreshold = 1;
    int32_t mMoveTick = 0;
    int32_t mLastMoveTick = 0;
    double mNormalizedValue = 0.0;
    double mValueMin = 0.0;
    double mValueMax = 0.0;
    int32_t mValueMapping = 0; // 0 linear, 1 exponential
    RCPtrArray<LLook> mLooks;
    Array<float> mLookWeights;
    float mOpacity = 1.0f;
    RCPtr<LControl> mParent; // counted by the parent as an internal reference
    RCPtr<LRootWindow> mRootWindow; // top controls only
    RCPtr<LStringTable> mStringTable;
    bool mWantsTab = false;
    KeyBindingMap mLocalHotKeys;
    bool mFocusDisabled = true;
    bool mFocusScope = false;
    bool mScrollLooks = false;
    bool mFontInheritsFromParent = false;
    bool mFontNameInherited = false;
    bool mFontSizeInherited = false;
    bool mFontStyleInherited = false;
    bool mFontSizeIsRelative = false;
    float mFontSizeFactor = 1.0f;
    RCPtr<LFont> mFont;
    String mText;
    RCPtr<LMenuDescriptor> mContextMenu;
    String mToolTipText;
    bool mUseParentToolTip = false;
    bool mCreated = false;
    bool mLayoutSuspended = false;
    int32_t mIdleRequestCount = 0;
    // Kinetic scroll, per axis (0 X, 1 Y).
    bool mKineticRunning[2] = {false, false};
    double mKineticLastTime[2] = {0.0, 0.0};
    double mKineticVelocity[2] = {0.0, 0.0};
    double mKineticMin[2] = {0.0, 0.0};
    double mKineticMax[2] = {0.0, 0.0};
    RCPtr<LControl> mKineticDragTarget[2];
    // The part of a kinetic step below a whole pixel, carried into the next
    // step so that slow scrolls move at their speed; reset when a scroll starts.
    double mKineticRemainder[2] = {0.0, 0.0};
    int32_t mCaptureTick = 0;
    int32_t mReleaseTick = 0;
    bool mFlickActive[2] = {false, false};
    double mFlickVelocity[2] = {0.0, 0.0};
    double mKineticDeceleration = 1000.0;
    HCURSOR mHoverCursor = nullptr;
    HCURSOR mSavedCursor = nullptr;
    RCPtrArray<LControl> mDeferredRemovals;
    RCPtr<LMenuItemUpdater> mMenuItemUpdater;
    RCPtr<LNotificationCenter> mNotificationCenter;
    ChildControlList mChildren;
    bool mHasBackBuffer = false;
    bool mDockedOutsideBackBuffer = true;
    RCPtr<LRenderContextInfo> mBackBuffer;
    PointT<double> mBackBufferCapacity;
    RectT<double> mBackBufferRect;
    LRectRegion mBackBufferDirty;
    LRectRegion mBackBufferValid;
    bool mBackBufferSuspended = false;
    bool mBackBufferResizePending = false;
    RectT<double> mBackBufferResizeRect;

private:
    friend class ChildControlList;
    friend class LRootWindow;

    // The scrolls that one drag step asks of its scroll host, per axis (0 X,
    // 1 Y): forward is right or down; the depth is how far the pointer is
    // inside the edge zone.
    struct DragEdgeRequests
    {
        bool active[2] = {false, false};
        bool forward[2] = {false, false};
        double depth[2] = {0.0, 0.0};

        void Request(int32_t axis, bool towardsEnd, double zoneDepth)
        {
            active[axis] = true;
            forward[axis] = towardsEnd;
            depth[axis] = zoneDepth;
        }
        void Clear(int32_t axis) { active[axis] = false; }
        bool Any(int32_t axis) const { return active[axis]; }
    };

    // Steps of DragTo (ControlDrag.cpp).
    void LimitToMinimumSize(double (&low)[2], double (&high)[2]) const;
    DragEdgeRequests FindEdgeScrolls(const PointT<long>& pointer, const PointT<double>& delta,
                                     const RectT<double>& visible, const RectT<double>& bounds,
                                     const double (&low)[2], const double (&high)[2]) const;
    void MoveToDelta(const PointT<double>& delta);
    void ResizeToDelta(const PointT<double>& delta);
    void ScrollContentBy(const PointT<double>& delta);
    void TrackDropTarget(const PointT<long>& atRoot, PointT<long>& targetPoint);
    void FindDropTargetScrolls(const RCPtr<LControl>& target, const PointT<long>& point,
                               DragEdgeRequests& requests);
    void RunEdgeScrolls(const RCPtr<LControl>& host, const DragEdgeRequests& requests);
};

// Makes a notification with the identifier and the data and hands it straight
// to the receiver's ReceiveNotification with no sender: no distributor, no
// queue. The receiver's result, or E_INVALIDARG for a null receiver or an
// identifier that makes no notification.
KXRESULT DeliverNotification(const RCPtr<LNotificationReceiver>& receiver, const wchar_t* identifier,
                             const RCPtr<LRefCountedObject>& data = RCPtr<LRefCountedObject>::sNull);

template <class T>
RCPtr<LControl>& LControl::CreateControlOfClass(RCPtr<LControl>& out, const RCPtr<LControl>& parent,
                                                const RCPtr<LControlDescriptor>& descriptor)
{
    out = nullptr;
    if (!descriptor)
        return out;
    RCPtr<LControl> control(new T(parent, descriptor->GetName()));
    control->ApplyControlDescriptor(descriptor);
    control->CreateChildren(descriptor);
    control->Initialize();
    control->OnCreated();
    control->mCreated = true;
    out = control;
    return out;
}

} // namespace KX
