// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/audio/AudioInputs.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>

#ifdef QUILLANE_HAVE_PULSE
#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#endif

namespace {

std::function<QByteArray()>& serverAnswer()
{
    static std::function<QByteArray()> answer;
    return answer;
}

#ifdef QUILLANE_HAVE_PULSE

struct ServerQuery {
    bool done = false;
    QByteArray defaultSource;
};

void serverInfoReceived(pa_context*, const pa_server_info* info, void* data)
{
    auto* query = static_cast<ServerQuery*>(data);
    if (info && info->default_source_name)
        query->defaultSource = QByteArray(info->default_source_name);
    query->done = true;
}

void contextStateChanged(pa_context* context, void* data)
{
    auto* query = static_cast<ServerQuery*>(data);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        if (pa_operation* op = pa_context_get_server_info(context, serverInfoReceived, query))
            pa_operation_unref(op);
        else
            query->done = true;
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        query->done = true;
        break;
    default:
        break;
    }
}

// Asks the server once, waiting at most `timeoutMs`: it never starts a server
// (no autospawn), and an absent or stuck one costs at most that long.
QByteArray askPulse(int timeoutMs)
{
    pa_mainloop* loop = pa_mainloop_new();
    if (!loop)
        return QByteArray();
    ServerQuery query;
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "The Quillane");
    if (context) {
        pa_context_set_state_callback(context, contextStateChanged, &query);
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
            QElapsedTimer clock;
            clock.start();
            while (!query.done) {
                const qint64 left = timeoutMs - clock.elapsed();
                if (left <= 0 || pa_mainloop_prepare(loop, int(left * 1000)) < 0 || pa_mainloop_poll(loop) < 0 ||
                    pa_mainloop_dispatch(loop) < 0)
                    break;
            }
            pa_context_disconnect(context);
        }
        pa_context_unref(context);
    }
    pa_mainloop_free(loop);
    return query.defaultSource;
}

#endif

} // namespace

QList<AudioInput> AudioInputs::list()
{
    QList<AudioInput> inputs;
    for (const QAudioDevice& device : QMediaDevices::audioInputs())
        inputs.append({device.id(), device.description(), device.isDefault()});
    return inputs;
}

QByteArray AudioInputs::serverDefaultSource(int timeoutMs)
{
    if (serverAnswer())
        return serverAnswer()();
#ifdef QUILLANE_HAVE_PULSE
    return askPulse(timeoutMs);
#else
    Q_UNUSED(timeoutMs)
    return QByteArray();
#endif
}

MicrophoneChoice AudioInputs::choice()
{
    return MicrophoneChoice(list(), serverDefaultSource());
}

void AudioInputs::setServerDefaultForTests(std::function<QByteArray()> answer)
{
    serverAnswer() = std::move(answer);
}
