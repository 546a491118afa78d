// Dialog templates: every dialog's controls with their ids, kinds, texts and geometry in
// dialog units, as plain data. The dialog framework (dialog/dialog.h) builds windows from them.
#pragma once

#include <cstdint>
#include <span>

namespace res {

inline constexpr int kStatic = -1;  // a control no handler refers to (labels)

enum class ControlKind {
    Label,
    Edit,
    PushButton,
    DefPushButton,
    CheckBox,          // automatic check box
    PushLikeCheckBox,  // automatic check box drawn as a push button
    ListView,          // report mode
    DatePicker,
    OwnerDrawButton,
    ComboBox,  // drop-down list
    GroupBox,
};

// Style bits; each applies to the kinds named.
enum Style : uint32_t {
    kNone = 0,
    kReadOnly = 1u << 0,       // Edit
    kPassword = 1u << 1,       // Edit
    kAutoHScroll = 1u << 2,    // Edit
    kMultiline = 1u << 3,      // Edit
    kSingleSel = 1u << 4,      // ListView
    kShowSelAlways = 1u << 5,  // ListView
    kSortAscending = 1u << 6,  // ListView
    kLongDate = 1u << 7,       // DatePicker
    kRightAlign = 1u << 8,     // DatePicker: drop-down aligned right
    kVScroll = 1u << 9,        // Edit, ComboBox
    kDisabled = 1u << 10,      // any
    kWantReturn = 1u << 11,    // Edit (multiline)
    kTimeFormat = 1u << 12,    // DatePicker showing a time
    kHidden = 1u << 13,        // any: not shown
};

// Dialog style bits.
enum DialogStyle : uint32_t {
    kDlgNone = 0,
    kMinimizeBox = 1u << 0,
    kMaximizeBox = 1u << 1,
    kSizingBorder = 1u << 2,
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;  // UTF-8
    int x, y, w, h;    // dialog units
    uint32_t style = kNone;
    // What a screen reader says for a control whose text does not say it ("+", "-", a drawing).
    const char* accessibleName = nullptr;  // UTF-8
};

struct DialogTemplate {
    int id;
    const char* caption;  // UTF-8
    const char* fontFamily;
    int fontPointSize;
    int width, height;  // dialog units, client area
    uint32_t style;
    std::span<const ControlTemplate> controls;
};

}  // namespace res
