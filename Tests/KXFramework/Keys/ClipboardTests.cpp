#include "Notification/Notification.h"
#include "Notification/NotificationCenter.h"
#include "Notification/NotificationCenterManager.h"
#include "System/ClipBoard.h"
#include "System/WrapperStringable.h"

#include "Support/Windows/Programs.h"
#include "Support/Windows/TempFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace KX;

namespace {

using String = StringT<wchar_t, char>;

// An object of the application that is not text.
class Sketch : public virtual LRefCountedObject
{
};

// An edit target of the test's own that records what it was asked to do.
class RecordingEditTarget : public IEditTarget
{
public:
    bool canEdit = true;
    bool canPerform = true;
    KXRESULT answer = 0;
    std::vector<int32_t> performed;

    bool CanEdit() override { return canEdit; }
    bool CanPerformEdit(int32_t) override { return canPerform; }
    KXRESULT PerformEdit(int32_t operation) override
    {
        performed.push_back(operation);
        return answer;
    }
};

LClipboard* sWindowClipboard = nullptr;

// The owner window stands in for the application's OS window: when the
// clipboard passes to another owner it clears the clipboard's object, and it
// never renders the private format.
LRESULT CALLBACK OwnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROYCLIPBOARD:
        if (sWindowClipboard)
            sWindowClipboard->SetData(RCPtr<LRefCountedObject>());
        return 0;
    case WM_RENDERFORMAT:
    case WM_RENDERALLFORMATS:
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

class TestHost : public IClipboardHost
{
public:
    HWND window = nullptr;
    RCPtr<IEditTarget> target;

    HWND GetClipboardOwnerWindow() override { return window; }
    RCPtr<IEditTarget> GetFocusEditTarget() override { return target; }
};

// Runs the other program (beside the test program) and runs this thread's
// messages until it ends, so that the owner window hears about the clipboard
// changes it makes; its exit code, 1000 when it did not start.
DWORD RunPeer(const std::wstring& arguments)
{
    TestSystem::ChildOptions options;
    options.timeoutMs = 30000;
    options.pumpMessages = true;
    const TestSystem::ChildRun run =
        TestSystem::RunChild(TestSystem::ProgramFolder() + L"ClipboardPeer.exe", arguments, options);
    return run.started ? run.exitCode : 1000;
}

std::string ReadFileBytes(const std::wstring& path)
{
    std::string bytes;
    return TestSystem::ReadWholeFile(path, bytes) ? bytes : "<missing>";
}

String TextOf(const RCPtr<LRefCountedObject>& object)
{
    const RCPtr<LStringObject> text = RCPtr<LStringObject>::DynamicCast(object);
    return text ? text->GetValue() : String(L"<not text>");
}

class ClipboardTest : public testing::Test
{
protected:
    void SetUp() override
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = OwnerWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KeysTestsClipboardOwner";
        RegisterClassW(&windowClass);
        mHost.window = CreateWindowExW(0, windowClass.lpszClassName, L"owner", WS_OVERLAPPED, 0, 0, 10, 10,
                                       nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(nullptr, mHost.window);
        mClipboard = LClipboard::Create();
        mClipboard->SetHost(&mHost);
        sWindowClipboard = mClipboard.Get();
        mDumpPath = TestSystem::ProgramFolder() + L"clipboard-peer-dump.bin";
    }

    void TearDown() override
    {
        sWindowClipboard = nullptr;
        if (mHost.window)
            DestroyWindow(mHost.window);
        DeleteFileW(mDumpPath.c_str());
    }

    std::string Dump(const wchar_t* command)
    {
        DeleteFileW(mDumpPath.c_str());
        const DWORD exitCode = RunPeer(std::wstring(command) + L" \"" + mDumpPath + L"\"");
        EXPECT_EQ(0u, exitCode) << "the other program's " << String(command).ToNarrow().GetData();
        return ReadFileBytes(mDumpPath);
    }

    TestHost mHost;
    RCPtr<LClipboard> mClipboard;
    std::wstring mDumpPath;
};

TEST_F(ClipboardTest, NonAsciiTextGoesOutAsUnicodeAndUtf8)
{
    const wchar_t* text = L"Gr\x00fc\x00df" L"e \x20ac 5 \x2713 \xD83D\xDE00";
    const RCPtr<LRefCountedObject> object(LStringObject::Create(String(text)).Get());
    EXPECT_EQ(String(text), object->ToString());
    ASSERT_EQ(S_OK, mClipboard->SetData(object));

    const std::string unicode = Dump(L"dump-unicode");
    const std::wstring expectedWide(text);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(expectedWide.c_str()), (expectedWide.size() + 1) * 2),
              unicode);
    const std::string utf8 = Dump(L"dump-text");
    EXPECT_EQ(std::string("Gr\xc3\xbc\xc3\x9f" "e \xe2\x82\xac 5 \xe2\x9c\x93 \xf0\x9f\x98\x80") + '\0', utf8);

    // Nothing changed since: the clipboard answers the object it was given.
    EXPECT_EQ(object, mClipboard->GetData());
}

TEST_F(ClipboardTest, AnObjectBehindThePrivateFormatComesBackAsItself)
{
    const RCPtr<LRefCountedObject> sketch(new Sketch);
    // An error left over from earlier work is not taken for a failure of the
    // delayed rendering, which answers no handle either way.
    SetLastError(ERROR_ACCESS_DENIED);
    ASSERT_EQ(S_OK, mClipboard->SetData(sketch));
    EXPECT_EQ(0u, RunPeer(L"has-private"));
    EXPECT_EQ(sketch, mClipboard->GetData());
    EXPECT_EQ(sketch, mClipboard->GetData());

    // Replacing it empties the clipboard, which tells the owner window; the
    // busy clipboard keeps the new object all the same.
    const RCPtr<LRefCountedObject> other(new Sketch);
    ASSERT_EQ(S_OK, mClipboard->SetData(other));
    EXPECT_EQ(other, mClipboard->GetData());
}

TEST_F(ClipboardTest, AChangeByAnotherProgramGivesANewStringObject)
{
    const RCPtr<LRefCountedObject> sketch(new Sketch);
    ASSERT_EQ(S_OK, mClipboard->SetData(sketch));
    ASSERT_EQ(0u, RunPeer(L"put-text \"from the other program \x00e9\""));
    EXPECT_EQ(1u, RunPeer(L"has-private"));

    const RCPtr<LRefCountedObject> first = mClipboard->GetData();
    ASSERT_TRUE(first);
    EXPECT_NE(sketch, first);
    EXPECT_EQ(String(L"from the other program \x00e9"), TextOf(first));
    // Asking again without a change answers the same object.
    EXPECT_EQ(first, mClipboard->GetData());

    ASSERT_EQ(0u, RunPeer(L"put-text \"second\""));
    const RCPtr<LRefCountedObject> second = mClipboard->GetData();
    EXPECT_NE(first, second);
    EXPECT_EQ(String(L"second"), TextOf(second));
}

TEST_F(ClipboardTest, AClipboardEmptiedByAnotherProgramGivesNull)
{
    ASSERT_EQ(S_OK, mClipboard->SetData(RCPtr<LRefCountedObject>(LStringObject::Create(String(L"mine")).Get())));
    ASSERT_EQ(0u, RunPeer(L"empty"));
    EXPECT_FALSE(mClipboard->GetData());

    const RCPtr<LRefCountedObject> sketch(new Sketch);
    ASSERT_EQ(S_OK, mClipboard->SetData(sketch));
    ASSERT_EQ(0u, RunPeer(L"empty"));
    EXPECT_FALSE(mClipboard->GetData());
}

TEST_F(ClipboardTest, NullClearsTheObjectAndLeavesTheClipboard)
{
    ASSERT_EQ(S_OK, mClipboard->SetData(RCPtr<LRefCountedObject>(LStringObject::Create(String(L"one")).Get())));
    EXPECT_EQ(S_OK, mClipboard->SetData(RCPtr<LRefCountedObject>()));
    EXPECT_FALSE(mClipboard->GetData());
    EXPECT_EQ(std::string("one", 4), Dump(L"dump-text"));

    ASSERT_EQ(S_OK, mClipboard->SetData(RCPtr<LRefCountedObject>(LStringObject::Create(String(L"two")).Get())));
    EXPECT_EQ(std::string("two", 4), Dump(L"dump-text"));
    EXPECT_EQ(String(L"two"), TextOf(mClipboard->GetData()));
}

TEST_F(ClipboardTest, EditRequestsReachTheFocusedEditTarget)
{
    RCPtr<RecordingEditTarget> target(new RecordingEditTarget);
    target->answer = 7;

    // No focused control with an edit target: nothing happens.
    EXPECT_EQ(S_FALSE, mClipboard->PerformFocusEdit(LClipboard::EditPaste));
    EXPECT_FALSE(mClipboard->CanPerformFocusEdit(LClipboard::EditPaste));

    mHost.target = target;
    target->canEdit = false;
    EXPECT_EQ(S_FALSE, mClipboard->PerformFocusEdit(LClipboard::EditCopy));
    target->canEdit = true;
    target->canPerform = false;
    EXPECT_FALSE(mClipboard->CanPerformFocusEdit(LClipboard::EditCopy));
    EXPECT_EQ(S_FALSE, mClipboard->PerformFocusEdit(LClipboard::EditCopy));
    EXPECT_TRUE(target->performed.empty());

    target->canPerform = true;
    EXPECT_TRUE(mClipboard->CanPerformFocusEdit(LClipboard::EditCut));
    EXPECT_EQ(7, mClipboard->PerformFocusEdit(LClipboard::EditCut));
    EXPECT_EQ(std::vector<int32_t>{LClipboard::EditCut}, target->performed);
}

TEST_F(ClipboardTest, EditRequestsOnTheApplicationCentre)
{
    RCPtr<RecordingEditTarget> target(new RecordingEditTarget);
    mHost.target = target;
    const RCPtr<LNotificationCenter> centre = LNotificationCenterManager::GetInstance()->GetApplicationCenter();
    const auto send = [&centre](const wchar_t* name) {
        RCPtr<LNotification> notification;
        LNotification::Create(notification, name);
        return centre->SendNotification(notification);
    };

    // Not yet initialised: nobody listens.
    send(L"NID_EDIT_PASTE_REQ");
    EXPECT_TRUE(target->performed.empty());

    ASSERT_EQ(S_OK, mClipboard->Initialize());
    EXPECT_TRUE(mClipboard->IsInitialized());
    send(L"NID_EDIT_CUT_REQ");
    send(L"NID_EDIT_COPY_REQ");
    send(L"NID_EDIT_PASTE_REQ");
    send(L"NID_EDIT_DELETE_REQ");
    EXPECT_EQ((std::vector<int32_t>{1, 2, 3, 0}), target->performed);

    // A handler answers 1 whatever the target did.
    RCPtr<LNotification> paste;
    LNotification::Create(paste, L"NID_EDIT_PASTE_REQ");
    EXPECT_EQ(S_FALSE, mClipboard->ReceiveNotification(RCPtr<LNotificationDistributor>(centre.Get()), paste));

    mClipboard->UnregisterAll();
    send(L"NID_EDIT_CUT_REQ");
    EXPECT_EQ(5u, target->performed.size());
}

} // namespace
