// SPDX-License-Identifier: GPL-3.0-or-later
// The wave device's command strings on the synthetic sound card.
//
// Input: command strings, one a line. Every command lets a little time pass on
// the sound card's clock, so that recordings and playbacks have something to
// hold. A "save capture" command always saves into the scratch folder, so that
// no input writes anywhere else.

#include "FuzzSupport.h"

#include "sounds/core/WaveDevice.h"
#include "support/SyntheticBackend.h"

#include <QStringList>

namespace {

constexpr qint64 millisecondsPerCommand = 20;
constexpr int maxCommands = 256; // with the clock above, at most ~5 s of sound

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString wave = FuzzSupport::scratchFolder() + QStringLiteral("/capture.wav");
    qint64 now = 0;
    SyntheticBackend::Options options;
    options.clock = [&now] { return now; };
    WaveDevice device(std::make_unique<SyntheticBackend>(options));

    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList commands = text.split(QLatin1Char('\n'));
    const QString save = QStringLiteral("save capture ");
    QByteArray reply = CommandDevice::blankBuffer(64);
    for (qsizetype i = 0; i < commands.size() && i < maxCommands; ++i) {
        const QString command = commands[i].startsWith(save) ? save + wave : commands[i];
        now += millisecondsPerCommand;
        const int result = device.send(command, &reply);
        FuzzSupport::require(result == CommandDevice::Ok || result > 256, "a command answers 0 or an error code");
        FuzzSupport::require(reply.size() == 64, "the reply stays inside its buffer");
    }
    return 0;
}
