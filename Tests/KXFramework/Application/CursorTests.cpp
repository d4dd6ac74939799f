// The cursor names: the system cursors behind them, the application's
// answer through GetAppCursor, and the root window's own default name.
#include "Support/Shell/ShellTestSupport.h"

#include "Application/Cursors.h"

namespace {

using String = KX::StringT<wchar_t, char>;
using CursorTest = ShellTest;

TEST_F(CursorTest, NamesMapToTheSystemCursorsAndAnythingElseToTheArrow)
{
    struct Case
    {
        const String& name;
        LPCWSTR cursor;
    };
    const Case cases[] = {
        {KX::UI_CURSOR_ARROW, IDC_ARROW},         {KX::UI_CURSOR_IBEAM, IDC_IBEAM},
        {KX::UI_CURSOR_WAIT, IDC_WAIT},           {KX::UI_CURSOR_CROSS, IDC_CROSS},
        {KX::UI_CURSOR_UP_ARROW, IDC_UPARROW},    {KX::UI_CURSOR_SIZE_ALL, IDC_SIZEALL},
        {KX::UI_CURSOR_SIZE_NWSE, IDC_SIZENWSE},  {KX::UI_CURSOR_SIZE_NESW, IDC_SIZENESW},
        {KX::UI_CURSOR_SIZE_WE, IDC_SIZEWE},      {KX::UI_CURSOR_SIZE_NS, IDC_SIZENS},
        {KX::UI_CURSOR_NO_DROP, IDC_NO},          {KX::UI_CURSOR_HAND, IDC_HAND},
        {KX::UI_CURSOR_APP_STARTING, IDC_APPSTARTING}, {KX::UI_CURSOR_HELP, IDC_HELP},
        {KX::UI_CURSOR_ROOT_DEFAULT, IDC_ARROW},  {KX::UI_CURSOR_DROP_MOVE, IDC_ARROW},
        {KX::UI_CURSOR_MAG, IDC_ARROW},
    };
    // Without an application the framework's own mapping answers.
    for (const Case& c : cases)
        EXPECT_EQ(LoadCursorW(nullptr, c.cursor), KX::GetAppCursor(c.name)) << c.name.ToNarrow().GetData();
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), KX::GetAppCursor(String(L"UI_CURSOR_NO_SUCH_THING")));
    EXPECT_NE(LoadCursorW(nullptr, IDC_ARROW), LoadCursorW(nullptr, IDC_WAIT)); // the table can tell them apart

    // With one, the application answers (and may add cursors of its own).
    KX::RCPtr<TestApplication> app = MakeApplication();
    for (const Case& c : cases)
        EXPECT_EQ(LoadCursorW(nullptr, c.cursor), KX::GetAppCursor(c.name)) << c.name.ToNarrow().GetData();
}

TEST_F(CursorTest, TheRootWindowsDefaultIsAnObjectOfItsOwnWithTheArrowsText)
{
    EXPECT_EQ(KX::UI_CURSOR_ARROW, KX::UI_CURSOR_ROOT_DEFAULT);
    EXPECT_NE(&KX::UI_CURSOR_ARROW, &KX::UI_CURSOR_ROOT_DEFAULT);
    EXPECT_EQ(String(L"UI_CURSOR_SPLIT_V"), KX::UI_CURSOR_SPLIT_V);
    EXPECT_EQ(String(L"UI_CURSOR_MAG_MINUS"), KX::UI_CURSOR_MAG_MINUS);
}

} // namespace
