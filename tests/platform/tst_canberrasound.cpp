#include "platform/sound/canberrasoundplayer.h"

#include <QElapsedTimer>
#include <QTest>

using tessary::CanberraSoundPlayer;

class CanberraSound : public QObject {
    Q_OBJECT
private slots:
    void playingNeverWaitsForTheSoundServer();
};

void CanberraSound::playingNeverWaitsForTheSoundServer()
{
    // The test machine has no sound server: every request fails quietly, and none of them holds
    // up the caller, however many there are.
    QElapsedTimer elapsed;
    elapsed.start();
    {
        CanberraSoundPlayer player;
        for (int i = 0; i < 20; ++i) {
            player.playCopyConfirmation();
            player.playErrorBeep();
        }
        QCOMPARE_LT(elapsed.elapsed(), 50);
        player.waitForRequests();
    }
    QCOMPARE_LT(elapsed.elapsed(), 10000);
}

QTEST_GUILESS_MAIN(CanberraSound)
#include "tst_canberrasound.moc"
