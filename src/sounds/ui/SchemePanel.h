// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class Prompter;
class QComboBox;
class QLabel;
class QListWidget;
class QWidget;
class SchemeStore;
class UnshownNamesNotice;

// The sound bank editor's schemes, on the left: the scheme chooser with its
// name, New Scheme and Delete, and the chosen scheme's sound bytes with
// Remove. A window without schemes always ends up with one.
class SchemePanel : public QObject {
    Q_OBJECT
public:
    // `release` lets go of any sound byte being played before files go.
    SchemePanel(SchemeStore& schemes, Prompter& prompter, UnshownNamesNotice& unshown, std::function<void()> release,
                QWidget* window);

    // The scheme in the chooser ("" when there is none).
    QString current() const;
    // The scheme whose sound bytes the list shows.
    const QString& shown() const { return m_shown; }
    // The sound byte picked in the list ("" when none).
    QString soundByte() const;

    // Lists the schemes anew and shows the first.
    void fill();
    // Shows the first scheme of the chooser, if it has any.
    void pickFirst();
    // Shows the scheme `name` in the chooser.
    void choose(const QString& name);
    // Lists the shown scheme's sound bytes anew, keeping the picked one.
    void refreshSoundBytes();

Q_SIGNALS:
    // Another scheme is shown.
    void schemeShown();
    // A sound byte was double-clicked.
    void soundByteActivated();

private:
    void picked(int index);
    void newScheme();
    void deleteScheme();
    void removeSoundByte();

    SchemeStore& m_schemes;
    Prompter& m_prompter;
    UnshownNamesNotice& m_unshown;
    std::function<void()> m_release;
    QString m_shown;
    QComboBox* m_cboScheme;
    QLabel* m_lblSchemeName;
    QListWidget* m_soundBytes;
};
