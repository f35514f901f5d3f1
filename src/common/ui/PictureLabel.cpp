// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/PictureLabel.h"

#include "common/core/Pictures.h"

#include <QLabel>
#include <QPixmap>

void showOwnPicture(QLabel* label, const UserPaths& paths, const QString& name)
{
    label->setPixmap(QPixmap::fromImage(Pictures::userOrBuiltIn(paths, name))
                         .scaled(label->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
