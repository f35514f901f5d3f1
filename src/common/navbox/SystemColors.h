// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>
#include <optional>

// Colour values as the game tools' world stores them: either a plain colour
// 0x00BBGGRR or a system colour code 0x800000nn, which names a colour of the
// desktop's scheme (nn = 5 for window backgrounds, 8 for window text, ...).
// System colours map onto the matching roles of a QPalette.
namespace SystemColors {

constexpr std::uint32_t ScrollBar = 0x80000000;
constexpr std::uint32_t Desktop = 0x80000001;
constexpr std::uint32_t ActiveTitleBar = 0x80000002;
constexpr std::uint32_t InactiveTitleBar = 0x80000003;
constexpr std::uint32_t MenuBar = 0x80000004;
constexpr std::uint32_t WindowBackground = 0x80000005;
constexpr std::uint32_t WindowFrame = 0x80000006;
constexpr std::uint32_t MenuText = 0x80000007;
constexpr std::uint32_t WindowText = 0x80000008;
constexpr std::uint32_t TitleBarText = 0x80000009;
constexpr std::uint32_t ActiveBorder = 0x8000000A;
constexpr std::uint32_t InactiveBorder = 0x8000000B;
constexpr std::uint32_t ApplicationWorkspace = 0x8000000C;
constexpr std::uint32_t Highlight = 0x8000000D;
constexpr std::uint32_t HighlightText = 0x8000000E;
constexpr std::uint32_t ButtonFace = 0x8000000F;
constexpr std::uint32_t ButtonShadow = 0x80000010;
constexpr std::uint32_t GrayText = 0x80000011;
constexpr std::uint32_t ButtonText = 0x80000012;
constexpr std::uint32_t InactiveCaptionText = 0x80000013;
constexpr std::uint32_t ButtonHighlight = 0x80000014;
constexpr std::uint32_t DarkShadow3D = 0x80000015;
constexpr std::uint32_t Light3D = 0x80000016;
constexpr std::uint32_t InfoText = 0x80000017;
constexpr std::uint32_t InfoBackground = 0x80000018;

inline bool isSystemColor(std::uint32_t code)
{
    return (code & 0x80000000u) != 0;
}

struct PaletteColor {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The palette role that stands for a system colour code; nothing for a plain
// colour or an unknown code.
std::optional<PaletteColor> paletteColor(std::uint32_t code);

// The colour that `code` stands for: a plain colour as it is, a system colour
// from `palette`. Invalid for an unknown system colour code.
QColor resolve(std::uint32_t code, const QPalette& palette);

} // namespace SystemColors
