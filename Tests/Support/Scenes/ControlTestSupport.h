// What the tests of control trees share (the control-tree tests, the scene
// fixture and the update screen's tests): an application object with a fixed
// clock, a fake of the OS window's services that records what the root
// window asks of it, a control class that is opaque to hit testing and
// records its input, a recording listener, and builders for controls made
// through the real creation sequence.
#pragma once

#include "Application/ApplicationBaseWin.h"
#include "Application/Dialog.h"
#include "Application/RootWindow.h"
#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/LayoutUtils.h"
#include "Notification/NotificationIDs.h"
#include "Renderer/Renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace KXTest {

using String = KX::StringT<wchar_t, char>;
using KX::RCPtr;

// Cursor handles that tests tell apart by name: a handle of its own (not a
// real cursor) for every name asked for, and the name behind a handle.
class NamedCursors
{
public:
    HCURSOR Get(const String& name)
    {
        const std::wstring text = name.GetData() ? name.GetData() : L"";
        size_t index = 0;
        while (index < names.size() && names[index] != text)
            ++index;
        if (index == names.size())
            names.push_back(text);
        return reinterpret_cast<HCURSOR>(static_cast<intptr_t>(kFirstHandle + index));
    }
    // Empty for a handle that Get did not give.
    std::wstring NameOf(HCURSOR cursor) const
    {
        const intptr_t index = reinterpret_cast<intptr_t>(cursor) - kFirstHandle;
        return index >= 0 && index < static_cast<intptr_t>(names.size()) ? names[index] : std::wstring();
    }

    std::vector<std::wstring> names; // in the order they were first asked for

private:
    static constexpr intptr_t kFirstHandle = 0x1000;
};

class ControlTestApplication : public KX::LApplicationBase<ControlTestApplication>
{
public:
    using Base = KX::LApplicationBase<ControlTestApplication>;

    static RCPtr<ControlTestApplication> Make(const RCPtr<KX::LControlFactory>& factory)
    {
        return RCPtr<ControlTestApplication>(new ControlTestApplication(factory));
    }

    KX::KXRESULT GetSettingsVersion(String& version) override
    {
        version = L"1_0_0";
        return S_OK;
    }
    KX::KXRESULT GetMainControlName(String& name) override
    {
        name = L"mainControl";
        return S_OK;
    }
    int32_t GetSettingsFile(int32_t) override { return 0; }
    int32_t GetRendererType() override { return 1; }
    bool CanExit() override { return true; }
    uint32_t GetTicks() override { return mTicks; }
    double GetElapsedTime() override { return mTicks / 1000.0; }
    KX::KXRESULT GetWorkArea(KX::RectT<int32_t>& area) override
    {
        area = KX::RectT<int32_t>(0, 0, 1280, 1000);
        return S_OK;
    }
    // A handle of its own for every cursor name asked for, so that tests can
    // tell which cursor a window was given (CursorName).
    HCURSOR GetCursor(const String& name) override { return mCursors.Get(name); }
    std::wstring CursorName(HCURSOR cursor) const { return mCursors.NameOf(cursor); }

    // The clock the controls read: GetTicks, and GetElapsedTime from it.
    uint32_t mTicks = 1000;
    NamedCursors mCursors;

protected:
    explicit ControlTestApplication(const RCPtr<KX::LControlFactory>& factory)
        : Base(factory, RCPtr<KX::LStringTable>(), String(L"ControlTreeTests.exe"))
    {
    }
};

// The OS window as the root window sees it, with what the test sets and
// what the root window asked for.
class FakeOSServices : public KX::IWindowOSServices
{
public:
    KX::KXRESULT SetTitle(const String& text) override
    {
        titles.push_back(text);
        return S_OK;
    }
    KX::KXRESULT InvalidateAll() override
    {
        ++invalidateAllCount;
        return S_OK;
    }
    KX::KXRESULT InvalidateRect(const KX::RectT<long>& rect) override
    {
        invalidations.push_back(rect);
        return S_OK;
    }
    KX::KXRESULT GetClientRect(KX::RectT<long>& rect) override
    {
        rect = KX::RectT<long>(0, 0, clientSize.x, clientSize.y);
        return S_OK;
    }
    KX::KXRESULT ScreenToClient(KX::PointT<long>& out, const KX::PointT<long>& point) override
    {
        out = KX::PointT<long>(point.x - screenOrigin.x, point.y - screenOrigin.y);
        return S_OK;
    }
    KX::KXRESULT ClientToScreen(KX::PointT<long>& out, const KX::PointT<long>& point) override
    {
        out = KX::PointT<long>(point.x + screenOrigin.x, point.y + screenOrigin.y);
        return S_OK;
    }
    KX::KXRESULT SetWindowRect(const KX::RectT<long>& rect) override
    {
        windowRects.push_back(rect);
        screenOrigin = KX::PointT<long>(rect.x, rect.y);
        clientSize = KX::PointT<long>(rect.width, rect.height);
        return S_OK;
    }
    bool Show(int32_t) override { return true; }
    KX::KXRESULT Redraw() override
    {
        ++redrawCount;
        return S_OK;
    }
    KX::KXRESULT BringToTop() override { return S_OK; }
    KX::KXRESULT SetTopMost(bool) override { return S_OK; }
    KX::KXRESULT Close(int32_t result) override
    {
        closeCodes.push_back(result);
        return S_OK;
    }
    int32_t RunModalLoop() override { return 0; }
    bool IsModal() override { return modal; }
    bool IsActive() override { return active; }
    bool HasFocus() override { return focused; }
    KX::KXRESULT SetFocus() override
    {
        ++setFocusCount;
        return S_OK;
    }
    HCURSOR SetCursor(HCURSOR cursor) override
    {
        const HCURSOR previous = currentCursor;
        cursors.push_back(cursor);
        currentCursor = cursor;
        return previous;
    }
    KX::KXRESULT GetCursorPosition(KX::PointT<long>& point) override
    {
        point = cursor;
        return S_OK;
    }
    int32_t GetMouseButtons() override { return buttons; }
    HWND GetHandle() override { return handle; }
    KX::KXRESULT EnableTextInput(bool, const RCPtr<KX::LControl>&) override { return S_OK; }

    // Set by the tests.
    bool active = true;
    bool focused = false; // without it no control takes the focus unless a test gives it

    bool modal = false;
    int32_t buttons = 0;
    HWND handle = nullptr; // a real window's handle where a test needs one (an owner of the clipboard)
    KX::PointT<long> cursor;
    KX::PointT<long> clientSize{560, 360};
    KX::PointT<long> screenOrigin{100, 50};

    // Recorded.
    std::vector<String> titles;
    std::vector<KX::RectT<long>> invalidations;
    std::vector<KX::RectT<long>> windowRects;
    std::vector<HCURSOR> cursors;
    std::vector<int32_t> closeCodes;
    HCURSOR currentCursor = nullptr;
    int invalidateAllCount = 0;
    int redrawCount = 0;
    int setFocusCount = 0;
};

// A control that is opaque everywhere (the base needs looks for that) and
// records what reaches its hooks.
class TestControl : public KX::LControl
{
public:
    TestControl(const RCPtr<KX::LControl>& parent, const String& name) : LControl(parent, name) {}

    bool IsTransparentAt(const KX::PointT<long>&) override { return false; }
    KX::KXRESULT OnMouseWheel(const RCPtr<KX::LMouseWheelParam>& param) override
    {
        wheelDirections.push_back(param->mDirection);
        return wheelResult;
    }
    void OnChildRemoved(const RCPtr<KX::LControl>& child, int32_t index) override
    {
        if (onChildRemoved)
            onChildRemoved(child, index);
    }
    void OnConditionsChanged(const RCPtr<KX::LConditionsParam>& param) override
    {
        hookWords.push_back(param->mNewConditions);
    }

    // Exposed for the tests.
    using LControl::IsUsable;
    using LControl::SendNotificationWithData;

    KX::KXRESULT wheelResult = S_FALSE;
    std::vector<int32_t> wheelDirections;
    std::vector<uint32_t> hookWords;
    std::function<void(const RCPtr<KX::LControl>&, int32_t)> onChildRemoved;

protected:
    ~TestControl() override = default;
};

class TestDialog : public KX::LDialog
{
public:
    TestDialog(const RCPtr<KX::LControl>& parent, const String& name) : LDialog(parent, name) {}
    int closedHookCount = 0;

protected:
    void OnClosed() override { ++closedHookCount; }
};

// Records every notification it receives; an optional reaction runs on each.
class Listener : public KX::LNotificationClient
{
public:
    struct Received
    {
        std::wstring id;
        RCPtr<KX::LRefCountedObject> data;
        uint32_t oldWord = 0;
        uint32_t newWord = 0;
    };

    static RCPtr<Listener> Make() { return RCPtr<Listener>(new Listener()); }

    void Listen(const RCPtr<KX::LNotificationDistributor>& sender, const wchar_t* id) { Register(sender, id); }

    KX::KXRESULT ReceiveNotification(const RCPtr<KX::LNotificationDistributor>&,
                                     const RCPtr<KX::LNotification>& notification) override
    {
        Received entry;
        entry.id = KX::GetNotificationIDText(notification->GetID()).GetData();
        entry.data = notification->GetData();
        if (const RCPtr<KX::LConditionsParam> param = RCPtr<KX::LConditionsParam>::DynamicCast(entry.data)) {
            entry.oldWord = param->mOldConditions;
            entry.newWord = param->mNewConditions;
        }
        received.push_back(entry);
        if (reaction)
            reaction(notification);
        return S_OK;
    }

    std::vector<std::wstring> Ids() const
    {
        std::vector<std::wstring> ids;
        for (const Received& entry : received)
            ids.push_back(entry.id);
        return ids;
    }

    std::vector<Received> received;
    std::function<void(const RCPtr<KX::LNotification>&)> reaction;

protected:
    Listener() = default;
    ~Listener() override = default;
};

// The control at a path of names below `root` ("a/b"); null when a name is
// missing.
inline RCPtr<KX::LControl> FindControl(const RCPtr<KX::LControl>& root, const std::wstring& path)
{
    RCPtr<KX::LControl> control = root;
    size_t start = 0;
    while (control) {
        const size_t end = path.find(L'/', start);
        const std::wstring name = path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        control = control->FindChild(String(name.c_str()));
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    return control;
}

// A layout record: client position (x, y), Self size (width, height).
inline RCPtr<KX::LLayoutDescriptor> FixedLayout(double x, double y, double width, double height)
{
    RCPtr<KX::LLayoutDescriptor> layout = KX::LLayoutDescriptor::Create();
    layout->mXPosition.mAbs = x;
    layout->mYPosition.mAbs = y;
    layout->mXSize.mAbs = width;
    layout->mYSize.mAbs = height;
    return layout;
}

// A control of class T made by the creation sequence from a description of
// its own with the layout record.
template <class T = TestControl>
RCPtr<T> MakeControl(const RCPtr<KX::LControl>& parent, const wchar_t* name,
                     const RCPtr<KX::LLayoutDescriptor>& layout = FixedLayout(0, 0, 50, 20))
{
    RCPtr<KX::LControlDescriptor> descriptor = KX::LControlDescriptor::Create(L"Test.Control", name, nullptr);
    descriptor->SetLayoutDescriptor(layout);
    RCPtr<KX::LControl> control;
    KX::LControl::CreateControlOfClass<T>(control, parent, descriptor);
    return RCPtr<T>::DynamicCast(control);
}

// An application with an empty factory, a root window over the fake OS
// services registered with it, and a top control filling the window.
class ControlTreeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        factory = KX::LControlFactory::Create(L"Tree Tests");
        application = ControlTestApplication::Make(factory);
        KX::LRootWindow::Create(window, RCPtr<KX::LRenderer>(), &os);
        application->AddRootWindow(window);
    }

    void TearDown() override
    {
        if (window) {
            window->SetRootControl(RCPtr<KX::LControl>());
            application->RemoveRootWindow(window);
            window = nullptr;
        }
        application = nullptr;
        factory = nullptr;
    }

    // A top control of the root window, filling its 560 x 360 client area.
    RCPtr<TestControl> MakeTop()
    {
        RCPtr<TestControl> top = MakeControl(RCPtr<KX::LControl>(), L"top", FixedLayout(0, 0, 560, 360));
        top->SetRootWindow(window);
        window->SetRootControl(top);
        return top;
    }

    // Runs the application's idle pass once.
    void IdlePass() { application->ProcessIdle(true); }
    // Idle passes as the window timer makes them: the clock moves on by
    // `step` milliseconds before each pass (less before the last one) until
    // `duration` has gone by.
    void RunIdle(uint32_t duration, uint32_t step = 33)
    {
        for (uint32_t elapsed = 0; elapsed < duration;) {
            const uint32_t next = std::min(step, duration - elapsed);
            application->mTicks += next;
            elapsed += next;
            IdlePass();
        }
    }

    // The pointer as the OS window reports it: moves, presses and releases
    // at client points, with the buttons held in between.
    void MoveTo(const KX::PointT<long>& point, int32_t modifiers = 0)
    {
        os.cursor = point;
        window->MouseMove(point, modifiers, 0);
    }
    // A button goes down or up where the pointer is; the pointer moves there
    // first when it is elsewhere.
    void Press(const KX::PointT<long>& point, int32_t button = 1, int32_t modifiers = 0)
    {
        if (os.cursor != point)
            MoveTo(point, modifiers);
        os.buttons |= button;
        window->MouseButton(KX::LRootWindow::kPress, button, modifiers, point, 0);
    }
    void DoubleClickPress(const KX::PointT<long>& point, int32_t button = 1)
    {
        if (os.cursor != point)
            MoveTo(point);
        os.buttons |= button;
        window->MouseButton(KX::LRootWindow::kDoubleClick, button, 0, point, 0);
    }
    void Release(const KX::PointT<long>& point, int32_t button = 1, int32_t modifiers = 0)
    {
        if (os.cursor != point)
            MoveTo(point, modifiers);
        os.buttons &= ~button;
        window->MouseButton(KX::LRootWindow::kRelease, button, modifiers, point, 0);
    }
    // The name of the cursor the window shows now.
    std::wstring CurrentCursor() const { return application->CursorName(os.currentCursor); }

    FakeOSServices os;
    RCPtr<KX::LControlFactory> factory;
    RCPtr<ControlTestApplication> application;
    RCPtr<KX::LRootWindow> window;
};

// Whether two counted pointers of any classes hold the same object.
template <class A, class B>
bool Same(const KX::ConstRCPtr<A>& a, const KX::ConstRCPtr<B>& b)
{
    const KX::LRefCountedObject* first = a.Get();
    const KX::LRefCountedObject* second = b.Get();
    return first == second;
}

inline std::wstring Text(const String& text)
{
    return text.GetData() ? std::wstring(text.GetData()) : std::wstring();
}

} // namespace KXTest
