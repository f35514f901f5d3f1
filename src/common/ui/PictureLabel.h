// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QLabel;
class UserPaths;

// Shows one of the program's own pictures ("army.bmp", from the User folder's
// pics folder or the built-in copy) in `label`, scaled smoothly to fit the
// label's size with its proportions kept.
void showOwnPicture(QLabel* label, const UserPaths& paths, const QString& name);
