// The text box in a real window, driven as a person drives it: keys and
// typing through SendInput, clicks between characters found on the screen,
// copy and paste with another program on the clipboard, and validation by
// the program's listeners on Enter and Tab. Screenshots of the steps go to
// screenshots/TextWindowTests/.
#include "Support/Shell/WindowTestSupport.h"
#include "Support/Windows/Programs.h"
#include "Support/Windows/TempFiles.h"

#include "Controls/PopupMenu.h"
#include "Controls/TextBox.h"
#include "Notification/Notification.h"
#include "Notification/NotificationIDs.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using KX::RCPtr;

const wchar_t* const kFolder = L"TextWindowTests";

// A listener of a text box's validation, as a program's own would be: it
// counts what it sees and, when told, shortens the text to three characters
// or refuses it.
class KXTestListener : public KX::LNotificationClient
{
public:
    static RCPtr<KXTestListener> Make() { return RCPtr<KXTestListener>(new KXTestListener()); }

    void Listen(const RCPtr<KX::LNotificationDistributor>& box)
    {
        Register(box, KX::NID_TEXTBOX_VALIDATING);
        Register(box, KX::NID_TEXTBOX_VALIDATED);
    }

    KX::KXRESULT ReceiveNotification(const RCPtr<KX::LNotificationDistributor>&,
                                     const RCPtr<KX::LNotification>& notification) override
    {
        const RCPtr<KX::LTextValidationParams> params =
            RCPtr<KX::LTextValidationParams>::DynamicCast(notification->GetData());
        if (notification->GetID() == KX::InternNotificationID(KX::NID_TEXTBOX_VALIDATED)) {
            ++validated;
            return S_OK;
        }
        ++validating;
        if (params && shorten)
            params->mProposedText = params->mOriginalText.Left(3);
        if (params && refuse)
            params->mIsValid = false;
        return S_OK;
    }

    bool shorten = false;
    bool refuse = false;
    int validating = 0;
    int validated = 0;

protected:
    KXTestListener() = default;
    ~KXTestListener() override = default;
};

class TextBoxWindowTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window = OpenMainWindowInFront();
        ASSERT_NE(nullptr, window);
        handle = window->m_hWnd;
        root = mApp->GetRootWindow(0);
        field = FieldNamed(L"field");
        ASSERT_TRUE(field);
        ASSERT_TRUE(LoopUntil([&]() { return root->GetFocusControl().Get() == field.Get(); }));
    }

    void TearDown() override
    {
        field = nullptr;
        root = nullptr;
        WindowTest::TearDown();
    }

    RCPtr<KX::LTextBox> FieldNamed(const wchar_t* name) const
    {
        return RCPtr<KX::LTextBox>::DynamicCast(root->GetRootControl()->FindChild(String(name)));
    }

    // Keys through SendInput: (virtual key, down) in order.
    static void SendKeys(const std::vector<std::pair<WORD, bool>>& keys) { TestScreen::SendKeys(keys); }
    static void Press(WORD key) { SendKeys({{key, true}, {key, false}}); }
    static void PressWith(WORD modifier, WORD key)
    {
        SendKeys({{modifier, true}, {key, true}, {key, false}, {modifier, false}});
    }
    static void PressWith(WORD first, WORD second, WORD key)
    {
        SendKeys({{first, true}, {second, true}, {key, true}, {key, false}, {second, false}, {first, false}});
    }

    // A right click at a screen point, as a person's.
    static void RightClick(int x, int y)
    {
        TestScreen::MoveMouseTo(x, y);
        INPUT inputs[2] = {};
        inputs[0].type = INPUT_MOUSE;
        inputs[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
        inputs[1].type = INPUT_MOUSE;
        inputs[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
        SendInput(2, inputs, sizeof(INPUT));
    }

    // The context menu the field shows now, or null.
    RCPtr<KX::LPopupMenu> OpenContextMenu() const
    {
        const RCPtr<KX::LPopupMenu> popup =
            RCPtr<KX::LPopupMenu>::DynamicCast(field->FindChild(String(L"contextMenu")));
        return popup && popup->IsVisible(true) ? popup : RCPtr<KX::LPopupMenu>();
    }

    // Types the text and waits until the field holds `expected`.
    bool TypeInto(const RCPtr<KX::LTextBox>& box, const std::wstring& text, const std::wstring& expected)
    {
        TestScreen::TypeText(text);
        return LoopUntil([&]() { return Text(box) == expected; });
    }

    bool CaretReaches(int32_t index)
    {
        return LoopUntil([&]() { return field->GetCaretPosition() == index; });
    }

    static std::wstring Text(const RCPtr<KX::LTextBox>& box)
    {
        const String& text = box->GetText();
        return text.GetData() ? std::wstring(text.GetData()) : std::wstring();
    }

    void Screenshot(const wchar_t* name)
    {
        LoopUntil([]() { return false; }, 100); // paints and idle passes
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string test = info ? info->name() : "test";
        TestScreen::SaveWindowScreenshot(handle, kFolder, std::wstring(test.begin(), test.end()) + L"_" + name);
    }

    // The screen point of a point of a control's own coordinates.
    POINT ScreenPointOf(const RCPtr<KX::LControl>& control, double x, double y) const
    {
        const KX::PointT<double> origin = control->GetRootPosition();
        return ScreenPoint(handle, static_cast<int>(std::lround(origin.x + x)), static_cast<int>(std::lround(origin.y + y)));
    }

    // Runs the clipboard's peer program (beside the test program) with the
    // arguments; its exit code, -1 when it did not start.
    static int RunPeer(const std::wstring& arguments)
    {
        // The peer opens the clipboard, whose owner is this thread's window:
        // this thread's messages go on meanwhile.
        TestSystem::ChildOptions options;
        options.timeoutMs = 20000;
        options.pumpMessages = true;
        const TestSystem::ChildRun run =
            TestSystem::RunChild(TestSystem::ProgramFolder() + L"ClipboardPeer.exe", arguments, options);
        return run.started ? static_cast<int>(run.exitCode) : -1;
    }

    // The clipboard's Unicode text as the peer program reads it.
    static std::wstring ClipboardTextFromAnotherProgram()
    {
        const TestSystem::TempFile file(L"TextWindowTests-clipboard", L".bin");
        if (RunPeer(L"dump-unicode \"" + file.Path() + L"\"") != 0)
            return L"(peer failed)";
        const std::string bytes = TestSystem::ReadWholeFile(file.Path());
        std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
        std::memcpy(&text[0], bytes.data(), text.size() * sizeof(wchar_t));
        if (!text.empty() && text.back() == L'\0')
            text.pop_back();
        return text;
    }

    KX::OSWindow* window = nullptr;
    HWND handle = nullptr;
    RCPtr<KX::LRootWindow> root;
    RCPtr<KX::LTextBox> field;
};

// The columns of the window's client area that hold ink (a dark pixel in
// the rows given), read back from the window's surface in one piece.
std::vector<bool> InkColumns(HWND window, int left, int right, int top, int bottom)
{
    const int width = right - left;
    const int height = bottom - top;
    std::vector<bool> ink(static_cast<size_t>(std::max(width, 0)), false);
    const std::vector<uint32_t> pixels = TestScreen::ReadPixels(window, left, top, width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = pixels[static_cast<size_t>(y) * width + x];
            const int brightness = static_cast<int>((((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF)) / 3);
            if (brightness < 128)
                ink[static_cast<size_t>(x)] = true;
        }
    }
    return ink;
}

// The runs of ink columns: (first column, one past the last).
std::vector<std::pair<int, int>> InkRuns(const std::vector<bool>& ink)
{
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < static_cast<int>(ink.size()); ++x) {
        if (!ink[static_cast<size_t>(x)])
            continue;
        const int start = x;
        while (x < static_cast<int>(ink.size()) && ink[static_cast<size_t>(x)])
            ++x;
        runs.emplace_back(start, x);
    }
    return runs;
}

TEST_F(TextBoxWindowTest, CtrlArrowsMoveByWordsAndShiftArrowsSelect)
{
    ASSERT_TRUE(TypeInto(field, L"ab  cd", L"ab  cd"));
    ASSERT_EQ(6, field->GetCaretPosition());

    PressWith(VK_CONTROL, VK_LEFT);
    ASSERT_TRUE(CaretReaches(4)) << field->GetCaretPosition() << " " << Text(field).size();
    PressWith(VK_CONTROL, VK_LEFT);
    ASSERT_TRUE(CaretReaches(0)) << field->GetCaretPosition();
    Screenshot(L"home");

    // Home, three steps right, then a word right.
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    ASSERT_TRUE(CaretReaches(3));
    PressWith(VK_CONTROL, VK_RIGHT);
    ASSERT_TRUE(CaretReaches(6));

    // From 1: Shift+Right twice, then Shift+Left.
    Press(VK_HOME);
    Press(VK_RIGHT);
    ASSERT_TRUE(CaretReaches(1));
    PressWith(VK_SHIFT, VK_RIGHT);
    PressWith(VK_SHIFT, VK_RIGHT);
    ASSERT_TRUE(CaretReaches(3));
    EXPECT_EQ(1, field->GetSelectionStart());
    EXPECT_EQ(2, field->GetSelectionLength());
    Screenshot(L"two_selected");
    PressWith(VK_SHIFT, VK_LEFT);
    ASSERT_TRUE(CaretReaches(2));
    EXPECT_EQ(1, field->GetSelectionStart());
    EXPECT_EQ(1, field->GetSelectionLength());
    Screenshot(L"one_selected");

    // Ctrl+Shift+Right from the blanks selects on over the next word.
    PressWith(VK_CONTROL, VK_SHIFT, VK_RIGHT);
    ASSERT_TRUE(CaretReaches(6));
    EXPECT_EQ(1, field->GetSelectionStart());
    EXPECT_EQ(5, field->GetSelectionLength());
}

TEST_F(TextBoxWindowTest, AClickBetweenTwoCharactersPutsTheCaretBetweenThem)
{
    ASSERT_TRUE(TypeInto(field, L"oooo", L"oooo"));
    // The characters as the screen shows them: runs of ink in the text area.
    const KX::RectT<float> area = field->GetTextArea();
    const KX::PointT<double> origin = field->GetRootPosition();
    const int left = static_cast<int>(origin.x + area.x);
    const int right = static_cast<int>(origin.x + area.x + area.width);
    const int top = static_cast<int>(origin.y + area.y);
    const int bottom = static_cast<int>(origin.y + area.y + area.height);
    Press(VK_END); // the caret after the last character, out of the way
    LoopUntil([]() { return false; }, 200);
    const std::vector<std::pair<int, int>> glyphs = InkRuns(InkColumns(handle, left, right, top, bottom));
    Screenshot(L"typed");
    ASSERT_GE(glyphs.size(), 4u);

    for (int32_t boundary : {2, 1, 3}) {
        // The middle of the gap between the characters before and after it.
        const int gapStart = glyphs[static_cast<size_t>(boundary - 1)].second;
        const int gapEnd = glyphs[static_cast<size_t>(boundary)].first;
        ASSERT_LE(gapStart, gapEnd);
        const POINT point = ScreenPoint(handle, left + (gapStart + gapEnd) / 2, (top + bottom) / 2);
        TestScreen::Click(point.x, point.y);
        EXPECT_TRUE(CaretReaches(boundary)) << "between characters " << boundary - 1 << " and " << boundary
                                            << ": caret " << field->GetCaretPosition();
        Sleep(GetDoubleClickTime() + 50); // no double click with the next one
    }
    Screenshot(L"clicked");
}

TEST_F(TextBoxWindowTest, CopiedTextIsReadByAnotherProgramAndItsTextIsPasted)
{
    ASSERT_TRUE(TypeInto(field, L"ab  cd", L"ab  cd"));
    PressWith(VK_SHIFT, VK_LEFT);
    PressWith(VK_SHIFT, VK_LEFT);
    ASSERT_TRUE(CaretReaches(4));
    ASSERT_EQ(2, field->GetSelectionLength());
    PressWith(VK_CONTROL, 'C');
    ASSERT_TRUE(LoopUntil([]() { return IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE; }));
    LoopUntil([]() { return false; }, 200);
    EXPECT_EQ(L"cd", ClipboardTextFromAnotherProgram());

    // Another program's "xyz" pasted over a selection that starts at 3.
    ASSERT_EQ(0, RunPeer(L"put-text xyz"));
    Press(VK_HOME);
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    ASSERT_TRUE(CaretReaches(3));
    PressWith(VK_SHIFT, VK_RIGHT);
    PressWith(VK_SHIFT, VK_RIGHT);
    ASSERT_TRUE(CaretReaches(5));
    PressWith(VK_CONTROL, 'V');
    ASSERT_TRUE(LoopUntil([&]() { return Text(field) == L"ab xyzd"; })) << Text(field);
    EXPECT_EQ(6, field->GetCaretPosition());
    Screenshot(L"pasted");
}

TEST_F(TextBoxWindowTest, TheContextMenuCopiesTheSelectionForAnotherProgram)
{
    ASSERT_TRUE(TypeInto(field, L"ab  cd", L"ab  cd"));
    PressWith(VK_SHIFT, VK_LEFT);
    PressWith(VK_SHIFT, VK_LEFT);
    ASSERT_TRUE(CaretReaches(4));
    ASSERT_EQ(2, field->GetSelectionLength());
    ASSERT_EQ(0, RunPeer(L"put-text before"));

    const POINT inField = ScreenPointOf(RCPtr<KX::LControl>(field.Get()), 40, 20);
    RightClick(inField.x, inField.y);
    ASSERT_TRUE(LoopUntil([&]() { return static_cast<bool>(OpenContextMenu()); }));
    const RCPtr<KX::LPopupMenu> menu = OpenContextMenu();
    ASSERT_EQ(4, menu->GetItemCount());
    const wchar_t* const texts[] = {L"Cut", L"Copy", L"Paste", L"Delete"};
    for (int32_t i = 0; i < 4; ++i) {
        const String text = menu->GetItemText(i);
        EXPECT_EQ(texts[i], std::wstring(text.GetData())) << i;
    }
    Screenshot(L"menu");

    // "Copy", chosen with the pointer.
    const KX::RectT<double> copy = menu->GetItemRect(1);
    const POINT onCopy = ScreenPointOf(RCPtr<KX::LControl>(menu.Get()), copy.x + copy.width / 2, copy.y + copy.height / 2);
    TestScreen::Click(onCopy.x, onCopy.y);
    ASSERT_TRUE(LoopUntil([&]() { return !OpenContextMenu(); }));
    LoopUntil([]() { return false; }, 300);
    EXPECT_EQ(L"cd", ClipboardTextFromAnotherProgram());
    EXPECT_EQ(L"ab  cd", Text(field));
    Screenshot(L"copied");
}

TEST_F(TextBoxWindowTest, AListenerThatShortensTheTextValidatesOnceAndEditingGoesOn)
{
    const RCPtr<KXTestListener> listener = KXTestListener::Make();
    listener->Listen(RCPtr<KX::LNotificationDistributor>(field.Get()));
    listener->shorten = true;
    ASSERT_TRUE(TypeInto(field, L"abcdef", L"abcdef"));
    Press(VK_RETURN);
    ASSERT_TRUE(LoopUntil([&]() { return Text(field) == L"abc"; })) << Text(field);
    LoopUntil([]() { return false; }, 200);
    EXPECT_EQ(1, listener->validated);
    EXPECT_EQ(3, field->GetCaretPosition());
    Press(VK_BACK);
    ASSERT_TRUE(LoopUntil([&]() { return Text(field) == L"ab"; })) << Text(field);
    Screenshot(L"shortened");
}

TEST_F(TextBoxWindowTest, ARefusingListenerKeepsTheFocusOnTab)
{
    const RCPtr<KXTestListener> listener = KXTestListener::Make();
    listener->Listen(RCPtr<KX::LNotificationDistributor>(field.Get()));
    listener->refuse = true;
    ASSERT_TRUE(TypeInto(field, L"no", L"no"));
    Press(VK_TAB);
    ASSERT_TRUE(LoopUntil([&]() { return listener->validating >= 1; }));
    LoopUntil([]() { return false; }, 200);
    EXPECT_EQ(field.Get(), root->GetFocusControl().Get());
    EXPECT_EQ(0, listener->validated);

    listener->refuse = false;
    Press(VK_TAB);
    const RCPtr<KX::LTextBox> dark = FieldNamed(L"darkField");
    ASSERT_TRUE(LoopUntil([&]() { return root->GetFocusControl().Get() == dark.Get(); }));
    EXPECT_EQ(1, listener->validated);
}

} // namespace
