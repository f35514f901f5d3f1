// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sounds/core/SpeechBank.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class LatestOnly;
class Prompter;
class QWidget;
class SchemeStore;

// Export Bank and Import Bank: a scheme's speech sounds passed on as a zip
// archive, asking the user for the archive and the new scheme's name and
// telling what was taken and what was left out. The questions come first; the
// archive is then written or unpacked off the window's thread, one at a time,
// with its progress and Cancel shown. A stopped or failed export or import
// leaves the disk as it was.
class SpeechBankSharing : public QObject {
    Q_OBJECT
public:
    // `window` shows the progress.
    SpeechBankSharing(const SchemeStore& schemes, Prompter& prompter, QWidget* window);

    void exportScheme(const QString& scheme);
    // `beforeWrite` runs just before the new scheme is written, `imported`
    // with its name once it is there (before the user is told).
    void importBank(const std::function<void()>& beforeWrite, const std::function<void(const QString&)>& imported);

Q_SIGNALS:
    // An export or import started (true) or ended (false).
    void busyChanged(bool busy);

private:
    struct Outcome;
    using Report = std::function<bool(int done, int total)>;
    // Export or import with the bank, off the window's thread: true when done.
    using Work = std::function<bool(const SpeechBank& bank, Outcome& out, const Report& report)>;
    // Runs `work`; `done` gets what was written when it succeeded.
    void start(const QString& title, Work work, std::function<void(const SpeechBank::Contents&)> done);
    void tell(const QString& title, QString text, const QString& othersNote, const QStringList& others);
    void fail(const QString& title, const QString& error);

    const SchemeStore& m_schemes;
    Prompter& m_prompter;
    QWidget* m_window;
    LatestOnly* m_work;
};
