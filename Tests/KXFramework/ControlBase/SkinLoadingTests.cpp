// Skin documents: records, names defined before use, control trees and the
// errors that stop a document.
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using KXTest::FactoryWithSkin;
using KXTest::String;
using KX::LControlDescriptor;
using KX::LLayoutDescriptor;
using KX::RCPtr;

// Records of every kind, with second definitions and references to names
// that are defined only later or never.
const char* const kRecordDocument = R"(<?xml version="1.0" encoding="UTF-8"?>
<Root>
  <Application Name="Varrow">
    <Colorizers>
      <Colorizer Name="Red" ColorType="SolidFill" Color="0xFFFF0000" GradientEndColor="0xFF00FF00"/>
      <Colorizer Name="Red" ColorType="SolidFill" Color="0xFF0000FF"/>
      <Colorizer Name="Fade" ColorType="LinearGradient" Color="0xFF000000" GradientEndColor="0xFFFFFFFF"
                 GradientStartX="0" GradientStartY="0" GradientEndX="1" GradientEndY="1"/>
      <Colorizer Name="Broken" ColorType="RadialGradient" Color="0xFF000000" GradientEndColor="0xFFFFFFFF"
                 GradientStartX="0.5" GradientStartY="0" GradientEndX="1"/>
      <Colorizer Name="NoColor" ColorType="SolidFill"/>
    </Colorizers>
    <Parts>
      <Part Name="Early" Width="4" Height="4" ResizeType="Tile" ColorizerName="Later"/>
      <Part Name="Fill" Width="0x10" Height="8" ResizeType="Center" ColorizerName="Red" ColorizerAlphaMod="0.5"
            ColorizerMaskFile="Masks\Round.PNG" MaskLocX="2" MaskLocY="3"/>
      <Part Name="Fill" Width="99" Height="99" ResizeType="Tile" ColorizerName="Fade"/>
      <Part Name="Sprite" Width="10" Height="12" ResizeType="Stretchy" ImageFile="Sprites.PNG" ImageLocX="20" ImageLocY="30"/>
      <Part Name="HalfImage" Width="10" Height="12" ResizeType="Tile" ImageFile="Sprites.PNG" ImageLocX="20"/>
      <Part Name="NoSize" Height="12" ResizeType="Tile" ColorizerName="Red"/>
    </Parts>
    <Colorizers>
      <Colorizer Name="Later" ColorType="SolidFill" Color="0x80"/>
    </Colorizers>
    <Looks>
      <Look Name="Plain">
        <ClientPart Name="Fill" OffsetLeft="1" OffsetTop="2" OffsetRight="-3" OffsetBottom="-4"/>
        <TextProperties TextLeftRel="0" TextLeftAbs="4" TextRightRel="1" TextRightAbs="-4" TextHAlign="0.5"
                        TextTopRel="0.25" TextTopAbs="0" TextBottomRel="1" TextBottomAbs="-2" TextVAlign="1"
                        TextForegroundPart="Sprite"/>
        <NonClientParts>
          <NonClientPart Name="Sprite" OffsetLeft="0" OffsetBottom="-1" Width="5" Height="0"/>
          <NonClientPart Name="Missing" OffsetLeft="0"/>
          <NonClientPart Name="Fill" OffsetRight="0" OffsetTop="0"/>
        </NonClientParts>
      </Look>
      <Look Name="Plain">
        <ClientPart Name="Sprite" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/>
      </Look>
      <Look Name="NoClient">
        <ClientPart Name="Fill" OffsetLeft="0" OffsetTop="0" OffsetRight="0"/>
        <TextProperties TextLeftRel="0" TextLeftAbs="4" TextRightRel="1" TextRightAbs="-4" TextHAlign="0.5"
                        TextTopRel="0" TextTopAbs="0" TextBottomRel="1" TextBottomAbs="0" TextVAlign="0.5"
                        TextForegroundPart="Missing"/>
      </Look>
    </Looks>
    <LookLists>
      <LookList Name="Buttons" NumLooks="3">
        <Look Name="Plain" Index="0"/>
        <Look Name="NoClient" Index="2"/>
        <Look Name="Undefined" Index="1"/>
        <Look Name="Plain" Index="3"/>
      </LookList>
      <LookList Name="Buttons" NumLooks="5">
        <Look Name="NoClient" Index="0"/>
      </LookList>
    </LookLists>
  </Application>
</Root>
)";

TEST(SkinRecords, FirstDefinitionWinsAndNamesMustComeFirst)
{
    KX::KXRESULT result = E_FAIL;
    RCPtr<KX::LControlFactory> factory = FactoryWithSkin(kRecordDocument, &result);
    ASSERT_EQ(result, S_OK);

    EXPECT_EQ(factory->GetColorizerCount(), 4); // Red, Fade, Broken, Later; NoColor lacks its colour
    EXPECT_EQ(factory->FindColorizer(String(L"Red"))->mColor.GetARGB(), 0xFFFF0000u);
    EXPECT_EQ(factory->FindColorizer(String(L"Red"))->mColorType, KX::LColorizer::Solid);
    EXPECT_EQ(factory->FindColorizer(String(L"Red"))->mGradientEndColor.GetARGB(), 0u); // not read for solids
    EXPECT_EQ(factory->FindColorizer(String(L"Fade"))->mColorType, KX::LColorizer::LinearGradient);
    EXPECT_EQ(factory->FindColorizer(String(L"Fade"))->mGradientEndY, 1.0f);
    EXPECT_EQ(factory->FindColorizer(String(L"Broken"))->mColorType, KX::LColorizer::Solid);
    EXPECT_FALSE(factory->FindColorizer(String(L"NoColor")));

    // "Early" names a colorizer defined only later, and has no image.
    EXPECT_FALSE(factory->FindPart(String(L"Early")));
    EXPECT_FALSE(factory->FindPart(String(L"HalfImage")));
    EXPECT_FALSE(factory->FindPart(String(L"NoSize")));
    EXPECT_EQ(factory->GetPartCount(), 2);

    RCPtr<KX::LVisualPartDescriptor> fill = factory->FindPart(String(L"Fill"));
    ASSERT_TRUE(fill);
    EXPECT_EQ(fill->mWidth, 16);
    EXPECT_EQ(fill->mResizeType, KX::LVisualPartDescriptor::ResizeCenter);
    EXPECT_EQ(fill->mColorizer.Get(), factory->FindColorizer(String(L"Red")).Get());
    EXPECT_EQ(fill->mAlphaModifier, 0.5f);
    EXPECT_TRUE(fill->mImage.IsEmpty());
    EXPECT_EQ(fill->mMask.mFile, L"Masks\\Round.PNG"); // the mask keeps its letter case
    EXPECT_EQ(fill->mMask.mX, 2);
    EXPECT_EQ(fill->mMask.mHeight, 8);

    RCPtr<KX::LVisualPartDescriptor> sprite = factory->FindPart(String(L"Sprite"));
    ASSERT_TRUE(sprite);
    EXPECT_EQ(sprite->mImage.mFile, L"sprites.png"); // no prefix without LoadResources
    EXPECT_EQ(sprite->mImage.mX, 20);
    EXPECT_EQ(sprite->mImage.mY, 30);
    EXPECT_EQ(sprite->mImage.mWidth, 10);
    EXPECT_EQ(sprite->mResizeType, KX::LVisualPartDescriptor::ResizeStretch);
    EXPECT_FALSE(sprite->mColorizer);
    EXPECT_EQ(sprite->mAlphaModifier, 1.0f);

    RCPtr<KX::LLookDescriptor> plain = factory->FindLook(String(L"Plain"));
    ASSERT_TRUE(plain);
    ASSERT_TRUE(plain->GetClientPart());
    EXPECT_EQ(plain->GetClientPart()->mPart.Get(), fill.Get()); // the first "Fill" and the first "Plain"
    EXPECT_EQ(plain->GetClientPart()->mGivenEdges, 15);
    EXPECT_EQ(plain->GetClientPart()->mOffsetRight, -3);
    EXPECT_TRUE(plain->HasText());
    EXPECT_EQ(plain->GetTextForegroundPart().Get(), sprite.Get());
    const KX::RectT<float> text = plain->GetTextRect(100, 40);
    EXPECT_EQ(text.x, 4);
    EXPECT_EQ(text.y, 10);
    EXPECT_EQ(text.width, 92);
    EXPECT_EQ(text.height, 28);

    ASSERT_EQ(plain->GetNonClientParts().GetCount(), 2);
    const KX::LDockedPart& first = *plain->GetNonClientParts().GetAt(0);
    EXPECT_EQ(first.mGivenEdges, KX::LDockedPart::EdgeLeft | KX::LDockedPart::EdgeBottom);
    EXPECT_TRUE(first.mHasWidth);
    EXPECT_EQ(first.mWidth, 5);
    EXPECT_FALSE(first.mHasHeight);
    EXPECT_EQ(plain->GetNonClientParts().GetAt(1)->mGivenEdges, KX::LDockedPart::EdgeTop | KX::LDockedPart::EdgeRight);

    RCPtr<KX::LLookDescriptor> noClient = factory->FindLook(String(L"NoClient"));
    ASSERT_TRUE(noClient);
    EXPECT_FALSE(noClient->GetClientPart());
    EXPECT_FALSE(noClient->HasText());
    EXPECT_EQ(noClient->GetTextRect(100, 40).width, 0);

    RCPtr<KX::LLookList> buttons = factory->FindLookList(String(L"Buttons"));
    ASSERT_TRUE(buttons);
    ASSERT_EQ(buttons->GetCount(), 3); // the second "Buttons" is not kept
    EXPECT_EQ(buttons->GetAt(0).Get(), plain.Get());
    EXPECT_FALSE(buttons->GetAt(1));
    EXPECT_EQ(buttons->GetAt(2).Get(), noClient.Get());
}

// A control tree of two skins, with the attributes of its layout records.
const char* const kTreeDocument = R"(<?xml version="1.0" encoding="UTF-8"?>
<Root>
  <Application Name="Varrow">
    <LookLists>
      <LookList Name="PanelLooks" NumLooks="1"/>
    </LookLists>
    <Skins>
      <Skin Name="First" FontName="Tahoma" FontSize="9" FontStyle="1">
        <FontLocale LCID="0x0011"/>
        <FontXLat Name="Tahoma" XLat="Japanese Font"/>
        <FontLocale LCID="0x0009"/>
        <FontXLat Name="Tahoma" XLat="English Font"/>
        <FontXLat Name="Tahoma" XLat="Ignored Font"/>
        <FontXLat Name="Arial" XLat="Arial Narrow"/>
        <SubControl Class="Framework.Panel" Name="mainControl" IsVisible="False" TabStop="3" ClipToParent="true"
                    Z_Order="2" XPositionToControl="Screen" XPositionRel="0.5" XPositionAbs="10"
                    YPositionToControl="Active Window" XSizeToControl="Parent" XSizeAbs="0x20"
                    YSizeAbs="30.9" TextOverflowXType="wrap" TextOverflowYType="Expand" TextDecoration="Underline"
                    FontName="Arial" FontSize="12" FontSizeIsRelative="True">
          <Skin Name="mainSkin" LookList="PanelLooks">
            <SubControl Class="Framework.Label" Name="late" LayoutOrder="0x10" IsVisible="False" TabStop="-1"
                        XPositionToControl="early" XPlacementAnchor="1" XIsDocked="True"
                        XSizeToControl="Self" YSizeToControl="early" XMaxSizeToControl="Children"
                        XMaxSizeRel="1" XMaxSizeAbs="4" YMinSizeToControl="Self" YMinSizeAbs="7"
                        FontSizeIsRelative="True">
              <Skin Name="lateSkin" LookList="Undefined"/>
            </SubControl>
            <SubControl Class="Framework.Label" Name="early" LayoutOrder="12.7">
              <Skin Name="earlySkin"/>
              <CreateParamList>
                <CreateParam ID="INITIAL_VALUE">first
second &amp; third&#x21;</CreateParam>
                <CreateParam>no id</CreateParam>
                <CreateParam ID="NOT_FOCUSABLE">True</CreateParam>
              </CreateParamList>
            </SubControl>
            <SubControl Class="Framework.Label" Name="middle" LayoutOrder="12">
              <Skin Name="middleSkin"/>
            </SubControl>
          </Skin>
        </SubControl>
        <SubControl Class="Framework.ToolTip" Name="toolTip">
          <Skin Name="tipSkin"/>
        </SubControl>
        <SubControl Class="Framework.Panel" Name="toolTip">
          <Skin Name="secondTipSkin"/>
        </SubControl>
      </Skin>
      <Skin Name="Second">
        <SubControl Class="Framework.Panel" Name="mainControl">
          <Skin Name="secondMain"/>
        </SubControl>
      </Skin>
    </Skins>
  </Application>
</Root>
)";

class SkinTreeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KX::KXRESULT result = E_FAIL;
        factory = FactoryWithSkin(kTreeDocument, &result);
        ASSERT_EQ(result, S_OK);
        ASSERT_EQ(factory->GetSkinCount(), 2);
        main = factory->FindControlDescriptor(String(L"mainControl"));
        ASSERT_TRUE(main);
    }

    RCPtr<KX::LControlFactory> factory;
    RCPtr<LControlDescriptor> main;
};

TEST_F(SkinTreeTest, TopLevelDescriptionsAndTheirSkins)
{
    const RCPtr<LControlDescriptor>& first = factory->GetSkins().GetAt(0);
    EXPECT_EQ(first->GetClassName(), L"Application");
    EXPECT_EQ(first->GetName(), L"Varrow");
    EXPECT_EQ(first->GetParent(), nullptr);
    EXPECT_EQ(first->GetSkinDescriptor()->mName, L"First");
    // The English translation of the skin font, the first pair for a name.
    EXPECT_EQ(first->GetSkinDescriptor()->mFontFamily, L"English Font");
    EXPECT_EQ(first->GetSkinDescriptor()->mFontStyle, 1);
    EXPECT_EQ(factory->GetSkins().GetAt(1)->GetSkinDescriptor()->mName, L"Second");

    EXPECT_EQ(main->GetParent(), first.Get());
    EXPECT_EQ(main->GetSkinDescriptor()->mName, L"mainSkin");
    EXPECT_EQ(main->GetSkinDescriptor()->mLookList.Get(), factory->FindLookList(String(L"PanelLooks")).Get());
    EXPECT_EQ(main->GetSkinDescriptor()->mFontFamily, L"Arial Narrow"); // translated through the recorded pair
    EXPECT_EQ(main->GetSkinDescriptor()->mFontSize, 12.0f);
    EXPECT_TRUE(main->GetSkinDescriptor()->mFontSizeIsRelative);
}

TEST_F(SkinTreeTest, LayoutAttributes)
{
    const LLayoutDescriptor& layout = *main->GetLayoutDescriptor();
    EXPECT_TRUE(layout.mIsVisible); // ignored directly under a top-level skin
    EXPECT_EQ(layout.mTabStop, 0);
    EXPECT_FALSE(layout.mClipToParent); // only "True" is true
    EXPECT_EQ(layout.mZOrder, 2);
    EXPECT_EQ(layout.mXPosition.mKind, LLayoutDescriptor::PositionParent);
    EXPECT_EQ(layout.mXPosition.mRel, 0.5f);
    EXPECT_EQ(layout.mXPosition.mAbs, 10.0);
    EXPECT_EQ(layout.mYPosition.mKind, LLayoutDescriptor::PositionClient);
    EXPECT_EQ(layout.mXSize.mKind, LLayoutDescriptor::SizeParent);
    EXPECT_EQ(layout.mXSize.mAbs, 0.0); // an integer attribute: "0x20" reads as 0
    EXPECT_EQ(layout.mYSize.mAbs, 30.0);
    EXPECT_EQ(layout.mTextOverflowXType, LLayoutDescriptor::OverflowXClip);
    EXPECT_EQ(layout.mTextOverflowYType, LLayoutDescriptor::OverflowYExpand);
    EXPECT_EQ(layout.mTextDecoration, L"Underline");

    RCPtr<LControlDescriptor> late = main->FindChild(String(L"late"));
    ASSERT_TRUE(late);
    const LLayoutDescriptor& lateLayout = *late->GetLayoutDescriptor();
    EXPECT_FALSE(lateLayout.mIsVisible); // one level deeper it counts
    EXPECT_EQ(lateLayout.mTabStop, -1);
    EXPECT_EQ(lateLayout.mLayoutOrder, 16);
    EXPECT_EQ(lateLayout.mXPosition.mKind, LLayoutDescriptor::PositionControl);
    EXPECT_EQ(lateLayout.mXPosition.mControlName, L"early");
    EXPECT_EQ(lateLayout.mXPosition.mAnchor, 1.0f);
    EXPECT_TRUE(lateLayout.mXIsDocked);
    EXPECT_EQ(lateLayout.mYSize.mKind, LLayoutDescriptor::SizeControl);
    EXPECT_EQ(lateLayout.mYSize.mAbs, 40.0);
    EXPECT_TRUE(lateLayout.mXMaximum.mIsControl);
    EXPECT_EQ(lateLayout.mXMaximum.mControlName, L"Children");
    EXPECT_EQ(lateLayout.mXMaximum.mAbs, 4.0);
    EXPECT_FALSE(lateLayout.mYMinimum.mIsControl);
    EXPECT_EQ(lateLayout.mYMinimum.mAbs, 7.0);
    EXPECT_FALSE(late->GetSkinDescriptor()->mLookList);
    EXPECT_FALSE(late->GetSkinDescriptor()->mFontSizeIsRelative); // no FontSize
}

TEST_F(SkinTreeTest, ChildrenSortedByLayoutOrderAndCreateParametersJoined)
{
    const auto& children = main->GetChildren();
    ASSERT_EQ(children.GetCount(), 3);
    EXPECT_EQ(children.GetAt(0)->GetName(), L"early"); // 12.7 reads as 12, before "middle" as in the document
    EXPECT_EQ(children.GetAt(1)->GetName(), L"middle");
    EXPECT_EQ(children.GetAt(2)->GetName(), L"late");
    EXPECT_EQ(children.GetAt(0)->GetParent(), main.Get());

    const KX::ConstRCPtr<KX::LStringTable>& params = children.GetAt(0)->GetCreateParams();
    ASSERT_TRUE(params);
    EXPECT_EQ(params->GetCount(), 2);
    String value;
    EXPECT_TRUE(params->GetString(L"INITIAL_VALUE", value));
    EXPECT_EQ(value, L"first\nsecond & third!");
    EXPECT_TRUE(params->GetString(L"NOT_FOCUSABLE", value));
    EXPECT_EQ(value, L"True");
    EXPECT_FALSE(children.GetAt(1)->GetCreateParams());
}

TEST_F(SkinTreeTest, FindControlDescriptorSearchesTheCurrentSkinFromTheLast)
{
    EXPECT_EQ(factory->FindControlDescriptor(String(L"toolTip"))->GetClassName(), L"Framework.Panel");
    EXPECT_FALSE(factory->FindControlDescriptor(String(L"late"))); // deeper names are not found
    EXPECT_FALSE(factory->FindControlDescriptor(String(L"MainControl")));

    factory->SetCurrentSkinIndex(1);
    EXPECT_EQ(factory->FindControlDescriptor(String(L"mainControl"))->GetSkinDescriptor()->mName, L"secondMain");
    EXPECT_FALSE(factory->FindControlDescriptor(String(L"toolTip")));
    factory->SetCurrentSkinIndex(5);
    EXPECT_FALSE(factory->FindControlDescriptor(String(L"mainControl")));
}

TEST_F(SkinTreeTest, CloneSharesEverythingButNameAndLayout)
{
    RCPtr<LControlDescriptor> clone;
    RCPtr<LLayoutDescriptor> layout = LLayoutDescriptor::Create();
    ASSERT_EQ(factory->CloneDescriptor(clone, main, layout, String(L"item3")), S_OK);
    EXPECT_EQ(clone->GetName(), L"item3");
    EXPECT_EQ(clone->GetClassName(), main->GetClassName());
    EXPECT_EQ(clone->GetParent(), main->GetParent());
    EXPECT_EQ(clone->GetLayoutDescriptor().Get(), layout.Get());
    EXPECT_EQ(clone->GetSkinDescriptor().Get(), main->GetSkinDescriptor().Get());
    ASSERT_EQ(clone->GetChildren().GetCount(), 3);
    EXPECT_EQ(clone->GetChildren().GetAt(0).Get(), main->GetChildren().GetAt(0).Get());
    EXPECT_EQ(main->GetParent()->GetChildren().GetCount(), 3); // the clone is attached nowhere
    EXPECT_EQ(main->Clone(String())->GetName(), L"mainControl");
}

TEST_F(SkinTreeTest, LoadingTheSameDocumentAgainAppendsSkinsOnly)
{
    const int32_t parts = factory->GetLookListCount();
    ASSERT_EQ(factory->ParseXml(kTreeDocument, 0), S_OK); // 0: a NUL-terminated text
    EXPECT_EQ(factory->GetSkinCount(), 4);
    EXPECT_EQ(factory->GetLookListCount(), parts);
}

TEST(SkinFont, WrittenOnlyWhereTheSkinSetsIt)
{
    RCPtr<KX::LControlFactory> factory = FactoryWithSkin(
        "<R><Skins><Skin Name=\"A\"/><Skin Name=\"B\" FontStyle=\"0\"/></Skins></R>");
    String name(L"Default");
    float size = 8.0f;
    int32_t style = 5;
    EXPECT_EQ(factory->GetSkinFont(name, size, style), S_FALSE);
    EXPECT_EQ(name, L"Default");
    EXPECT_EQ(size, 8.0f);
    EXPECT_EQ(style, 5);

    factory->SetCurrentSkinIndex(1);
    EXPECT_EQ(factory->GetSkinFont(name, size, style), S_OK);
    EXPECT_EQ(style, 0);
    EXPECT_EQ(name, L"Default");
    EXPECT_EQ(size, 8.0f);

    RCPtr<KX::LControlFactory> sized = FactoryWithSkin(
        "<R><Skins><Skin Name=\"A\" FontName=\"Verdana\" FontSize=\"0.5\"/></Skins></R>");
    EXPECT_EQ(sized->GetSkinFont(name, size, style), S_OK);
    EXPECT_EQ(name, L"Verdana");
    EXPECT_EQ(size, 8.0f); // below 1: not used
}

TEST(SkinDocument, TheRootIsSkippedWhateverItsName)
{
    RCPtr<KX::LControlFactory> factory = FactoryWithSkin(
        "<Application Name=\"Root\"><Application Name=\"Inner\"/></Application>");
    EXPECT_EQ(factory->GetApplicationName(), L"Inner");
    factory = FactoryWithSkin("<Application Name=\"Root\"><Skins/></Application>");
    EXPECT_EQ(factory->GetApplicationName(), L"Varrow");
    factory = FactoryWithSkin("<R><Application/></R>");
    EXPECT_EQ(factory->GetApplicationName(), L"");
}

TEST(SkinDocument, SubControlWithoutClassOrNameStopsTheDocument)
{
    for (const char* element : {"<SubControl Name=\"noClass\"/>", "<SubControl Class=\"Framework.Panel\"/>"}) {
        const std::string document = std::string("<R><Parts>"
                                                 "<Part Name=\"Before\" Width=\"1\" Height=\"1\" ResizeType=\"Tile\" ImageFile=\"a.png\" ImageLocX=\"0\" ImageLocY=\"0\"/>"
                                                 "</Parts><Skins><Skin Name=\"S\">"
                                                 "<SubControl Class=\"Framework.Panel\" Name=\"kept\"><Skin Name=\"k\"/></SubControl>\n") +
                                     element +
                                     "<SubControl Class=\"Framework.Panel\" Name=\"after\"/>"
                                     "</Skin></Skins>"
                                     "<Parts><Part Name=\"After\" Width=\"1\" Height=\"1\" ResizeType=\"Tile\" ImageFile=\"a.png\" ImageLocX=\"0\" ImageLocY=\"0\"/></Parts>"
                                     "</R>";
        KX::KXRESULT result = S_OK;
        RCPtr<KX::LControlFactory> factory = FactoryWithSkin(document, &result);
        EXPECT_EQ(result, E_FAIL);
        EXPECT_EQ(factory->GetLastErrorText(),
                  L"Runtime Error : Bad Subcontrol Element : KX::LControlFactory::XMLStartElement : "
                  L"ControlBase\\ControlFactory : Line 1089");
        EXPECT_EQ(factory->GetLastErrorLine(), 2);
        // What came before stays; nothing after the broken element is read.
        EXPECT_TRUE(factory->FindPart(String(L"Before")));
        EXPECT_FALSE(factory->FindPart(String(L"After")));
        EXPECT_TRUE(factory->FindControlDescriptor(String(L"kept")));
        EXPECT_FALSE(factory->FindControlDescriptor(String(L"after")));
    }
}

TEST(SkinDocument, MalformedDocumentLeavesTheMapsAndRecordsTheParserError)
{
    RCPtr<KX::LControlFactory> factory = FactoryWithSkin(kRecordDocument);
    const int32_t colorizers = factory->GetColorizerCount();
    const int32_t parts = factory->GetPartCount();
    const int32_t looks = factory->GetLookCount();
    const int32_t lists = factory->GetLookListCount();

    const char* const notXml = "this is not\nXML at all";
    EXPECT_EQ(factory->ParseXml(notXml, 0), E_FAIL);
    EXPECT_EQ(factory->GetLastErrorText(), L"syntax error");
    EXPECT_EQ(factory->GetLastErrorLine(), 1);

    const char* const unclosed = "<R>\n<Colorizers>\n<Colorizer Name=\"New\" ColorType=\"SolidFill\" Color=\"0x80\">\n</R>";
    EXPECT_EQ(factory->ParseXml(unclosed, 0), E_FAIL);
    EXPECT_EQ(factory->GetLastErrorText(), L"mismatched tag");
    EXPECT_EQ(factory->GetLastErrorLine(), 4);
    EXPECT_TRUE(factory->FindColorizer(String(L"New"))); // read before the error: stays

    EXPECT_EQ(factory->GetColorizerCount(), colorizers + 1);
    EXPECT_EQ(factory->GetPartCount(), parts);
    EXPECT_EQ(factory->GetLookCount(), looks);
    EXPECT_EQ(factory->GetLookListCount(), lists);
    EXPECT_EQ(factory->GetSkinCount(), 0);
}

TEST(SkinDocument, TheParserReadsExactlyTheGivenBytes)
{
    // The buffer holds two documents; only the first one's bytes are given.
    const std::string first = "<R><Colorizers><Colorizer Name=\"A\" ColorType=\"SolidFill\" Color=\"0x80\"/></Colorizers></R>";
    const std::string both = first + "<Broken";
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(String(L"Varrow"));
    EXPECT_EQ(factory->ParseXml(both.data(), static_cast<int32_t>(first.size())), S_OK);
    EXPECT_TRUE(factory->FindColorizer(String(L"A")));
    EXPECT_EQ(factory->ParseXml(nullptr, 4), E_INVALIDARG);
    EXPECT_EQ(factory->ParseXml(first.data(), -1), E_INVALIDARG);
}

} // namespace
