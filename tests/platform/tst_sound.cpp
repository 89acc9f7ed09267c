#include "platform/sound/canberrasoundplayer.h"

#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

// A PulseAudio server that accepts one client and never answers it, until released (or until
// a long grace period ends, so that a player that waits for it cannot hang the test).
class HungSoundServer {
public:
    explicit HungSoundServer(const QString &path)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
        m_listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address);
        listen(m_listener, 4);
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(path));
        m_thread = std::thread([this] { serve(); });
    }
    ~HungSoundServer()
    {
        release();
        m_thread.join();
        close(m_listener);
    }
    bool hasClient() const { return m_client; }
    bool hasAnswered() const { return m_answered; }
    void release() { m_release = true; }

private:
    void serve()
    {
        pollfd listener{m_listener, POLLIN, 0};
        if (poll(&listener, 1, 10000) <= 0)
            return;
        const int client = accept(m_listener, nullptr, nullptr);
        m_client = true;
        for (int waited = 0; !m_release && waited < 20000; waited += 10)
            usleep(10000);
        m_answered = true; // by hanging up: the client gives up
        close(client);
    }

    int m_listener = -1;
    std::thread m_thread;
    std::atomic<bool> m_client{false}, m_answered{false}, m_release{false};
};

} // namespace

class Sound : public QObject {
    Q_OBJECT
private slots:
    void requestsNeverWaitForTheSoundServer()
    {
        QTemporaryDir directory;
        HungSoundServer server(directory.filePath("native"));
        tessary::CanberraSoundPlayer player;
        for (int i = 0; i < 20; ++i) {
            player.playCopyConfirmation();
            player.playErrorBeep();
        }
        // Every request has been made, and the server is still holding the first one.
        QTRY_VERIFY_WITH_TIMEOUT(server.hasClient(), 10000);
        QVERIFY(!server.hasAnswered());
        server.release();
        player.waitForRequests();
        QVERIFY(player.lastResult() != 0); // each failure was skipped quietly
    }
};

QTEST_GUILESS_MAIN(Sound)
#include "tst_sound.moc"
