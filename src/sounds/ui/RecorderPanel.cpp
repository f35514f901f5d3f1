// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/ui/RecorderPanel.h"

#include "common/ui/Widgets.h"
#include "sounds/ui/SoundBankLayout.h"

#include <QPushButton>

RecorderPanel::RecorderPanel(QWidget* parent)
    : QFrame(parent)
    , m_cmdRecord(Widgets::button(this, QStringLiteral("cmdRecord"), QStringLiteral("Record"), SoundBankLayout::record))
    , m_cmdPlay(Widgets::button(this, QStringLiteral("cmdPlay"), QStringLiteral("Preview"), SoundBankLayout::preview))
    , m_cmdStop(Widgets::button(this, QStringLiteral("cmdStop"), QStringLiteral("Stop"), SoundBankLayout::stop))
    , m_cmdOK(nullptr)
{
    setObjectName(QStringLiteral("Shape3"));
    setFrameShape(QFrame::Box);
    setGeometry(SoundBankLayout::recorderPanel);
    m_cmdPlay->setToolTip(QStringLiteral("Play the recording"));
    m_cmdStop->setToolTip(QStringLiteral("Stop recording or playing"));
    QPushButton* reset =
        Widgets::button(this, QStringLiteral("cmdReset"), QStringLiteral("Reset"), SoundBankLayout::reset);
    reset->setToolTip(QStringLiteral("To start a new recording and adjusting all settings"));
    m_cmdOK = Widgets::button(this, QStringLiteral("cmdOK"), QStringLiteral("OK"), SoundBankLayout::keepRecording);
    connect(m_cmdRecord, &QPushButton::clicked, this, &RecorderPanel::recordClicked);
    connect(m_cmdPlay, &QPushButton::clicked, this, &RecorderPanel::previewClicked);
    connect(m_cmdStop, &QPushButton::clicked, this, &RecorderPanel::stopClicked);
    connect(reset, &QPushButton::clicked, this, &RecorderPanel::resetClicked);
    connect(m_cmdOK, &QPushButton::clicked, this, &RecorderPanel::keepClicked);
    showState();
}

void RecorderPanel::setState(State state)
{
    m_state = state;
    showState();
}

void RecorderPanel::setPlayingAll(bool playingAll)
{
    m_playingAll = playingAll;
    showState();
}

void RecorderPanel::showState()
{
    const bool held = m_state == State::Held || m_state == State::PreviewingHeld;
    m_cmdRecord->setEnabled(m_state != State::Recording);
    m_cmdPlay->setEnabled(m_state == State::Stopped || m_state == State::Held);
    m_cmdStop->setEnabled(m_state == State::Recording || previewing() || m_playingAll);
    m_cmdOK->setEnabled(held);
}
