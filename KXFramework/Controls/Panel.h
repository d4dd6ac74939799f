// KX::LPanel: a scroll view that groups child controls and takes part in
// keyboard navigation ("Framework.Panel"; also the scroll bar's channel
// "Framework.ScrollChannel" and the combo slider's "DropDownPanel").
//
// Contract:
// - Sibling keys: a panel with a parent offers the keys its parent hands to
//   its children ("NID_SIBLING_KEY") to its own children in turn, so a
//   child of a panel sees its parent's siblings' keys.
// - Tab: navigation inside a panel with a parent does not wrap; Tab on its
//   last focusable child (Shift+Tab on its first) leaves the panel for the
//   next (previous) control of the enclosing group. A panel without parent
//   wraps, as any container does.
// - Hot keys that no child uses go up through every enclosing panel, and at
//   the top to the window's key bindings and the application's hot keys.
// - Notifications go to the panel's table, then the scroll view's, then the
//   control base's.
#pragma once

#include "Controls/ScrollView.h"

namespace KX {

class LPanel : public LScrollView
{
public:
    using Handler = LNotificationHandler<LPanel>;

    LPanel(const RCPtr<LControl>& parent, const String& name);

    // ==== Overrides, in slot order ====

    // The base's answer, or none where it would wrap round the panel's tab
    // order (only for a panel with a parent).
    RCPtr<LControl> GetNextTabChild(const RCPtr<LControl>& child, bool backward) override;
    // The panel's children first; a key they leave goes up to the parent's
    // hot keys or, for a top panel, to the window's bindings and the
    // application's hot keys.
    KXRESULT ProcessHotKey(const RCPtr<LKeyParam>& param) override;
    // Focus to the next (previous) child that takes it; when none does, the
    // key goes up to the parent's navigation (a top panel stops).
    KXRESULT ProcessNavigationKey(const RCPtr<LKeyParam>& param) override;
    // The scroll view's, then, with a parent, the sibling-key binding. A
    // failed binding throws the failed-result exception.
    KXRESULT Initialize() override;

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

protected:
    ~LPanel() override;

private:
    // The parent's "NID_SIBLING_KEY": offered to the panel's children; the
    // received parameter learns when one of them used the key.
    KXRESULT OnParentSiblingKey(const RCPtr<LNotificationDistributor>& sender,
                                const RCPtr<LNotification>& notification);

    RCPtr<Handler> mPanelHandler;
};

} // namespace KX
