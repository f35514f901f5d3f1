// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/ui/MicrophonePicker.h"

#include "sounds/core/RecorderSettings.h"
#include "sounds/ui/SoundBankLayout.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

#include <algorithm>

MicrophonePicker::MicrophonePicker(std::function<MicrophoneChoice()> inputs, QWidget* window)
    : QObject(window)
    , m_inputs(std::move(inputs))
    , m_combo(new QComboBox(window))
    , m_note(new QLabel(window))
{
    auto* caption = new QLabel(QStringLiteral("Microphone"), window);
    caption->setObjectName(QStringLiteral("lblMicrophone"));
    caption->setGeometry(SoundBankLayout::microphoneCaption);
    caption->setBuddy(m_combo);
    m_combo->setObjectName(QStringLiteral("cboMicrophone"));
    m_combo->setAccessibleName(QStringLiteral("Microphone"));
    m_combo->setToolTip(QStringLiteral("The sound input that recordings are made from"));
    m_combo->setGeometry(SoundBankLayout::microphone);
    m_note->setObjectName(QStringLiteral("lblMicrophoneNote"));
    m_note->setTextFormat(Qt::PlainText);
    m_note->setGeometry(SoundBankLayout::microphoneNote);
    m_note->hide();
    connect(m_combo, &QComboBox::activated, this, &MicrophonePicker::chosen);
}

void MicrophonePicker::fill()
{
    const MicrophoneChoice choice = m_inputs ? m_inputs() : MicrophoneChoice({}, {});
    const RecorderSettings::Microphone remembered = RecorderSettings::readMicrophone();
    const MicrophoneChoice::Resolved resolved = choice.resolve(remembered.id, remembered.name);
    const QSignalBlocker quiet(m_combo);
    m_combo->clear();
    for (const MicrophoneChoice::Entry& entry : choice.entries()) {
        m_combo->addItem(entry.caption, entry.id);
        // Descriptions can be long; the whole one shows when pointed at.
        m_combo->setItemData(m_combo->count() - 1, entry.caption, Qt::ToolTipRole);
    }
    // A gone input leaves the system default showing.
    m_combo->setCurrentIndex(resolved.note.isEmpty() ? std::max(0, m_combo->findData(resolved.kept)) : 0);
    m_note->setText(resolved.note);
    m_note->setVisible(!resolved.note.isEmpty());
}

void MicrophonePicker::chosen(int index)
{
    const QByteArray id = m_combo->itemData(index).toByteArray();
    RecorderSettings::writeMicrophone({id, id.isEmpty() ? QString() : m_combo->itemText(index)});
    m_note->hide();
}
