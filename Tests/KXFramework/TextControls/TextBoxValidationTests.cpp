// The text box with its listeners and the application: validation on Enter
// and on focus changes, the edit operations through the clipboard and their
// keys, and the context menu of edit commands.
#include "TextTestSupport.h"

#include "Controls/MenuDescriptor.h"
#include "Notification/Notification.h"
#include "Notification/NotificationIDs.h"
#include "System/ClipBoard.h"
#include "System/WrapperStringable.h"

namespace {

using namespace TextTest;
using KX::KeyCode;

class TextBoxValidationTest : public TextControlTest
{
protected:
    void SetUp() override
    {
        TextControlTest::SetUp();
        OpenScene(L"textBoxScene");
        field = TextBox(L"field");
        ASSERT_TRUE(field);
        Focus(RCPtr<KX::LControl>(field.Get()));
        listener = KXTest::Listener::Make();
        const RCPtr<KX::LNotificationDistributor> sender(field.Get());
        listener->Listen(sender, KX::NID_TEXTBOX_VALIDATING);
        listener->Listen(sender, KX::NID_TEXTBOX_VALIDATED);
    }

    // The listener corrects (or refuses) every text it validates.
    void OnValidating(const std::function<void(KX::LTextValidationParams&)>& change)
    {
        listener->reaction = [change](const RCPtr<KX::LNotification>& notification) {
            const RCPtr<KX::LTextValidationParams> params =
                RCPtr<KX::LTextValidationParams>::DynamicCast(notification->GetData());
            if (params && notification->GetID() == KX::InternNotificationID(KX::NID_TEXTBOX_VALIDATING))
                change(*params);
        };
    }

    // The clipboard's text, or "(none)".
    std::wstring ClipboardText() const
    {
        const RCPtr<KX::LStringObject> text =
            RCPtr<KX::LStringObject>::DynamicCast(application->GetClipboard()->GetData());
        return text ? Text(text->GetValue()) : std::wstring(L"(none)");
    }

    void PutOnClipboard(const wchar_t* text)
    {
        application->GetClipboard()->SetData(
            RCPtr<KX::LRefCountedObject>(KX::LStringObject::Create(String(text)).Get()));
    }

    RCPtr<KX::LTextBox> field;
    RCPtr<KXTest::Listener> listener;
};

TEST_F(TextBoxValidationTest, AListenersCorrectionIsTakenInPlaceWithOneValidation)
{
    OnValidating([](KX::LTextValidationParams& params) { params.mProposedText = params.mOriginalText.Left(3); });
    Type(L"abcdef");
    ASSERT_EQ(6, field->GetCaretPosition());
    EXPECT_EQ(S_FALSE, field->OnKey(KX::LKeyParam::Create(KeyCode(VK_RETURN, true, 0, 0), 1)));
    EXPECT_EQ(L"abc", Text(field->GetText()));
    EXPECT_EQ(3, field->GetCaretPosition());
    EXPECT_EQ((std::vector<std::wstring>{L"NID_TEXTBOX_VALIDATING", L"NID_TEXTBOX_VALIDATED"}), IdsOf(*listener));
    const RCPtr<KX::LTextValidationParams> seen =
        RCPtr<KX::LTextValidationParams>::DynamicCast(listener->received[1].data);
    ASSERT_TRUE(seen);
    EXPECT_EQ(L"abcdef", Text(seen->mOriginalText));
    EXPECT_EQ(L"abc", Text(seen->mProposedText));

    Tap(VK_BACK);
    EXPECT_EQ(L"ab", Text(field->GetText()));
    EXPECT_EQ(2, field->GetCaretPosition());
}

TEST_F(TextBoxValidationTest, ARefusalKeepsTheTypedTextAndTheFocus)
{
    OnValidating([](KX::LTextValidationParams& params) { params.mIsValid = false; });
    Type(L"bad");
    EXPECT_EQ(S_OK, field->OnKey(KX::LKeyParam::Create(KeyCode(VK_RETURN, true, 0, 0), 1)));
    EXPECT_EQ(L"bad", Text(field->GetText()));
    EXPECT_EQ(0, CountOf(*listener, KX::NID_TEXTBOX_VALIDATED));

    // Neither Tab nor a click on another field takes the focus away.
    Tap(VK_TAB);
    EXPECT_EQ(static_cast<KX::LControl*>(field.Get()), window->GetFocusControl().Get());
    Click(CentreOf(Find(L"darkField")));
    EXPECT_EQ(static_cast<KX::LControl*>(field.Get()), window->GetFocusControl().Get());
    EXPECT_FALSE(field->AcceptsInput());
    EXPECT_EQ(0, CountOf(*listener, KX::NID_TEXTBOX_VALIDATED));

    // Once the text is accepted, Tab moves on, after one validation.
    listener->reaction = nullptr;
    listener->received.clear();
    Tap(VK_TAB);
    EXPECT_EQ(Find(L"darkField").Get(), window->GetFocusControl().Get());
    EXPECT_EQ(1, CountOf(*listener, KX::NID_TEXTBOX_VALIDATED));
}

TEST_F(TextBoxValidationTest, CutCopyPasteAndDeleteGoThroughTheClipboard)
{
    field->SetText(String(L"ab  cd"));
    EXPECT_FALSE(field->CanPerformEdit(KX::LTextBox::kEditCopy));
    EXPECT_EQ(E_FAIL, field->PerformEdit(KX::LTextBox::kEditCopy));
    EXPECT_EQ(E_FAIL, field->PerformEdit(KX::LTextBox::kEditDelete));
    EXPECT_EQ(E_FAIL, field->PerformEdit(9));

    field->SelectRange(4, 5);
    EXPECT_TRUE(field->CanPerformEdit(KX::LTextBox::kEditCopy));
    EXPECT_EQ(S_OK, field->PerformEdit(KX::LTextBox::kEditCopy));
    EXPECT_EQ(L"cd", ClipboardText());
    EXPECT_EQ(L"ab  cd", Text(field->GetText()));

    // Cutting a selection that starts at 3 leaves the caret there.
    field->SetText(String(L"abcdefg"));
    field->SelectRange(3, 4);
    EXPECT_EQ(S_OK, field->PerformEdit(KX::LTextBox::kEditCut));
    EXPECT_EQ(L"de", ClipboardText());
    EXPECT_EQ(L"abcfg", Text(field->GetText()));
    EXPECT_EQ(3, field->GetCaretPosition());

    // Pasting "xyz" over a selection that starts at 3 leaves the caret at 6.
    PutOnClipboard(L"xyz");
    EXPECT_TRUE(field->CanPerformEdit(KX::LTextBox::kEditPaste));
    field->SelectRange(3, 4);
    EXPECT_EQ(S_OK, field->PerformEdit(KX::LTextBox::kEditPaste));
    EXPECT_EQ(L"abcxyz", Text(field->GetText()));
    EXPECT_EQ(6, field->GetCaretPosition());
    EXPECT_FALSE(field->HasSelection());

    // Without a selection the text goes in at the caret, past the filter.
    field->SetFilter(String(L"abc"), true);
    field->SetCaretPosition(1, false);
    EXPECT_EQ(S_OK, field->PerformEdit(KX::LTextBox::kEditPaste));
    EXPECT_EQ(L"axyzbcxyz", Text(field->GetText()));
    EXPECT_EQ(4, field->GetCaretPosition());

    field->SelectRange(0, 3);
    EXPECT_EQ(S_OK, field->PerformEdit(KX::LTextBox::kEditDelete));
    EXPECT_EQ(L"bcxyz", Text(field->GetText()));
    EXPECT_EQ(0, field->GetCaretPosition());

    // Nothing to paste: the clipboard holds no text.
    application->GetClipboard()->SetData(RCPtr<KX::LRefCountedObject>(application->GetAppStringTable().Get()));
    EXPECT_FALSE(field->CanPerformEdit(KX::LTextBox::kEditPaste));
    EXPECT_EQ(E_FAIL, field->PerformEdit(KX::LTextBox::kEditPaste));
}

TEST_F(TextBoxValidationTest, TheEditKeysAreTheApplicationsKeyBindings)
{
    field->SetText(String(L"ab  cd"));
    field->SelectRange(4, 5);
    // Ctrl+C is no key of the text box: the application's binding posts the
    // copy request, which the next idle pass performs on the focused box.
    EXPECT_EQ(S_FALSE, field->OnKey(KX::LKeyParam::Create(KeyCode('C', true, 0, KeyCode::ModCtrl), 1)));
    PutOnClipboard(L"before");
    Tap('C', KeyCode::ModCtrl);
    window->KeyEvent(KX::LKeyParam::Create(KeyCode(static_cast<wchar_t>(3), KeyCode::ModCtrl), 1));
    EXPECT_EQ(L"before", ClipboardText());
    IdlePass();
    EXPECT_EQ(L"cd", ClipboardText());

    field->SetCaretPosition(0, false);
    field->ClearSelection();
    Tap('V', KeyCode::ModCtrl);
    IdlePass();
    EXPECT_EQ(L"cdab  cd", Text(field->GetText()));
    EXPECT_EQ(2, field->GetCaretPosition());
}

TEST_F(TextBoxValidationTest, TheContextMenuHoldsTheEditCommandsInTheirStates)
{
    const RCPtr<KX::LMenuDescriptor> menu = field->GetContextMenu();
    ASSERT_TRUE(menu);
    ASSERT_EQ(4, menu->GetItemCount());
    const wchar_t* const texts[] = {L"Cut", L"Copy", L"Paste", L"Delete"};
    const wchar_t* const ids[] = {L"NID_EDIT_CUT_REQ", L"NID_EDIT_COPY_REQ", L"NID_EDIT_PASTE_REQ",
                                  L"NID_EDIT_DELETE_REQ"};
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(texts[i], Text(menu->GetItem(i)->mText));
        EXPECT_EQ(ids[i], Text(menu->GetItem(i)->mNotificationId));
        EXPECT_TRUE(menu->GetItem(i)->mEnabled);
    }

    // Item states: what the focused box can do now.
    const auto enabled = [&](int32_t index) {
        KX::MenuItemState state;
        menu->GetItemState(index, state);
        EXPECT_EQ(S_OK, field->UpdateMenuItem(menu, index, menu->GetItem(index)->mNotificationId.GetData(), state));
        return state.enabled;
    };
    field->SetText(String(L"abc"));
    PutOnClipboard(L"clip");
    EXPECT_EQ((std::vector<bool>{false, false, true, false}),
              (std::vector<bool>{enabled(0), enabled(1), enabled(2), enabled(3)}));
    field->SelectRange(0, 1);
    application->GetClipboard()->SetData(RCPtr<KX::LRefCountedObject>(application->GetAppStringTable().Get()));
    EXPECT_EQ((std::vector<bool>{true, true, false, true}),
              (std::vector<bool>{enabled(0), enabled(1), enabled(2), enabled(3)}));
    KX::MenuItemState other;
    EXPECT_EQ(S_FALSE, field->UpdateMenuItem(menu, 0, L"NID_SOMETHING_ELSE", other));
}

TEST_F(TextBoxValidationTest, AChosenEditCommandActsAsItsKeyOrOnTheBoxItself)
{
    field->SetText(String(L"ab  cd"));
    field->SelectRange(4, 5);
    PutOnClipboard(L"before");
    // "Copy" is bound to Ctrl+C: chosen, it goes where the key's request goes.
    KX::DeliverNotification(RCPtr<KX::LNotificationReceiver>(field.Get()), KX::NID_EDIT_COPY_REQ);
    EXPECT_EQ(L"before", ClipboardText());
    IdlePass();
    EXPECT_EQ(L"cd", ClipboardText());

    // "Delete" has no key: chosen, it acts on the box at once.
    KX::DeliverNotification(RCPtr<KX::LNotificationReceiver>(field.Get()), KX::NID_EDIT_DELETE_REQ);
    EXPECT_EQ(L"ab  ", Text(field->GetText()));
    // Nothing to delete now: nothing happens.
    KX::DeliverNotification(RCPtr<KX::LNotificationReceiver>(field.Get()), KX::NID_EDIT_DELETE_REQ);
    EXPECT_EQ(L"ab  ", Text(field->GetText()));
}

} // namespace
