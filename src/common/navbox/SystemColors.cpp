// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/navbox/SystemColors.h"

#include "common/core/Colors.h"

namespace SystemColors {

std::optional<PaletteColor> paletteColor(std::uint32_t code)
{
    if (!isSystemColor(code))
        return std::nullopt;
    using P = QPalette;
    // Indexed by the low byte of the code.
    static const PaletteColor table[] = {
        {P::Active, P::Mid},               // scroll bar
        {P::Active, P::Dark},              // desktop
        {P::Active, P::Highlight},         // active title bar
        {P::Inactive, P::Mid},             // inactive title bar
        {P::Active, P::Window},            // menu bar
        {P::Active, P::Base},              // window background
        {P::Active, P::Shadow},            // window frame
        {P::Active, P::WindowText},        // menu text
        {P::Active, P::Text},              // window text
        {P::Active, P::HighlightedText},   // title bar text
        {P::Active, P::Window},            // active border
        {P::Inactive, P::Window},          // inactive border
        {P::Active, P::Dark},              // application workspace
        {P::Active, P::Highlight},         // highlight
        {P::Active, P::HighlightedText},   // highlighted text
        {P::Active, P::Button},            // button face
        {P::Active, P::Dark},              // button shadow
        {P::Disabled, P::Text},            // grey text
        {P::Active, P::ButtonText},        // button text
        {P::Inactive, P::HighlightedText}, // inactive title bar text
        {P::Active, P::Light},             // button highlight
        {P::Active, P::Shadow},            // 3D dark shadow
        {P::Active, P::Midlight},          // 3D light
        {P::Active, P::ToolTipText},       // tooltip text
        {P::Active, P::ToolTipBase},       // tooltip background
    };
    const std::uint32_t index = code & 0x7FFFFFFFu;
    if (index >= sizeof(table) / sizeof(table[0]))
        return std::nullopt;
    return table[index];
}

QColor resolve(std::uint32_t code, const QPalette& palette)
{
    if (!isSystemColor(code))
        return bgrColor(code);
    const auto color = paletteColor(code);
    return color ? palette.color(color->group, color->role) : QColor();
}

} // namespace SystemColors
