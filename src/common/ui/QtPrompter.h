// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/Prompter.h"

// The program's boxes: QMessageBox, QInputDialog and QFileDialog (files and folders), modal over
// the active window.
class QtPrompter : public Prompter {
public:
    Answer message(const QString& text, const QString& title, Buttons buttons, Icon icon) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const QString& title, const QString& filter, const QString& initialFile) override;
    QString saveFile(const QString& title, const QString& filter, const QString& initialFile) override;
    QString chooseFolder(const QString& title, const QString& initialFolder) override;
};
