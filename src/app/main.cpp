#include "app/application.h"
#include "app/commandline.h"
#include "app/singleinstance.h"
#include "app/translations.h"
#include "core/appid.h"
#include "platform/systemservices.h"
#include "preview/stager.h"

#include <QApplication>
#include <QQuickWindow>
#include <QSessionManager>
#include <QtQml/qqmlextensionplugin.h>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

int main(int argc, char *argv[])
{
    // A core dump would hold the history, passwords copied from a manager included: none is
    // written. A limit of one byte is below any dump's size, and the kernel also reads it as
    // "no dump" for a dump piped to a handler (systemd-coredump and the like), which a limit of
    // zero would not stop. The process stays dumpable, though: the desktop portal identifies its
    // callers by opening /proc/PID/root and refuses every call of an undumpable one.
    const rlimit noCore{1, 1};
    ::setrlimit(RLIMIT_CORE, &noCore);

    QCoreApplication::setApplicationName(QStringLiteral("tessary"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSARY_VERSION));

    // The texts in the user's language, and the times on the cards in the same one.
    const auto translate = [] {
        QLocale::setDefault(tessary::installTranslations(
            QLocale::system().uiLanguages(), tessary::installedTranslationsDirectory()));
    };

    // Any argument ends the process with an answer, so help and mistakes need no display.
    if (argc > 1) {
        QCoreApplication app(argc, argv);
        translate();
        return tessary::CommandLine::answer(QCoreApplication::arguments());
    }

    // The software scene graph draws this panel as well as OpenGL does, at a third of the
    // memory; QT_QUICK_BACKEND still chooses another.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);

    QApplication app(argc, argv);
    translate();
    QApplication::setApplicationDisplayName(QString::fromLatin1(tessary::kApplicationName));
    QApplication::setDesktopFileName(QString::fromLatin1(tessary::kApplicationId));
    QApplication::setQuitOnLastWindowClosed(false);
    // Starting at login is the autostart entry's job; a session that restored Tessary as well
    // would start it twice.
    QObject::connect(&app, &QGuiApplication::saveStateRequest, [](QSessionManager &session) {
        session.setRestartHint(QSessionManager::RestartNever);
    });

    tessary::SingleInstance instance(QString::fromLatin1(tessary::kApplicationId));
    if (instance.claim() == tessary::SingleInstance::Role::Secondary)
        return 0;
    // Staged previews go at exit, also when Qt ends the process itself (it does when its X
    // server goes away); a second launch leaves those of the running instance alone.
    const auto removeStagedFiles = [] { tessary::PreviewStager().removeStagedFiles(); };
    std::atexit(removeStagedFiles);
    // This launch shows no window: its activation token must not let some later one take the
    // focus. (Qt reads the variable when a window asks for the focus on Wayland.)
    qunsetenv("XDG_ACTIVATION_TOKEN");

    const tessary::SessionFacts session = tessary::SessionFacts::probe();
    tessary::SystemClipboard clipboard = tessary::openSystemClipboard(session);
    tessary::Application tessary(std::move(clipboard.pasteboard), tessary::createSoundPlayer(),
                                 {clipboard.access, !session.waylandSession && session.x11Display});
    QObject::connect(&instance, &tessary::SingleInstance::activationRequested, &tessary,
                     &tessary::Application::activate);
    tessary.start();
    const int code = app.exec();
    // Quit ends the process at once. Nothing is kept across runs, and a thread may be waiting
    // for another process (the sound server, a thumbnailer, a clipboard owner) that answers
    // when it will, or never: its work is dropped with the process rather than waited for.
    std::fflush(nullptr);
    removeStagedFiles();
    std::_Exit(code);
}
