// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Accessibility clients (AT-SPI, UI Automation) see a ClickLabel that acts
// as a button as a push button: its caption is its name, and their "press"
// action clicks it. Other labels keep Qt's own description.
namespace ButtonLabelAccessibility {
// Installs the interface factory with Qt's accessibility; once is enough,
// later calls do nothing.
void install();
} // namespace ButtonLabelAccessibility
