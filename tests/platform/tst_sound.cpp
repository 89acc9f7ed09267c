#include "platform/sound/canberrasoundplayer.h"

#include <QTemporaryDir>
#include <QTest>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

class Sound : public QObject {
    Q_OBJECT
private slots:
    void requestsNeverWaitForTheSoundServer()
    {
        // A PulseAudio server that never answers.
        QTemporaryDir directory;
        const QByteArray path = QFile::encodeName(directory.filePath("native"));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
        const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        QVERIFY(bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
        QVERIFY(listen(listener, 4) == 0);
        qputenv("PULSE_SERVER", "unix:" + path);

        tessary::CanberraSoundPlayer player;
        for (int i = 0; i < 20; ++i) {
            player.playCopyConfirmation();
            player.playErrorBeep();
        }
        // Every request has been made, and the first one's client still waits for the server.
        pollfd pending{listener, POLLIN, 0};
        QCOMPARE(poll(&pending, 1, 10000), 1);
        const int client = accept(listener, nullptr, nullptr);
        pollfd hungUp{client, POLLRDHUP, 0};
        QCOMPARE(poll(&hungUp, 1, 0), 0);
        close(client); // the client gives up
        close(listener);
        player.waitForRequests();
        QVERIFY(player.lastResult() != 0); // each failure was skipped quietly
    }
};

QTEST_GUILESS_MAIN(Sound)
#include "tst_sound.moc"
