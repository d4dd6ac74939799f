// The control class that the window tests register themselves
// ("Test.WindowControl"): opaque everywhere, it records the input that
// reaches it, paints its whole area in its colour, and changes colour when
// the notification that a release posts into its window's queue is
// delivered (so the change shows after the next idle pass). A test can make
// its paint throw, as a faulty control's would.
#pragma once

#include "Application/RootWindow.h"
#include "ControlBase/Control.h"
#include "ControlBase/EventParams.h"
#include "Notification/Notification.h"
#include "Notification/NotificationID.h"
#include "Renderer/Renderer.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

class WindowTestControl : public KX::LControl
{
public:
    using Color = KX::LRenderer::Color;

    static constexpr const wchar_t* kClassName = L"Test.WindowControl";
    static constexpr const wchar_t* kToggleID = L"NID_TEST_TOGGLE";

    struct Press
    {
        int32_t button;
        int32_t doubleClick;
    };

    WindowTestControl(const KX::RCPtr<KX::LControl>& parent, const String& name) : LControl(parent, name)
    {
        ++sLiveCount;
    }

    static KX::RCPtr<KX::LControl>& Create(KX::RCPtr<KX::LControl>& out, const KX::RCPtr<KX::LControl>& parent,
                                           const KX::RCPtr<KX::LControlDescriptor>& descriptor)
    {
        return CreateControlOfClass<WindowTestControl>(out, parent, descriptor);
    }

    // The colours it paints in, before and after a toggle (0xAARRGGBB).
    static constexpr uint32_t kFirstColor = 0xFF2060A0;
    static constexpr uint32_t kSecondColor = 0xFFD04020;

    bool IsTransparentAt(const KX::PointT<long>&) override { return false; }

    KX::KXRESULT MouseDown(const KX::RCPtr<KX::LMouseButtonParam>& param) override
    {
        presses.push_back({param->mButton, param->mDoubleClick});
        return LControl::MouseDown(param);
    }
    KX::KXRESULT MouseUp(const KX::RCPtr<KX::LMouseButtonParam>& param) override
    {
        releases.push_back({param->mButton, param->mDoubleClick});
        PostToggle();
        return LControl::MouseUp(param);
    }
    KX::KXRESULT OnMouseWheel(const KX::RCPtr<KX::LMouseWheelParam>& param) override
    {
        wheelDirections.push_back(param->mDirection);
        return S_OK;
    }
    KX::KXRESULT KeyEvent(const KX::RCPtr<KX::LKeyParam>& param) override
    {
        keys.push_back(param->mKey);
        return LControl::KeyEvent(param);
    }

    KX::KXRESULT Render(const KX::RCPtr<KX::LRenderer>& renderer, const KX::LRectRegion& region,
                        KX::RCPtrArray<KX::LControl>& unclipped, bool unclippedPass) override
    {
        ++renderCount;
        return LControl::Render(renderer, region, unclipped, unclippedPass);
    }
    // Its own area, in its own coordinates.
    KX::KXRESULT RenderContent(const KX::RCPtr<KX::LRenderer>& renderer) override
    {
        if (throwInRender) {
            ++renderThrows;
            throw std::runtime_error("the test control's paint failed");
        }
        const KX::RectT<double>& rect = GetRect();
        renderer->FillRect(KX::RectT<long>(0, 0, static_cast<long>(rect.width), static_cast<long>(rect.height)),
                           Color::FromARGB(toggled ? kSecondColor : kFirstColor), true);
        return S_OK;
    }

    KX::KXRESULT ReceiveNotification(const KX::RCPtr<KX::LNotificationDistributor>& sender,
                                     const KX::RCPtr<KX::LNotification>& notification) override
    {
        if (notification && KX::GetNotificationIDText(notification->GetID()) == kToggleID) {
            toggled = !toggled;
            InvalidateRect(KX::RectT<double>(0, 0, GetRect().width, GetRect().height), true);
            return S_OK;
        }
        return LControl::ReceiveNotification(sender, notification);
    }

    // Takes the toggle from its root window's deliveries.
    void ListenForToggle()
    {
        const KX::RCPtr<KX::LRootWindow> window = GetRootWindow();
        if (window && !mListening) {
            Register(KX::RCPtr<KX::LNotificationDistributor>(window.Get()), kToggleID);
            mListening = true;
        }
    }

    std::vector<Press> presses;
    std::vector<Press> releases;
    std::vector<int32_t> wheelDirections;
    std::vector<KX::KeyCode> keys;
    bool toggled = false;
    int32_t renderCount = 0;
    bool throwInRender = false; // every paint throws while set
    int32_t renderThrows = 0;

    // How many objects of the class exist.
    static inline int32_t sLiveCount = 0;

protected:
    ~WindowTestControl() override { --sLiveCount; }

private:
    // The toggle travels through the root window's queue.
    void PostToggle()
    {
        const KX::RCPtr<KX::LRootWindow> window = GetRootWindow();
        if (!window)
            return;
        ListenForToggle();
        KX::RCPtr<KX::LNotification> toggle;
        KX::LNotification::Create(toggle, kToggleID);
        window->PostNotification(toggle);
    }

    bool mListening = false;
};
