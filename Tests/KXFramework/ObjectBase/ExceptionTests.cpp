#include "ObjectBase/Exception.h"
#include "ObjectBase/TypeName.h"

#include <gtest/gtest.h>

using namespace KX;

namespace {
enum class SampleEnum { A };
}

TEST(ResultCodes, ToStringWritesUpperCaseHexWithoutLeadingZeros)
{
    const struct {
        KXRESULT code;
        const char* text;
    } cases[] = {
        {static_cast<KXRESULT>(0x80004005), "KXRESULT = 80004005"},
        {E_INVALIDARG, "KXRESULT = 80070057"},
        {1, "KXRESULT = 1"},
        {static_cast<KXRESULT>(0x8000A020), "KXRESULT = 8000A020"},
        {0, "KXRESULT = 0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, ResultCodeToString(c.code));
    EXPECT_TRUE(IsQuitCode(KXQUIT_UNATTENDED_DONE));
    EXPECT_FALSE(IsQuitCode(E_FAIL));
}

TEST(Exceptions, FailedResultTextThroughWhatAndWhat)
{
    try {
        KX_THROW_IF_FAILED(E_FAIL, "LUpdateProcessor::Initialize", "Engine/UpdateProcessor", 53);
        FAIL() << "no exception";
    } catch (const Exception<FailedResultException>& error) {
        const char* expected =
            "Failed Result : KXRESULT = 80004005 : LUpdateProcessor::Initialize : Engine/UpdateProcessor : Line 53";
        EXPECT_STREQ(expected, error.what());
        const ExceptionBase& base = error;
        EXPECT_STREQ(expected, base.What());
    }
}

TEST(Exceptions, SuccessCodesPassTheFailedResultRule)
{
    EXPECT_NO_THROW(KX_THROW_IF_FAILED(S_FALSE, "X::Y", "A/B", 1));
    EXPECT_NO_THROW(KX_THROW_IF_FAILED(S_OK, "X::Y", "A/B", 1));
}

TEST(Exceptions, FailedResultIsNoRuntimeErrorButEveryKindIsAStdException)
{
    bool caughtAsRuntime = false;
    try {
        try {
            KX_THROW_IF_FAILED(E_INVALIDARG, "X::Y", "A/B", 2);
        } catch (const std::runtime_error&) {
            caughtAsRuntime = true;
        }
    } catch (const std::exception& error) {
        EXPECT_STREQ("Failed Result : KXRESULT = 80070057 : X::Y : A/B : Line 2", error.what());
    }
    EXPECT_FALSE(caughtAsRuntime);

    auto categoryOf = [](auto thrower) -> std::string {
        try {
            thrower();
        } catch (const std::exception& error) {
            return error.what();
        }
        return "";
    };
    EXPECT_EQ("Logic Error : d : A::B : F/G : Line 1",
              categoryOf([] { KX_THROW(std::logic_error, "d", "A::B", "F/G", 1); }));
    EXPECT_EQ("Out of Range : A::B : F/G : Line 10",
              categoryOf([] { KX_THROW(std::out_of_range, "", "A::B", "F/G", 10); }));
    EXPECT_EQ("Domain Error : A::B : F/G : Line 3",
              categoryOf([] { KX_THROW(std::domain_error, "", "A::B", "F/G", 3); }));
    EXPECT_EQ("Invalid Argument : A::B : F/G : Line 4",
              categoryOf([] { KX_THROW(std::invalid_argument, "", "A::B", "F/G", 4); }));
    EXPECT_EQ("Runtime Error : Null Pointer : Invalid Control Name : A::B : F/G : Line 5",
              categoryOf([] { KX_THROW(std::runtime_error, "Null Pointer : Invalid Control Name", "A::B", "F/G", 5); }));
    EXPECT_EQ("bad allocation", categoryOf([] { throw Exception<std::bad_alloc>(); }));
}

TEST(Exceptions, CopiesOwnTheirText)
{
    auto* first = new Exception<std::runtime_error>("Runtime Error : A : B : Line 1");
    Exception<std::runtime_error> copy(*first);
    delete first;
    EXPECT_STREQ("Runtime Error : A : B : Line 1", copy.What());
}

TEST(TypeName, KeywordsAndTemplateArgumentsInTheFrameworkForm)
{
    EXPECT_EQ("class KX::ExceptionBase", TypeNameOf<ExceptionBase>());
    EXPECT_EQ("int", TypeNameOf<int>());
    EXPECT_EQ("enum (anonymous namespace)::SampleEnum", TypeNameOf<SampleEnum>());
    EXPECT_EQ("class KX::Exception<class std::runtime_error>", TypeNameOf<Exception<std::runtime_error>>());
}
