// Claims the single instance as the application would and says what it became: "primary"
// (then waits for an activation, says "activated" and ends), "secondary" or "alone".
#include "app/singleinstance.h"
#include "core/appid.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString socketDirectory = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    tessary::SingleInstance instance(QString::fromLatin1(tessary::kApplicationId), socketDirectory);
    const auto say = [](const char *word) {
        std::printf("%s\n", word);
        std::fflush(stdout);
    };
    switch (instance.claim()) {
    case tessary::SingleInstance::Role::Secondary:
        say("secondary");
        return 0;
    case tessary::SingleInstance::Role::Alone:
        say("alone");
        return 2;
    case tessary::SingleInstance::Role::Primary:
        say(qPrintable(QStringLiteral("primary ") + instance.channel()));
        break;
    }
    QObject::connect(&instance, &tessary::SingleInstance::activationRequested, &app, [&] {
        say("activated");
        app.exit(0);
    });
    QTimer::singleShot(20000, &app, [&] { app.exit(3); });
    return app.exec();
}
