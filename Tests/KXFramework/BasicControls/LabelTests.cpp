// The label: never in the tab order, its text wrapped or cut off as its look
// lays it out, the whole text as tool tip while it is cut off, and values
// put into its string-table texts without printf.
#include "BasicControlsTestSupport.h"

#include "ControlBase/FontText.h"
#include "ControlBase/Look.h"

using namespace BasicTest;
using KX::LControl;
using KX::LLabel;

namespace {

class LabelTest : public BasicControlsTest
{
protected:
    void SetUp() override
    {
        BasicControlsTest::SetUp();
        Open(true);
        narrow = FindAs<LLabel>(L"narrowLabel");
        wrapped = FindAs<LLabel>(L"wrappedLabel");
        ASSERT_TRUE(narrow && wrapped);
    }
    void TearDown() override
    {
        narrow = wrapped = nullptr;
        BasicControlsTest::TearDown();
    }

    void SetWidth(const RCPtr<LControl>& control, double width)
    {
        KX::LLayoutDescriptor::PositionSpec position;
        KX::LLayoutDescriptor::SizeSpec size;
        bool docked = false;
        control->GetLayout().GetAxisSpec(0, position, docked, size);
        size.mAbs = width;
        control->SetPlacement(0, position, docked, size);
    }

    RCPtr<LLabel> narrow;
    RCPtr<LLabel> wrapped;
};

TEST_F(LabelTest, TabbingNeverStopsOnALabelOrAProgressBar)
{
    const RCPtr<KX::LButton> first = FindAs<KX::LButton>(L"buttonA");
    first->SetFocus(true);
    std::vector<std::wstring> visited;
    for (int i = 0; i < 12; ++i) {
        KeyDown(VK_TAB);
        const RCPtr<LControl>& focus = window->GetFocusControl();
        visited.push_back(focus ? Text(focus->GetName()) : L"none");
    }
    for (const std::wstring& name : visited) {
        const bool button = name.rfind(L"button", 0) == 0 || name.rfind(L"radio", 0) == 0 || name == L"toggle" ||
                            name == L"repeatButton";
        EXPECT_TRUE(button) << KX::StringT<char, wchar_t>(name.c_str());
    }
    EXPECT_TRUE(narrow->IsFocusDisabled(false));
    narrow->SetFocus(true);
    EXPECT_FALSE(narrow->HasFocus());
}

TEST_F(LabelTest, ATextThatIsCutOffIsTheToolTipUntilTheLabelIsWideEnough)
{
    PaintWindow("narrow");
    EXPECT_TRUE(narrow->IsTextTruncated());
    EXPECT_EQ(L"Firmware version 1.0.3.0 of the device", Text(narrow->GetToolTipText()));

    SetWidth(narrow, 500);
    PaintWindow("wide");
    EXPECT_FALSE(narrow->IsTextTruncated());
    EXPECT_EQ(L"The device's version", Text(narrow->GetToolTipText()));

    // A label without a "TOOLTIP" string that fits offers none.
    PaintWindow();
    EXPECT_FALSE(wrapped->IsTextTruncated());
    EXPECT_TRUE(wrapped->GetToolTipText().IsEmpty());
}

TEST_F(LabelTest, AWrappingLabelBreaksItsTextIntoLinesThatFit)
{
    PaintWindow();
    const RCPtr<KX::LFontText>& layout = wrapped->GetLook(0)->GetTextLayout();
    ASSERT_TRUE(layout);
    const uint32_t lines = layout->GetLineCount();
    ASSERT_GE(lines, 2u);
    String joined;
    const int32_t areaWidth = layout->GetBoxWidth();
    for (uint32_t i = 0; i < lines; ++i) {
        EXPECT_LE(layout->GetLineRect(i).width, static_cast<float>(areaWidth)) << i;
        joined += (i ? String(L" ") : String()) + layout->GetLineText(i);
    }
    EXPECT_EQ(L"Select Firmware File to start the update", Text(joined));
    // Each line fits, so nothing counts as cut off.
    EXPECT_FALSE(wrapped->IsTextTruncated());

    // Without wrapping the same text stays on one line, wider than the label.
    narrow->SetText(wrapped->GetText());
    PaintWindow();
    EXPECT_EQ(1u, narrow->GetLook(0)->GetTextLayout()->GetLineCount());
    EXPECT_TRUE(narrow->IsTextTruncated());
}

TEST(FillPlaceholder, TheFirstPlaceholderTakesTheValueLiterally)
{
    const auto fill = [](const wchar_t* text, const wchar_t* value) {
        return Text(KX::FillPlaceholder(String(text), String(value)));
    };
    EXPECT_EQ(L"Update to firmware version: 1.0.3.0", fill(L"Update to firmware version: %s", L"1.0.3.0"));
    EXPECT_EQ(L"Updater: 1.2", fill(L"Updater: %s", L"1.2"));
    // Only the first "%s"; every other "%" sequence stays as it is.
    EXPECT_EQ(L"100% of 2 and %s", fill(L"100% of %s and %s", L"2"));
    EXPECT_EQ(L"%d %x 5 %n", fill(L"%d %x %s %n", L"5"));
    // A value is never read as a format.
    EXPECT_EQ(L"Version %s%d%n", fill(L"Version %s", L"%s%d%n"));
    EXPECT_EQ(L"at the start", fill(L"%s the start", L"at"));
    EXPECT_EQ(L"", fill(L"%s", L""));
    EXPECT_EQ(L"No placeholder %", fill(L"No placeholder %", L"x"));
    EXPECT_EQ(L"", fill(L"", L"x"));
}

} // namespace
