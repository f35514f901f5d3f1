// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/ui/SpeechBankSharing.h"

#include "common/core/Prompter.h"
#include "common/core/UserPaths.h"
#include "common/ui/WorkProgress.h"
#include "sounds/core/SchemeStore.h"
#include "sounds/core/SpeechBank.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace {

const QString kExportTitle = QStringLiteral("Export Bank");
const QString kImportTitle = QStringLiteral("Import Bank");
const QString kZipFilter = QStringLiteral("Zip archive|*.zip");

} // namespace

// What the work off the window's thread hands back.
struct SpeechBankSharing::Outcome {
    bool ok = false;
    QString error; // empty when not ok: the user stopped it
    SpeechBank::Contents contents;
};

SpeechBankSharing::SpeechBankSharing(const SchemeStore& schemes, Prompter& prompter, QWidget* window)
    : QObject(window)
    , m_schemes(schemes)
    , m_prompter(prompter)
    , m_window(window)
    , m_work(new LatestOnly(1, this))
{
}

void SpeechBankSharing::exportScheme(const QString& scheme)
{
    if (scheme.isEmpty()) {
        m_prompter.tell(QStringLiteral("There is no scheme to export: make one with New Scheme."));
        return;
    }
    const QString archive =
        m_prompter.saveFile(kExportTitle, qtFileFilter(kZipFilter), scheme + QStringLiteral(".zip"));
    if (archive.isEmpty())
        return;
    if (QFileInfo::exists(archive) &&
        m_prompter.message(QDir::toNativeSeparators(archive) +
                               QStringLiteral(" already exists. Do you want to replace it?"),
                           kExportTitle, Prompter::Buttons::YesNo, Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;
    start(
        kExportTitle,
        [scheme, archive](const SpeechBank& bank, Outcome& out, const Report& report) {
            return bank.exportScheme(scheme, archive, &out.contents, &out.error, report);
        },
        [this, scheme, archive](const SpeechBank::Contents& contents) {
            tell(kExportTitle,
                 QStringLiteral("The scheme %1 was exported to %2 with %3 sounds. <(^.^)>")
                     .arg(scheme, QDir::toNativeSeparators(archive))
                     .arg(contents.sounds.size()),
                 QStringLiteral("\nLeft out, as they are not speech sounds: "), contents.others);
        });
}

void SpeechBankSharing::importBank(const std::function<void()>& beforeWrite,
                                   const std::function<void(const QString&)>& imported)
{
    const QString archive = m_prompter.openFile(kImportTitle, qtFileFilter(kZipFilter), QString());
    if (archive.isEmpty())
        return;
    SpeechBank::Contents contents;
    QString error;
    if (!SpeechBank(m_schemes).inspect(archive, &contents, &error)) {
        fail(kImportTitle, error);
        return;
    }
    QString name = contents.suggestedName;
    for (;;) {
        name = m_prompter.input(QStringLiteral("What will be the name of the imported scheme?"), kImportTitle, name);
        if (name.isEmpty())
            return;
        const SchemeStore::Created checked = m_schemes.checkNewName(name, &error);
        if (checked == SchemeStore::Created::Ok)
            break;
        m_prompter.message(error, kImportTitle, Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
        if (checked != SchemeStore::Created::BadName && checked != SchemeStore::Created::Exists)
            return;
    }
    beforeWrite();
    start(
        kImportTitle,
        [archive, name](const SpeechBank& bank, Outcome& out, const Report& report) {
            return bank.importAs(archive, name, &out.contents, &out.error, report);
        },
        [this, name, imported](const SpeechBank::Contents& taken) {
            imported(name);
            tell(kImportTitle,
                 QStringLiteral("The scheme %1 was made with %2 sounds. <(^.^)>").arg(name).arg(taken.sounds.size()),
                 QStringLiteral("\nNot taken, as they are not speech sounds: "), taken.others);
        });
}

void SpeechBankSharing::start(const QString& title, Work work, std::function<void(const SpeechBank::Contents&)> done)
{
    emit busyChanged(true);
    WorkProgress::run<Outcome>(
        *m_work, m_window, title, QStringLiteral("sounds"),
        [paths = m_schemes.paths(), work = std::move(work)](const Report& report) {
            // The work has a store of its own: the window's may go before it ends.
            const SchemeStore schemes(paths);
            Outcome out;
            out.ok = work(SpeechBank(schemes), out, report);
            return out;
        },
        [this, title, done = std::move(done)](const Outcome& out) {
            emit busyChanged(false);
            if (out.ok)
                done(out.contents);
            else if (!out.error.isEmpty()) // else stopped by the user: nothing was written, nothing to say
                fail(title, out.error);
        });
}

void SpeechBankSharing::tell(const QString& title, QString text, const QString& othersNote, const QStringList& others)
{
    if (!others.isEmpty())
        text += othersNote + others.join(QStringLiteral(", "));
    m_prompter.message(text, title, Prompter::Buttons::Ok, Prompter::Icon::Information);
}

void SpeechBankSharing::fail(const QString& title, const QString& error)
{
    m_prompter.message(error + QStringLiteral(" =("), title, Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
}
