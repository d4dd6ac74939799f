// The combo slider: the value it shares with the slider in its drop-down
// panel, where that panel opens, and its looks.
#include "Controls/ComboSlider.h"

#include "Controls/MenuPlacement.h"
#include "Controls/Panel.h"
#include "Notification/NotificationIDs.h"
#include "ObjectBase/Exception.h"

namespace KX {

namespace {

const wchar_t* const kDropDownPanelName = L"dropDownPanel";
const wchar_t* const kSliderName = L"slider";

} // namespace

LComboSlider::LComboSlider(const RCPtr<LControl>& parent, const String& name) : LDropDownControl(parent, name) {}

LComboSlider::~LComboSlider()
{
    mComboSliderHandler = nullptr;
}

// ---- Creation ----

KXRESULT LComboSlider::Initialize()
{
    if (LDropDownControl::Initialize() < 0)
        return E_FAIL;
    mDropDownPanel = RCPtr<LPanel>::DynamicCast(FindChild(String(kDropDownPanelName)));
    if (!mDropDownPanel)
        return S_OK;
    mDropDownPanel->SetVisible(false);
    mComboSliderHandler = new ComboSliderHandler(this);
    const RCPtr<LControl> slider = GetSlider();
    if (!slider)
        return S_OK;
    KX_THROW_IF_FAILED(mComboSliderHandler->AddHandler(&LComboSlider::OnSliderValueChange,
                                                       RCPtr<LNotificationDistributor>(slider.Get()),
                                                       NID_VALUE_CHANGE),
                       "KX::LComboSlider::Initialize", "Controls\\ComboSlider", __LINE__);
    // An initial value from the field's description arrived before the panel
    // was known: the slider takes it now, so that both start equal. The
    // field is not created yet, so the slider's change does not come back.
    if (slider->GetNormalizedValue() != GetNormalizedValue())
        slider->SetNormalizedValue(GetNormalizedValue());
    return S_OK;
}

RCPtr<LControl> LComboSlider::GetSlider() const
{
    return mDropDownPanel ? mDropDownPanel->FindChild(String(kSliderName)) : RCPtr<LControl>();
}

// ---- The shared value ----

double LComboSlider::SetNormalizedValue(double value)
{
    const RCPtr<LControl> self(this);
    if (const RCPtr<LControl> slider = GetSlider())
        slider->SetNormalizedValue(value);
    return LControl::SetNormalizedValue(value);
}

void LComboSlider::OnValueChange()
{
    const RCPtr<LControl> self(this);
    // The slider's change comes back through OnSliderValueChange with the
    // value the field has already: equal values do not notify, so the
    // exchange ends there.
    if (const RCPtr<LControl> slider = GetSlider())
        slider->SetNormalizedValue(GetNormalizedValue());
    SetText(String::CreateFormatted(L"%0.0f", NormalizedToValue(GetNormalizedValue())));
}

KXRESULT LComboSlider::OnSliderValueChange(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    const RCPtr<LControl> self(this);
    if (const RCPtr<LControl> slider = GetSlider())
        LControl::SetNormalizedValue(slider->GetNormalizedValue());
    return S_FALSE;
}

// ---- The drop-down panel ----

bool LComboSlider::IsDropDownShown()
{
    if (!mDropDownPanel)
        return false;
    const RectT<double>& rect = mDropDownPanel->GetRect();
    return mDropDownPanel->GetLayout().mIsVisible && rect.width > 0.0 && rect.height > 0.0;
}

double LComboSlider::SkinPanelX() const
{
    // The description's value, not the panel's current one: a panel moved
    // left to fit a narrow window goes back to its place in a wider one.
    if (mDescriptor) {
        if (const RCPtr<LControlDescriptor> panel = mDescriptor->FindChild(String(kDropDownPanelName))) {
            if (const ConstRCPtr<LLayoutDescriptor>& layout = panel->GetLayoutDescriptor())
                return layout->mXPosition.mAbs;
        }
    }
    return mDropDownPanel->GetLayout().mXPosition.mAbs;
}

double LComboSlider::FitPanelX()
{
    const RCPtr<LControl> self(this);
    const RCPtr<LControl> root = GetRootControl();
    PointT<double> point(SkinPanelX(), 0.0);
    // Into the top control's coordinates, kept inside it, and back into the
    // field's, where the panel's position is measured.
    OffsetToControl(root, point);
    point.x = MenuPlacement::FitTitlePopupX(point.x, mDropDownPanel->GetRect().width, root->GetRect().width);
    root->OffsetToControl(self, point);
    return point.x;
}

KXRESULT LComboSlider::ShowDropDown(bool show)
{
    if (!mDropDownPanel)
        return E_FAIL;
    const RCPtr<LControl> self(this);
    const RCPtr<LPanel> panel = mDropDownPanel;
    if (show) {
        LLayoutDescriptor::PositionSpec position;
        LLayoutDescriptor::SizeSpec size;
        bool docked = false;
        panel->GetLayout().GetAxisSpec(0, position, docked, size);
        const double x = FitPanelX();
        if (x != position.mAbs) {
            position.mAbs = x;
            panel->SetPlacement(0, position, docked, size);
        }
    }
    panel->SetVisible(show);
    // The look follows the panel at once, also when the panel is opened or
    // closed by code, which changes none of the field's conditions.
    SelectLook(FieldStateLook(), true);
    return S_OK;
}

// ---- Looks ----

void LComboSlider::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    const RCPtr<LControl> self(this);
    LDropDownControl::OnConditionsChanged(param);
    SelectLook(FieldStateLook(), true);
}

// ---- Notifications ----

KXRESULT LComboSlider::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                           const RCPtr<LNotification>& notification)
{
    if (mCreated && mComboSliderHandler && mComboSliderHandler->Binds(sender, notification)) {
        const RCPtr<ComboSliderHandler> handler = mComboSliderHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LDropDownControl::ReceiveNotification(sender, notification);
}

KXRESULT LComboSlider::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                              const wchar_t* identifier)
{
    if (mComboSliderHandler)
        mComboSliderHandler->RemoveHandler(sender, identifier);
    return LDropDownControl::UnregisterNotification(sender, identifier);
}

} // namespace KX
