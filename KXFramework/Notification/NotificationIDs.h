// The texts of the notification identifiers that the program raises and
// handles. Senders and listeners meet only through these exact texts, so each
// constant is spelled as its text, "NID_VISIBLITY_CONDITION_CHANGE" included.
// A constant is text, not yet an identifier: the notification functions intern
// what they are given, and a caller that compares identifiers itself interns
// first (KX::InternNotificationID).
#pragma once

namespace KX {

inline constexpr const wchar_t* NID_APP_EXIT_REQ = L"NID_APP_EXIT_REQ";
inline constexpr const wchar_t* NID_BUTTON_AUTOREPEAT = L"NID_BUTTON_AUTOREPEAT";
inline constexpr const wchar_t* NID_CAPTURE_CONDITION_CHANGE = L"NID_CAPTURE_CONDITION_CHANGE";
inline constexpr const wchar_t* NID_CLIENT_EXTENT_CHANGE = L"NID_CLIENT_EXTENT_CHANGE";
inline constexpr const wchar_t* NID_CLIPLIGHT_UNLATCHED = L"NID_CLIPLIGHT_UNLATCHED";
inline constexpr const wchar_t* NID_CONDITION_CHANGE = L"NID_CONDITION_CHANGE";
inline constexpr const wchar_t* NID_CONTAINS_FOCUS_CONDITION_CHANGE = L"NID_CONTAINS_FOCUS_CONDITION_CHANGE";
inline constexpr const wchar_t* NID_DEVICE_STATE_CHANGE = L"NID_DEVICE_STATE_CHANGE";
inline constexpr const wchar_t* NID_DIALOG_CLOSED = L"NID_DIALOG_CLOSED";
inline constexpr const wchar_t* NID_DIALOG_CLOSING = L"NID_DIALOG_CLOSING";
inline constexpr const wchar_t* NID_DROPDOWN_OPENING = L"NID_DROPDOWN_OPENING";
inline constexpr const wchar_t* NID_EDIT_COPY_REQ = L"NID_EDIT_COPY_REQ";
inline constexpr const wchar_t* NID_EDIT_CUT_REQ = L"NID_EDIT_CUT_REQ";
inline constexpr const wchar_t* NID_EDIT_DELETE_REQ = L"NID_EDIT_DELETE_REQ";
inline constexpr const wchar_t* NID_EDIT_PASTE_REQ = L"NID_EDIT_PASTE_REQ";
inline constexpr const wchar_t* NID_ENABLED_CONDITION_CHANGE = L"NID_ENABLED_CONDITION_CHANGE";
inline constexpr const wchar_t* NID_FIRMWARE_FILE_STATE_CHANGE = L"NID_FIRMWARE_FILE_STATE_CHANGE";
inline constexpr const wchar_t* NID_FIRMWARE_UPDATE_COMPLETED = L"NID_FIRMWARE_UPDATE_COMPLETED";
inline constexpr const wchar_t* NID_FIRMWARE_UPDATE_PROGRESS = L"NID_FIRMWARE_UPDATE_PROGRESS";
inline constexpr const wchar_t* NID_FOUND_DEVICE_LIST_CHANGE = L"NID_FOUND_DEVICE_LIST_CHANGE";
inline constexpr const wchar_t* NID_HAS_FOCUS_CONDITION_CHANGE = L"NID_HAS_FOCUS_CONDITION_CHANGE";
inline constexpr const wchar_t* NID_HOVER_CONDITION_CHANGE = L"NID_HOVER_CONDITION_CHANGE";
inline constexpr const wchar_t* NID_IDLE = L"NID_IDLE";
inline constexpr const wchar_t* NID_ITEM_ACTIVATED = L"NID_ITEM_ACTIVATED";
inline constexpr const wchar_t* NID_ITEM_CHECKBOX_CLICKED = L"NID_ITEM_CHECKBOX_CLICKED";
inline constexpr const wchar_t* NID_ITEM_CHECK_CHANGE = L"NID_ITEM_CHECK_CHANGE";
inline constexpr const wchar_t* NID_ITEM_DOUBLE_CLICKED = L"NID_ITEM_DOUBLE_CLICKED";
inline constexpr const wchar_t* NID_ITEM_HOVER_CONDITION_CHANGE = L"NID_ITEM_HOVER_CONDITION_CHANGE";
inline constexpr const wchar_t* NID_ITEM_LEFT_DRAG_CONDITION_CHANGE = L"NID_ITEM_LEFT_DRAG_CONDITION_CHANGE";
inline constexpr const wchar_t* NID_ITEM_RIGHT_CLICK = L"NID_ITEM_RIGHT_CLICK";
inline constexpr const wchar_t* NID_LEFT_CLICK = L"NID_LEFT_CLICK";
inline constexpr const wchar_t* NID_LEFT_DRAG_CONDITION_CHANGE = L"NID_LEFT_DRAG_CONDITION_CHANGE";
inline constexpr const wchar_t* NID_MENU_FILE_EXIT_REQ = L"NID_MENU_FILE_EXIT_REQ";
inline constexpr const wchar_t* NID_MENU_FILE_SELECT = L"NID_MENU_FILE_SELECT";
inline constexpr const wchar_t* NID_MENU_OPTIONS_ALLOW_DOWNGRADE = L"NID_MENU_OPTIONS_ALLOW_DOWNGRADE";
inline constexpr const wchar_t* NID_MIDDLE_CLICK = L"NID_MIDDLE_CLICK";
inline constexpr const wchar_t* NID_MIDDLE_DRAG_CONDITION_CHANGE = L"NID_MIDDLE_DRAG_CONDITION_CHANGE";
inline constexpr const wchar_t* NID_MIDI_DATA_CAPTURED = L"NID_MIDI_DATA_CAPTURED";
inline constexpr const wchar_t* NID_MOUSE_DOWN = L"NID_MOUSE_DOWN";
inline constexpr const wchar_t* NID_MOUSE_MOVE = L"NID_MOUSE_MOVE";
inline constexpr const wchar_t* NID_MOUSE_UP = L"NID_MOUSE_UP";
inline constexpr const wchar_t* NID_RIGHT_CLICK = L"NID_RIGHT_CLICK";
inline constexpr const wchar_t* NID_RIGHT_DRAG_CONDITION_CHANGE = L"NID_RIGHT_DRAG_CONDITION_CHANGE";
inline constexpr const wchar_t* NID_SCROLL_OFFSET_CHANGE = L"NID_SCROLL_OFFSET_CHANGE";
inline constexpr const wchar_t* NID_SELECTION_CHANGE = L"NID_SELECTION_CHANGE";
inline constexpr const wchar_t* NID_SET_STATUS_TEXT = L"NID_SET_STATUS_TEXT";
inline constexpr const wchar_t* NID_SIBLING_KEY = L"NID_SIBLING_KEY";
inline constexpr const wchar_t* NID_SIMULATE_CLICK = L"NID_SIMULATE_CLICK";
inline constexpr const wchar_t* NID_TAB_SELECTED = L"NID_TAB_SELECTED";
inline constexpr const wchar_t* NID_TEXTBOX_TEXT_CHANGE = L"NID_TEXTBOX_TEXT_CHANGE";
inline constexpr const wchar_t* NID_TEXTBOX_VALIDATED = L"NID_TEXTBOX_VALIDATED";
inline constexpr const wchar_t* NID_TEXTBOX_VALIDATING = L"NID_TEXTBOX_VALIDATING";
inline constexpr const wchar_t* NID_VALUE_CHANGE = L"NID_VALUE_CHANGE";
inline constexpr const wchar_t* NID_VALUE_CHANGE_CAPTURE = L"NID_VALUE_CHANGE_CAPTURE";
inline constexpr const wchar_t* NID_VALUE_CHANGE_KEY_DOWN = L"NID_VALUE_CHANGE_KEY_DOWN";
inline constexpr const wchar_t* NID_VALUE_CHANGE_KEY_UP = L"NID_VALUE_CHANGE_KEY_UP";
inline constexpr const wchar_t* NID_VISIBLITY_CONDITION_CHANGE = L"NID_VISIBLITY_CONDITION_CHANGE";

// Every text above, in the order listed, for code that walks them all.
inline constexpr const wchar_t* kNotificationIDTexts[] = {
    NID_APP_EXIT_REQ,
    NID_BUTTON_AUTOREPEAT,
    NID_CAPTURE_CONDITION_CHANGE,
    NID_CLIENT_EXTENT_CHANGE,
    NID_CLIPLIGHT_UNLATCHED,
    NID_CONDITION_CHANGE,
    NID_CONTAINS_FOCUS_CONDITION_CHANGE,
    NID_DEVICE_STATE_CHANGE,
    NID_DIALOG_CLOSED,
    NID_DIALOG_CLOSING,
    NID_DROPDOWN_OPENING,
    NID_EDIT_COPY_REQ,
    NID_EDIT_CUT_REQ,
    NID_EDIT_DELETE_REQ,
    NID_EDIT_PASTE_REQ,
    NID_ENABLED_CONDITION_CHANGE,
    NID_FIRMWARE_FILE_STATE_CHANGE,
    NID_FIRMWARE_UPDATE_COMPLETED,
    NID_FIRMWARE_UPDATE_PROGRESS,
    NID_FOUND_DEVICE_LIST_CHANGE,
    NID_HAS_FOCUS_CONDITION_CHANGE,
    NID_HOVER_CONDITION_CHANGE,
    NID_IDLE,
    NID_ITEM_ACTIVATED,
    NID_ITEM_CHECKBOX_CLICKED,
    NID_ITEM_CHECK_CHANGE,
    NID_ITEM_DOUBLE_CLICKED,
    NID_ITEM_HOVER_CONDITION_CHANGE,
    NID_ITEM_LEFT_DRAG_CONDITION_CHANGE,
    NID_ITEM_RIGHT_CLICK,
    NID_LEFT_CLICK,
    NID_LEFT_DRAG_CONDITION_CHANGE,
    NID_MENU_FILE_EXIT_REQ,
    NID_MENU_FILE_SELECT,
    NID_MENU_OPTIONS_ALLOW_DOWNGRADE,
    NID_MIDDLE_CLICK,
    NID_MIDDLE_DRAG_CONDITION_CHANGE,
    NID_MIDI_DATA_CAPTURED,
    NID_MOUSE_DOWN,
    NID_MOUSE_MOVE,
    NID_MOUSE_UP,
    NID_RIGHT_CLICK,
    NID_RIGHT_DRAG_CONDITION_CHANGE,
    NID_SCROLL_OFFSET_CHANGE,
    NID_SELECTION_CHANGE,
    NID_SET_STATUS_TEXT,
    NID_SIBLING_KEY,
    NID_SIMULATE_CLICK,
    NID_TAB_SELECTED,
    NID_TEXTBOX_TEXT_CHANGE,
    NID_TEXTBOX_VALIDATED,
    NID_TEXTBOX_VALIDATING,
    NID_VALUE_CHANGE,
    NID_VALUE_CHANGE_CAPTURE,
    NID_VALUE_CHANGE_KEY_DOWN,
    NID_VALUE_CHANGE_KEY_UP,
    NID_VISIBLITY_CONDITION_CHANGE,
};

} // namespace KX
