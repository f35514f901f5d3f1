// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/ui/SchemePanel.h"

#include "common/core/Prompter.h"
#include "common/core/UnshownNames.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/Widgets.h"
#include "sounds/core/SchemeStore.h"
#include "sounds/ui/SoundBankLayout.h"

#include <QComboBox>
#include <QFileInfo>
#include <QListWidget>

namespace {

const QString kEditorTitle = QStringLiteral("SoundBank Editor");

} // namespace

SchemePanel::SchemePanel(SchemeStore& schemes, Prompter& prompter, UnshownNamesNotice& unshown,
                         std::function<void()> release, QWidget* window)
    : QObject(window)
    , m_schemes(schemes)
    , m_prompter(prompter)
    , m_unshown(unshown)
    , m_release(std::move(release))
{
    namespace Layout = SoundBankLayout;
    using namespace Widgets;
    label(window, QStringLiteral("Label3"), QStringLiteral("Scheme:"), Layout::schemeCaption);
    m_cboScheme = placed(new QComboBox(window), QStringLiteral("cboScheme"), Layout::schemeChooser);
    m_lblSchemeName = label(window, QStringLiteral("lblSchemeName"), QString(), Layout::schemeName);
    m_lblSchemeName->setFont(designFont(QStringLiteral("Verdana"), 9, true));
    QPushButton* cmdNew = button(window, QStringLiteral("cmdNew"), QStringLiteral("New Scheme"), Layout::newScheme);
    QPushButton* cmdDelete =
        button(window, QStringLiteral("cmdDelete"), QStringLiteral("Delete"), Layout::deleteScheme);

    QGroupBox* soundBytesFrame =
        frame(window, QStringLiteral("Frame1"), QStringLiteral("Worm Sound Bytes"), Layout::soundBytesFrame);
    label(soundBytesFrame, QStringLiteral("Label4"), QStringLiteral("Dbl-Click to play sound"), Layout::soundBytesHint);
    m_soundBytes = placed(new QListWidget(soundBytesFrame), QStringLiteral("File1"), Layout::soundBytes);
    QPushButton* cmdRemove =
        button(soundBytesFrame, QStringLiteral("cmdRemove"), QStringLiteral("Remove"), Layout::removeSoundByte);

    connect(m_cboScheme, &QComboBox::currentIndexChanged, this, &SchemePanel::picked);
    connect(cmdNew, &QPushButton::clicked, this, &SchemePanel::newScheme);
    connect(cmdDelete, &QPushButton::clicked, this, &SchemePanel::deleteScheme);
    connect(cmdRemove, &QPushButton::clicked, this, &SchemePanel::removeSoundByte);
    connect(m_soundBytes, &QListWidget::itemDoubleClicked, this, &SchemePanel::soundByteActivated);
}

QString SchemePanel::current() const
{
    return m_cboScheme->currentText();
}

QString SchemePanel::soundByte() const
{
    return m_soundBytes->currentItem() ? m_soundBytes->currentItem()->text() : QString();
}

void SchemePanel::pickFirst()
{
    if (m_cboScheme->count() > 0)
        m_cboScheme->setCurrentIndex(0);
}

void SchemePanel::choose(const QString& name)
{
    m_cboScheme->setCurrentIndex(m_cboScheme->findText(name, Qt::MatchExactly));
}

void SchemePanel::fill()
{
    {
        const QSignalBlocker quiet(m_cboScheme);
        m_cboScheme->clear();
    }
    const QStringList names = m_schemes.schemeNames();
    {
        const QSignalBlocker quiet(m_cboScheme);
        m_cboScheme->addItems(names);
        m_cboScheme->setCurrentIndex(-1);
    }
    if (!names.isEmpty())
        m_cboScheme->setCurrentIndex(0);
    // Schemes whose names cannot be shown are there all the same.
    m_unshown.check(m_schemes.speechFolder(), UnshownNames::Kind::Folders);
    if (current().isEmpty()) {
        m_shown.clear();
        m_lblSchemeName->clear();
        refreshSoundBytes();
        m_prompter.message(QStringLiteral("You currently have no custom schemes. Please Create one! :)"), kEditorTitle,
                           Prompter::Buttons::Ok, Prompter::Icon::Information);
        newScheme();
        return;
    }
    m_shown = current();
    refreshSoundBytes();
    m_lblSchemeName->setText(current());
}

void SchemePanel::picked(int index)
{
    if (index < 0)
        return;
    const QString name = m_cboScheme->itemText(index);
    if (!QFileInfo(m_schemes.schemeFolder(name)).isDir()) {
        // The folder went away behind our back: the current scheme stays.
        {
            const QSignalBlocker quiet(m_cboScheme);
            m_cboScheme->setCurrentIndex(m_cboScheme->findText(m_shown, Qt::MatchExactly));
        }
        m_prompter.tell(QStringLiteral("The scheme ") + name +
                        QStringLiteral(" is gone: its folder no longer exists."));
        return;
    }
    m_shown = name;
    refreshSoundBytes();
    m_lblSchemeName->setText(name);
    emit schemeShown();
}

void SchemePanel::newScheme()
{
    for (;;) {
        const QString name = m_prompter.input(QStringLiteral("What will be the name of your new scheme?"),
                                              QStringLiteral("New Scheme"), QString());
        const bool noScheme = current().isEmpty();
        if (name.isEmpty()) {
            // A window without schemes always ends up with one.
            if (noScheme)
                continue;
            return;
        }
        QString problem;
        const SchemeStore::Created result = m_schemes.create(name, &problem);
        if (result == SchemeStore::Created::Ok) {
            fill();
            return;
        }
        m_prompter.message(problem, QStringLiteral("New Scheme"), Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
        // A name the user can correct is asked for again; a folder that
        // cannot be made at all must not trap the user in the prompt.
        const bool correctable = result == SchemeStore::Created::BadName || result == SchemeStore::Created::Exists;
        if (!(correctable && noScheme))
            return;
    }
}

void SchemePanel::deleteScheme()
{
    const QString scheme = current();
    if (scheme.isEmpty())
        return;
    if (m_prompter.message(SchemeStore::deleteSchemeQuestion(scheme), QStringLiteral("Delete Scheme?"),
                           Prompter::Buttons::YesNo, Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;
    m_release();
    m_schemes.remove(scheme);
    fill();
}

void SchemePanel::removeSoundByte()
{
    const QString scheme = current();
    const QString file = m_soundBytes->currentItem() ? m_soundBytes->currentItem()->text() : QString();
    if (m_prompter.message(SchemeStore::removeSoundByteQuestion(scheme, file), QStringLiteral("Delete Soundbyte?"),
                           Prompter::Buttons::YesNo, Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;
    m_release();
    m_schemes.removeSoundByte(scheme, file);
    refreshSoundBytes();
}

void SchemePanel::refreshSoundBytes()
{
    const QString selected = m_soundBytes->currentItem() ? m_soundBytes->currentItem()->text() : QString();
    m_soundBytes->clear();
    m_soundBytes->addItems(m_schemes.soundBytes(m_shown));
    const QList<QListWidgetItem*> again = m_soundBytes->findItems(selected, Qt::MatchExactly);
    if (!selected.isEmpty() && !again.isEmpty())
        m_soundBytes->setCurrentItem(again.first());
    // Sound bytes whose names cannot be shown are there all the same.
    if (!m_shown.isEmpty())
        m_unshown.check(m_schemes.schemeFolder(m_shown));
}
