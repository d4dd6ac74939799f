// The text box's editing model: caret and word moves, keyboard selection,
// the editing keys and what they leave to the controls around, typed
// characters and their filter, text changes, and the mouse.
#include "TextTestSupport.h"

#include "Notification/NotificationIDs.h"

namespace {

using namespace TextTest;
using KX::KeyCode;

class TextBoxEditingTest : public TextControlTest
{
protected:
    void SetUp() override
    {
        TextControlTest::SetUp();
        OpenScene(L"textBoxScene");
        field = TextBox(L"field");
        ASSERT_TRUE(field);
        Focus(RCPtr<KX::LControl>(field.Get()));
    }

    // The text box's own answer to a whole key word.
    KX::KXRESULT KeyResult(uint32_t keyWord) const
    {
        return field->OnKey(KX::LKeyParam::Create(KeyCode(keyWord, 0, 0), 1));
    }

    // Text, caret at `caret`, no selection.
    void Start(const wchar_t* text, int32_t caret)
    {
        field->SetText(String()); // the same text again would keep the selection
        field->SetText(String(text));
        field->SetCaretPosition(caret, true);
        ASSERT_EQ(caret, field->GetCaretPosition());
        ASSERT_FALSE(field->HasSelection());
    }

    RCPtr<KX::LTextBox> field;
};

TEST_F(TextBoxEditingTest, CtrlArrowsMoveByWordsOverBlanks)
{
    Start(L"ab  cd", 6);
    Tap(VK_LEFT, KeyCode::ModCtrl);
    EXPECT_EQ(4, field->GetCaretPosition());
    Tap(VK_LEFT, KeyCode::ModCtrl);
    EXPECT_EQ(0, field->GetCaretPosition());
    Tap(VK_LEFT, KeyCode::ModCtrl);
    EXPECT_EQ(0, field->GetCaretPosition());

    Tap(VK_RIGHT, KeyCode::ModCtrl);
    EXPECT_EQ(4, field->GetCaretPosition());
    field->SetCaretPosition(3, false);
    Tap(VK_RIGHT, KeyCode::ModCtrl);
    EXPECT_EQ(6, field->GetCaretPosition());
    Tap(VK_RIGHT, KeyCode::ModCtrl);
    EXPECT_EQ(6, field->GetCaretPosition());
    EXPECT_FALSE(field->HasSelection());

    // With Shift the words are selected from the anchor.
    Tap(VK_LEFT, KeyCode::ModCtrl | KeyCode::ModShift);
    EXPECT_EQ(4, field->GetCaretPosition());
    EXPECT_EQ(4, field->GetSelectionStart());
    EXPECT_EQ(2, field->GetSelectionLength());
    Tap(VK_LEFT, KeyCode::ModCtrl | KeyCode::ModShift);
    EXPECT_EQ(0, field->GetCaretPosition());
    EXPECT_EQ(0, field->GetSelectionStart());
    EXPECT_EQ(6, field->GetSelectionLength());
    EXPECT_EQ(6, field->GetAnchor());
}

TEST_F(TextBoxEditingTest, ShiftArrowsGrowAndShrinkTheSelectionFromTheAnchor)
{
    Start(L"abcdef", 1);
    Tap(VK_RIGHT, KeyCode::ModShift);
    Tap(VK_RIGHT, KeyCode::ModShift);
    EXPECT_EQ(1, field->GetSelectionStart());
    EXPECT_EQ(2, field->GetSelectionLength());
    EXPECT_EQ(3, field->GetCaretPosition());
    Tap(VK_LEFT, KeyCode::ModShift);
    EXPECT_EQ(1, field->GetSelectionStart());
    EXPECT_EQ(1, field->GetSelectionLength());
    EXPECT_EQ(2, field->GetCaretPosition());
    EXPECT_EQ(1, field->GetAnchor());
    // Past the anchor the selection turns round.
    Tap(VK_LEFT, KeyCode::ModShift);
    Tap(VK_LEFT, KeyCode::ModShift);
    EXPECT_EQ(0, field->GetSelectionStart());
    EXPECT_EQ(1, field->GetSelectionLength());
    EXPECT_EQ(0, field->GetCaretPosition());
    EXPECT_EQ(S_OK, KeyResult(0x22250000)); // at the start: handled, nothing moves
    EXPECT_EQ(0, field->GetCaretPosition());

    // Shift+Home takes everything before the anchor.
    Start(L"abcdef", 2);
    Tap(VK_RIGHT, KeyCode::ModShift);
    Tap(VK_HOME, KeyCode::ModShift);
    EXPECT_EQ(0, field->GetSelectionStart());
    EXPECT_EQ(2, field->GetSelectionLength());
    EXPECT_EQ(0, field->GetCaretPosition());
    Tap(VK_END, KeyCode::ModShift);
    EXPECT_EQ(2, field->GetSelectionStart());
    EXPECT_EQ(4, field->GetSelectionLength());
    EXPECT_EQ(6, field->GetCaretPosition());

    // A plain arrow drops the selection.
    Tap(VK_LEFT);
    EXPECT_FALSE(field->HasSelection());
    EXPECT_EQ(5, field->GetCaretPosition());
}

TEST_F(TextBoxEditingTest, AKeyThatClearsTheSelectionInPlaceLeavesTheAnchorAtTheCaret)
{
    // Right at the end moves nothing; the next Shift+Home still selects
    // from the caret.
    Start(L"abc", 1);
    Tap(VK_END);
    Tap(VK_RIGHT);
    EXPECT_EQ(3, field->GetCaretPosition());
    EXPECT_EQ(3, field->GetAnchor());
    Tap(VK_HOME, KeyCode::ModShift);
    EXPECT_EQ(0, field->GetSelectionStart());
    EXPECT_EQ(3, field->GetSelectionLength());
    EXPECT_EQ(0, field->GetCaretPosition());
}

TEST_F(TextBoxEditingTest, EditingKeysAndWhatTheyLeaveToOthers)
{
    struct Case
    {
        const wchar_t* name;
        uint32_t keyWord;
        KX::KXRESULT result;
        const wchar_t* text;
        int32_t caret;
    };
    // In "abcdef" with the caret at 3 and no selection.
    const Case cases[] = {
        {L"Left", 0x20250000, S_OK, L"abcdef", 2},
        {L"Right", 0x20270000, S_OK, L"abcdef", 4},
        {L"Home", 0x20240000, S_OK, L"abcdef", 0},
        {L"End", 0x20230000, S_OK, L"abcdef", 6},
        {L"Backspace", 0x20080000, S_OK, L"abdef", 2},
        {L"Shift+Delete", 0x222E0000, S_OK, L"abdef", 2},
        {L"Delete", 0x202E0000, S_OK, L"abcef", 3},
        {L"Ctrl+Delete", 0x212E0000, S_OK, L"abc", 3},
        {L"Enter", 0x200D0000, S_FALSE, L"abcdef", 3},
        {L"Up", 0x20260000, S_FALSE, L"abcdef", 3},
        {L"Ctrl+Shift+Down", 0x23280000, S_FALSE, L"abcdef", 3},
        {L"Tab", 0x20090000, S_FALSE, L"abcdef", 3},
        {L"F5", 0x20740000, S_FALSE, L"abcdef", 3},
        {L"A", 0x20410000, S_OK, L"abcdef", 3},
        {L"Space", 0x20200000, S_OK, L"abcdef", 3},
        {L"Ctrl+A", 0x21410000, S_FALSE, L"abcdef", 3},
        {L"Ctrl+V", 0x21560000, S_FALSE, L"abcdef", 3},
        {L"Alt+7", 0x24370000, S_FALSE, L"abcdef", 3},
        {L"release of A", 0x00410000, S_OK, L"abcdef", 3},
        {L"no key", 0x80000000, S_OK, L"abcdef", 3},
        {L"tab character", 0x00000009, S_FALSE, L"abcdef", 3},
        {L"Enter character", 0x0000000D, S_FALSE, L"abcdef", 3},
        {L"Ctrl+C character", 0x01000003, S_FALSE, L"abcdef", 3},
        {L"x", 0x00000078, S_OK, L"abcxdef", 4},
        {L"Shift+X character", 0x02000058, S_OK, L"abcXdef", 4},
        {L"Alt+y character", 0x04000079, S_OK, L"abcydef", 4},
    };
    for (const Case& c : cases) {
        Start(L"abcdef", 3);
        EXPECT_EQ(c.result, KeyResult(c.keyWord)) << c.name;
        EXPECT_EQ(c.text, Text(field->GetText())) << c.name;
        EXPECT_EQ(c.caret, field->GetCaretPosition()) << c.name;
    }

    // At the ends the keys are handled and change nothing.
    Start(L"abc", 0);
    EXPECT_EQ(S_OK, KeyResult(0x20080000));
    EXPECT_EQ(S_OK, KeyResult(0x20250000));
    EXPECT_EQ(L"abc", Text(field->GetText()));
    EXPECT_EQ(0, field->GetCaretPosition());
    Start(L"abc", 3);
    EXPECT_EQ(S_OK, KeyResult(0x202E0000));
    EXPECT_EQ(S_OK, KeyResult(0x20270000));
    EXPECT_EQ(L"abc", Text(field->GetText()));

    // With a selection the deleting keys take the selection.
    for (uint32_t keyWord : {0x20080000u, 0x202E0000u, 0x212E0000u, 0x222E0000u}) {
        Start(L"abcdef", 1);
        field->SelectRange(1, 2);
        EXPECT_EQ(S_OK, KeyResult(keyWord));
        EXPECT_EQ(L"adef", Text(field->GetText())) << std::hex << keyWord;
        EXPECT_EQ(1, field->GetCaretPosition());
        EXPECT_FALSE(field->HasSelection());
    }
}

TEST_F(TextBoxEditingTest, TypingReplacesTheSelectionAndPassesTheFilter)
{
    Start(L"", 0);
    Type(L"Hello world");
    EXPECT_EQ(L"Hello world", Text(field->GetText()));
    EXPECT_EQ(11, field->GetCaretPosition());

    field->SelectRange(6, 10);
    field->SetCaretPosition(11, false);
    Type(L"W");
    EXPECT_EQ(L"Hello W", Text(field->GetText()));
    EXPECT_EQ(7, field->GetCaretPosition());

    // Only the listed characters.
    Start(L"", 0);
    field->SetFilter(String(L"0123456789"), true);
    Type(L"4a2-");
    EXPECT_EQ(L"42", Text(field->GetText()));
    EXPECT_EQ(S_OK, KeyResult(L'b')); // refused, but handled
    // Every character but the listed ones.
    field->SetFilter(String(L"x"), false);
    Type(L"yxz");
    EXPECT_EQ(L"42yz", Text(field->GetText()));
}

TEST_F(TextBoxEditingTest, TextChangesNotifyAndSetTextMovesTheCaretHome)
{
    const RCPtr<KXTest::Listener> listener = KXTest::Listener::Make();
    listener->Listen(RCPtr<KX::LNotificationDistributor>(field.Get()), KX::NID_TEXTBOX_TEXT_CHANGE);

    Start(L"abcdef", 4);
    listener->received.clear();
    field->SelectRange(1, 2);
    // The same text again: nothing at all.
    EXPECT_EQ(S_FALSE, field->SetText(String(L"abcdef")));
    EXPECT_TRUE(listener->received.empty());
    EXPECT_EQ(1, field->GetSelectionStart());
    EXPECT_EQ(2, field->GetSelectionLength());

    EXPECT_EQ(S_OK, field->SetText(String(L"xyz")));
    EXPECT_EQ(0, field->GetCaretPosition());
    EXPECT_FALSE(field->HasSelection());
    ASSERT_EQ(1u, listener->received.size());
    EXPECT_EQ(static_cast<KX::LRefCountedObject*>(field.Get()), listener->received[0].data.Get());

    // Typing notifies once per character.
    listener->received.clear();
    field->SetCaretPosition(3, false);
    Type(L"12");
    EXPECT_EQ(2, CountOf(*listener, KX::NID_TEXTBOX_TEXT_CHANGE));
}

TEST_F(TextBoxEditingTest, AShorterTextKeptInPlaceBringsTheCaretToItsEnd)
{
    Start(L"abcdef", 6);
    field->SelectRange(4, 5);
    EXPECT_EQ(0, field->SetTextEx(String(L"abc"), false));
    EXPECT_EQ(3, field->GetCaretPosition());
    EXPECT_EQ(3, field->GetAnchor());
    EXPECT_FALSE(field->HasSelection());

    // Every key works from there.
    Tap(VK_LEFT);
    EXPECT_EQ(2, field->GetCaretPosition());
    Tap(VK_END);
    Type(L"d");
    EXPECT_EQ(L"abcd", Text(field->GetText()));
    Tap(VK_BACK);
    Tap(VK_BACK);
    EXPECT_EQ(L"ab", Text(field->GetText()));
    EXPECT_EQ(2, field->GetCaretPosition());

    // A longer or equal text keeps the caret's index.
    EXPECT_EQ(0, field->SetTextEx(String(L"abXYZ"), false));
    EXPECT_EQ(2, field->GetCaretPosition());
}

TEST_F(TextBoxEditingTest, CaretAndSelectionOperationsRefuseWhatLiesOutsideTheText)
{
    Start(L"abcd", 2);
    EXPECT_EQ(E_INVALIDARG, field->SetCaretPosition(5, false));
    EXPECT_EQ(E_INVALIDARG, field->SetCaretPosition(-1, true));
    EXPECT_EQ(2, field->GetCaretPosition());
    EXPECT_EQ(S_FALSE, field->SetCaretPosition(2, false));
    EXPECT_EQ(S_FALSE, field->SetCaretPosition(2, true));
    EXPECT_EQ(S_OK, field->SetCaretPosition(4, false));

    field->SelectRange(0, -1);
    EXPECT_EQ(0, field->GetSelectionStart());
    EXPECT_EQ(4, field->GetSelectionLength());
    field->SelectRange(3, 1);
    EXPECT_EQ(1, field->GetSelectionStart());
    EXPECT_EQ(3, field->GetSelectionLength());
    EXPECT_EQ(1, field->GetAnchor());
    for (const auto& range : {std::pair<int, int>{4, 4}, {1, 4}, {2, -1}, {-2, 1}}) {
        field->SelectRange(range.first, range.second);
        EXPECT_EQ(1, field->GetSelectionStart());
        EXPECT_EQ(3, field->GetSelectionLength());
    }
    field->SelectRange(-1, 0);
    EXPECT_FALSE(field->HasSelection());
}

TEST_F(TextBoxEditingTest, ThePointerPlacesTheCaretAndSelects)
{
    Start(L"one two three", 0);
    const KX::RectT<float> area = field->GetTextArea();
    const auto boundary = [&](int32_t index) {
        // The left edge of the character at the index.
        return InWindow(RCPtr<KX::LControl>(field.Get()), field->GetCharRect(index).x, area.y + area.height / 2);
    };
    const auto middleOf = [&](int32_t index) {
        const KX::RectT<float> character = field->GetCharRect(index);
        return InWindow(RCPtr<KX::LControl>(field.Get()), character.x + character.width / 2 + 0.5,
                        area.y + area.height / 2);
    };

    Click(boundary(4));
    EXPECT_EQ(4, field->GetCaretPosition());
    EXPECT_EQ(4, field->GetAnchor());
    // Shift extends the selection from the anchor.
    Click(boundary(7), 1, KeyCode::ModShift);
    EXPECT_EQ(4, field->GetSelectionStart());
    EXPECT_EQ(3, field->GetSelectionLength());
    EXPECT_EQ(7, field->GetCaretPosition());

    // A drag selects from the press, also when it leaves the field.
    Press(boundary(8));
    MoveTo(PointT<long>(boundary(10).x, boundary(10).y - 40));
    Release(PointT<long>(boundary(10).x, boundary(10).y - 40));
    EXPECT_EQ(8, field->GetSelectionStart());
    EXPECT_EQ(2, field->GetSelectionLength());
    EXPECT_EQ(10, field->GetCaretPosition());

    // A double click and a Ctrl+click select the word without its blank.
    Click(middleOf(5));
    DoubleClick(middleOf(5));
    EXPECT_EQ(4, field->GetSelectionStart());
    EXPECT_EQ(3, field->GetSelectionLength());
    EXPECT_EQ(7, field->GetCaretPosition());
    MoveTo(PointT<long>(0, 0));
    application->mTicks += 1000; // no double click with the next press
    Click(middleOf(10), 1, KeyCode::ModCtrl);
    EXPECT_EQ(8, field->GetSelectionStart());
    EXPECT_EQ(5, field->GetSelectionLength());
    EXPECT_EQ(13, field->GetCaretPosition());
}

} // namespace
