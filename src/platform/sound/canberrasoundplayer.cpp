#include "canberrasoundplayer.h"

#include "core/appid.h"

#include <QLoggingCategory>
#include <canberra.h>

namespace tessary {

Q_LOGGING_CATEGORY(lcSound, "tessary.sound", QtInfoMsg)

CanberraSoundPlayer::CanberraSoundPlayer()
{
    // One thread keeps the context single-threaded and the requests in order.
    m_worker.setMaxThreadCount(1);
    m_worker.setExpiryTimeout(-1);
}

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    m_worker.waitForDone();
    if (m_context)
        ca_context_destroy(m_context);
}

void CanberraSoundPlayer::playCopyConfirmation()
{
    play(kConfirmationEvent, "Copied to the clipboard", kConfirmationVolume);
}

void CanberraSoundPlayer::playErrorBeep()
{
    play(kErrorEvent, "Error", nullptr);
}

void CanberraSoundPlayer::waitForRequests()
{
    m_worker.waitForDone();
}

ca_context *CanberraSoundPlayer::context()
{
    if (m_context || m_contextFailed)
        return m_context;
    ca_context *context = nullptr;
    int result = ca_context_create(&context);
    if (result == CA_SUCCESS) {
        const QByteArray id = QByteArray(kApplicationId);
        const QByteArray name = QByteArray(kApplicationName);
        ca_context_change_props(context, CA_PROP_APPLICATION_NAME, name.constData(),
                                CA_PROP_APPLICATION_ID, id.constData(), nullptr);
        result = ca_context_open(context);
    }
    if (result != CA_SUCCESS) {
        qCDebug(lcSound) << "no event sounds:" << ca_strerror(result);
        if (context)
            ca_context_destroy(context);
        m_contextFailed = true;
        m_lastResult = result;
        return nullptr;
    }
    m_context = context;
    return m_context;
}

void CanberraSoundPlayer::play(const char *eventId, const char *description, const char *volume)
{
    m_worker.start([this, eventId, description, volume] {
        ca_context *context = this->context();
        if (!context)
            return;
        ca_proplist *props = nullptr;
        if (ca_proplist_create(&props) != CA_SUCCESS)
            return;
        ca_proplist_sets(props, CA_PROP_EVENT_ID, eventId);
        ca_proplist_sets(props, CA_PROP_EVENT_DESCRIPTION, description);
        ca_proplist_sets(props, CA_PROP_CANBERRA_CACHE_CONTROL, "permanent");
        if (volume)
            ca_proplist_sets(props, CA_PROP_CANBERRA_VOLUME, volume);
        // Returns once the server has the request; the sound plays on without us.
        const int result = ca_context_play_full(context, 0, props, nullptr, nullptr);
        ca_proplist_destroy(props);
        m_lastResult = result;
        if (result != CA_SUCCESS)
            qCDebug(lcSound) << "sound" << eventId << "not played:" << ca_strerror(result);
    });
}

} // namespace tessary
