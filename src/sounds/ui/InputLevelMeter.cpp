// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/ui/InputLevelMeter.h"

#include "sounds/core/CountingPrompter.h"
#include "sounds/core/WaveRecorder.h"
#include "sounds/ui/SoundBankLayout.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <cmath>

namespace {

constexpr int kMeterFloorDbfs = -60;
constexpr int kMeterMs = 50;
constexpr qint64 kNoSignalMs = 2000;

} // namespace

InputLevelMeter::InputLevelMeter(WaveRecorder& recorder, CountingPrompter& prompter, QWidget* window)
    : QObject(window)
    , m_recorder(recorder)
    , m_prompter(prompter)
    , m_inputLevel(new QProgressBar(window))
    , m_recordLength(new QLabel(window))
    , m_timer(new QTimer(this))
{
    m_inputLevel->setObjectName(QStringLiteral("prgInputLevel"));
    m_inputLevel->setAccessibleName(QStringLiteral("Input level"));
    m_inputLevel->setGeometry(SoundBankLayout::inputLevel);
    m_inputLevel->setRange(kMeterFloorDbfs, 0);
    m_inputLevel->setValue(kMeterFloorDbfs);
    m_inputLevel->setFormat(QString());
    m_inputLevel->setToolTip(QStringLiteral("The loudest sound of the last moment while recording, in dBFS"));
    m_recordLength->setObjectName(QStringLiteral("lblRecordLength"));
    m_recordLength->setGeometry(SoundBankLayout::recordLength);
    m_timer->setInterval(kMeterMs);
    connect(m_timer, &QTimer::timeout, this, &InputLevelMeter::update);
}

void InputLevelMeter::start()
{
    m_timer->start();
    update();
}

void InputLevelMeter::stop()
{
    m_timer->stop();
    m_inputLevel->setValue(kMeterFloorDbfs);
    m_inputLevel->setFormat(QString());
    m_recordLength->clear();
}

void InputLevelMeter::update()
{
    // The meter waits while a box is open, as the status tick does.
    if (m_prompter.openBoxes() > 0)
        return;
    const WaveRecorder::Level level = m_recorder.inputLevel();
    if (level.silentMs >= kNoSignalMs) {
        m_inputLevel->setValue(kMeterFloorDbfs);
        m_inputLevel->setFormat(QStringLiteral("no signal"));
    } else {
        const int dbfs = std::isfinite(level.dbfs) ? int(std::lround(level.dbfs)) : kMeterFloorDbfs;
        m_inputLevel->setValue(qBound(kMeterFloorDbfs, dbfs, 0));
        m_inputLevel->setFormat(QStringLiteral("%1 dBFS").arg(qBound(kMeterFloorDbfs, dbfs, 0)));
    }
    m_recordLength->setText(QString::number(m_recorder.recordedMs() / 1000.0, 'f', 1) + QStringLiteral(" s recorded"));
}
