// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/QtPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

Prompter::Answer QtPrompter::message(const QString& text, const QString& title, Buttons buttons, Icon icon)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    }
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (buttons == Buttons::YesNo)
        return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
    return Answer::Ok;
}

QString QtPrompter::input(const QString& prompt, const QString& title, const QString& defaultText)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(QApplication::activeWindow(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

QString QtPrompter::openFile(const QString& title, const QString& filter, const QString& initialFile)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, initialFile, filter);
}

QString QtPrompter::saveFile(const QString& title, const QString& filter, const QString& initialFile)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, initialFile, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtPrompter::chooseFolder(const QString& title, const QString& initialFolder)
{
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), title, initialFolder);
}
