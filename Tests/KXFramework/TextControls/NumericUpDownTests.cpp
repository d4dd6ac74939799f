// The numeric up-down: steps of the buttons and the arrow keys at the ends of
// the range, the held button's repeats on the clock, typed text checked and
// limited on Enter, the minus sign, and the range itself.
#include "TextTestSupport.h"

#include "Controls/NumericUpDown.h"
#include "Notification/Notification.h"
#include "Notification/NotificationIDs.h"

namespace {

using namespace TextTest;
using KX::KeyCode;

class NumericUpDownTest : public TextControlTest
{
protected:
    void SetUp() override
    {
        TextControlTest::SetUp();
        OpenScene(L"upDownScene");
        upDown = FindAs<KX::LNumericUpDown>(L"upDown");
        ASSERT_TRUE(upDown);
        field = upDown->GetTextBox();
        ASSERT_TRUE(field && upDown->GetButtonUp() && upDown->GetButtonDown());
        listener = KXTest::Listener::Make();
        listener->Listen(RCPtr<KX::LNotificationDistributor>(upDown.Get()), KX::NID_VALUE_CHANGE);
    }

    // The field emptied, the text typed and Enter pressed in it.
    void Enter(const std::wstring& text)
    {
        Focus(RCPtr<KX::LControl>(field.Get()));
        field->SetText(String());
        Type(text);
        Tap(VK_RETURN);
    }

    void ClickButton(const RCPtr<KX::LButton>& button)
    {
        Click(CentreOf(RCPtr<KX::LControl>(button.Get())));
    }

    std::wstring FieldText() const { return Text(field->GetText()); }

    RCPtr<KX::LNumericUpDown> upDown;
    RCPtr<KX::LTextBox> field;
    RCPtr<KXTest::Listener> listener;
};

TEST_F(NumericUpDownTest, AtTheTopOfTheRangeUpKeepsTheValueAndDownStepsBack)
{
    ASSERT_EQ(S_OK, upDown->SetValueRange(0.0, 10.0, 0));
    upDown->SetText(String(L"10"));
    EXPECT_EQ(10.0, upDown->GetValue());
    EXPECT_EQ(L"10", FieldText());
    listener->received.clear();

    ClickButton(upDown->GetButtonUp());
    EXPECT_EQ(10.0, upDown->GetValue());
    EXPECT_EQ(L"10", FieldText());
    // The Up key presses the button as a click would.
    Focus(RCPtr<KX::LControl>(field.Get()));
    Tap(VK_UP);
    RunIdle(300);
    EXPECT_EQ(L"10", FieldText());
    EXPECT_TRUE(listener->received.empty());

    ClickButton(upDown->GetButtonDown());
    EXPECT_EQ(9.0, upDown->GetValue());
    EXPECT_EQ(L"9", FieldText());
    Tap(VK_DOWN);
    EXPECT_EQ(9.0, upDown->GetValue()); // the click comes after the button's pressed look
    RunIdle(300);
    EXPECT_EQ(8.0, upDown->GetValue());
    EXPECT_EQ(L"8", FieldText());
    EXPECT_EQ(2u, listener->received.size());
    // The focus stays in the field.
    EXPECT_EQ(static_cast<KX::LControl*>(field.Get()), window->GetFocusControl().Get());
}

TEST_F(NumericUpDownTest, AHeldButtonStepsAtOnceAfterAPauseAndThenSteadily)
{
    ASSERT_EQ(S_OK, upDown->SetValueRange(0.0, 10.0, 0));
    upDown->SetText(String(L"10"));
    listener->received.clear();
    std::vector<uint32_t> stepTimes;
    listener->reaction = [&](const RCPtr<KX::LNotification>&) { stepTimes.push_back(application->mTicks); };

    const uint32_t start = application->mTicks;
    Press(CentreOf(RCPtr<KX::LControl>(upDown->GetButtonDown().Get())));
    RunIdle(650, 10);
    Release(CentreOf(RCPtr<KX::LControl>(upDown->GetButtonDown().Get())));
    RunIdle(500, 10);

    // At 0 s, 0.3 s, then every 0.1 s until the release at 0.65 s.
    const std::vector<uint32_t> expected{0, 300, 400, 500, 600};
    ASSERT_EQ(expected.size(), stepTimes.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(static_cast<double>(expected[i]), static_cast<double>(stepTimes[i] - start), 10.0) << i;
    EXPECT_EQ(5.0, upDown->GetValue());
    EXPECT_EQ(L"5", FieldText());
}

TEST_F(NumericUpDownTest, TypedTextIsCheckedAndLimitedToTheRangeOnEnter)
{
    ASSERT_EQ(S_OK, upDown->SetValueRange(0.0, 10.0, 0));
    upDown->SetText(String(L"3"));
    listener->received.clear();
    Enter(L"25");
    EXPECT_EQ(L"10", FieldText());
    EXPECT_EQ(10.0, upDown->GetValue());
    EXPECT_EQ(1u, listener->received.size());

    struct Case
    {
        const wchar_t* pasted;
        double value;
        const wchar_t* shown;
    };
    // Pasted text passes no filter: from the value 4.
    for (const Case& c : {Case{L"", 4, L"4"}, Case{L"-", 4, L"4"}, Case{L".", 4, L"4"}, Case{L"1-2", 4, L"4"},
                          Case{L"1.2.3", 4, L"4"}, Case{L"7abc", 7, L"7"}, Case{L"abc", 0, L"0"},
                          Case{L"12", 10, L"10"}, Case{L"-3", 0, L"0"}, Case{L"04", 4, L"04"}}) {
        upDown->SetText(String(L"4"));
        field->SetText(String(c.pasted));
        Focus(RCPtr<KX::LControl>(field.Get()));
        Tap(VK_RETURN);
        EXPECT_EQ(c.value, upDown->GetValue()) << c.pasted;
        EXPECT_EQ(c.shown, FieldText()) << c.pasted;
    }
    // At the minimum the text is rewritten through the format.
    upDown->SetText(String(L"0"));
    Enter(L"00");
    EXPECT_EQ(L"0", FieldText());
}

TEST_F(NumericUpDownTest, TheMinusSignIsTypedOnlyWhenTheRangeGoesBelowZero)
{
    ASSERT_EQ(S_OK, upDown->SetValueRange(0.0, 10.0, 0));
    Enter(L"-2");
    EXPECT_EQ(2.0, upDown->GetValue());

    ASSERT_EQ(S_OK, upDown->SetValueRange(-5.0, 5.0, 0));
    EXPECT_EQ(L"0123456789-", Text(field->GetFilterChars()));
    Enter(L"-3");
    EXPECT_EQ(-3.0, upDown->GetValue());
    EXPECT_EQ(L"-3", FieldText());
    Enter(L"-9");
    EXPECT_EQ(-5.0, upDown->GetValue());
    EXPECT_EQ(L"-5", FieldText());
}

TEST_F(NumericUpDownTest, TheRangeKeepsTheValuesPlaceAndRefusesABadMapping)
{
    // Before any range the range is 0 to 0.
    Enter(L"7");
    EXPECT_EQ(0.0, upDown->GetValue());
    EXPECT_EQ(L"0", FieldText());

    ASSERT_EQ(S_OK, upDown->SetValueRange(0.0, 10.0, 0));
    upDown->SetText(String(L"5"));
    listener->received.clear();
    ASSERT_EQ(S_OK, upDown->SetValueRange(0.0, 100.0, 0));
    EXPECT_EQ(50.0, upDown->GetValue());
    EXPECT_EQ(L"50", FieldText());
    EXPECT_TRUE(listener->received.empty());

    EXPECT_EQ(E_INVALIDARG, upDown->SetValueRange(0.0, 10.0, 2));
    EXPECT_EQ(E_INVALIDARG, upDown->SetValueRange(0.0, 10.0, 1));
    EXPECT_EQ(50.0, upDown->GetValue());
    EXPECT_EQ(L"50", FieldText());
}

TEST_F(NumericUpDownTest, TheControlsListenersValidateFirstAndMayRefuse)
{
    ASSERT_EQ(S_OK, upDown->SetValueRange(0.0, 10.0, 0));
    upDown->SetText(String(L"2"));
    const RCPtr<KXTest::Listener> validation = KXTest::Listener::Make();
    validation->Listen(RCPtr<KX::LNotificationDistributor>(upDown.Get()), KX::NID_TEXTBOX_VALIDATING);
    validation->Listen(RCPtr<KX::LNotificationDistributor>(upDown.Get()), KX::NID_TEXTBOX_VALIDATED);
    validation->reaction = [](const RCPtr<KX::LNotification>& notification) {
        if (const RCPtr<KX::LTextValidationParams> params =
                RCPtr<KX::LTextValidationParams>::DynamicCast(notification->GetData()))
            params->mIsValid = false;
    };
    Enter(L"8");
    EXPECT_EQ(L"8", FieldText());
    EXPECT_EQ(2.0, upDown->GetValue());
    EXPECT_EQ(0, CountOf(*validation, KX::NID_TEXTBOX_VALIDATED));
    Tap(VK_TAB);
    EXPECT_EQ(static_cast<KX::LControl*>(field.Get()), window->GetFocusControl().Get());

    validation->reaction = nullptr;
    Tap(VK_TAB);
    EXPECT_EQ(Find(L"after").Get(), window->GetFocusControl().Get());
    EXPECT_EQ(8.0, upDown->GetValue());
    EXPECT_LE(1, CountOf(*validation, KX::NID_TEXTBOX_VALIDATED));
}

} // namespace
