// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/core/SpeechBankSharing.h"

#include "common/core/Prompter.h"
#include "sounds/core/SchemeStore.h"
#include "sounds/core/SpeechBank.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kExportTitle = QStringLiteral("Export Bank");
const QString kImportTitle = QStringLiteral("Import Bank");
const QString kZipFilter = QStringLiteral("Zip archive|*.zip");

} // namespace

SpeechBankSharing::SpeechBankSharing(SchemeStore& schemes, Prompter& prompter)
    : m_schemes(schemes)
    , m_prompter(prompter)
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
    SpeechBank::Contents contents;
    QString error;
    if (!SpeechBank(m_schemes).exportScheme(scheme, archive, &contents, &error)) {
        m_prompter.message(error + QStringLiteral(" =("), kExportTitle, Prompter::Buttons::Ok,
                           Prompter::Icon::Exclamation);
        return;
    }
    QString text = QStringLiteral("The scheme %1 was exported to %2 with %3 sounds. <(^.^)>")
                       .arg(scheme, QDir::toNativeSeparators(archive))
                       .arg(contents.sounds.size());
    if (!contents.others.isEmpty())
        text +=
            QStringLiteral("\nLeft out, as they are not speech sounds: ") + contents.others.join(QStringLiteral(", "));
    m_prompter.message(text, kExportTitle, Prompter::Buttons::Ok, Prompter::Icon::Information);
}

void SpeechBankSharing::importBank(const std::function<void()>& beforeWrite,
                                   const std::function<void(const QString&)>& imported)
{
    const QString archive = m_prompter.openFile(kImportTitle, qtFileFilter(kZipFilter), QString());
    if (archive.isEmpty())
        return;
    const SpeechBank bank(m_schemes);
    SpeechBank::Contents contents;
    QString error;
    if (!bank.inspect(archive, &contents, &error)) {
        m_prompter.message(error + QStringLiteral(" =("), kImportTitle, Prompter::Buttons::Ok,
                           Prompter::Icon::Exclamation);
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
    if (!bank.importAs(archive, name, &contents, &error)) {
        m_prompter.message(error + QStringLiteral(" =("), kImportTitle, Prompter::Buttons::Ok,
                           Prompter::Icon::Exclamation);
        return;
    }
    imported(name);
    QString text =
        QStringLiteral("The scheme %1 was made with %2 sounds. <(^.^)>").arg(name).arg(contents.sounds.size());
    if (!contents.others.isEmpty())
        text +=
            QStringLiteral("\nNot taken, as they are not speech sounds: ") + contents.others.join(QStringLiteral(", "));
    m_prompter.message(text, kImportTitle, Prompter::Buttons::Ok, Prompter::Icon::Information);
}
