#include "CliApp.h"
#include "CliSupport.h"
#include "VornApp.h"

#include <QThread>

int main(int argc, char* argv[])
{
    // No window: the offscreen platform unless the caller chose another.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program's own log stays out of scripts' way unless VORN_CLI_LOG is
    // set; what the user must know comes as the program's messages.
    if (qEnvironmentVariableIsEmpty("VORN_CLI_LOG"))
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    Cli::installInterruptHandler();
    VornApp app(argc, argv, VornApp::StartMode::Headless);
    QThread::currentThread()->setObjectName(QStringLiteral("Main Thread"));
    QStringList arguments = app.arguments();
    CliApp cli(&app);
    return cli.run(arguments);
}
