#include "CliSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextDocumentFragment>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t s_interrupts = 0;

void onInterrupt(int)
{
    if (++s_interrupts > 1)
        _exit(Cli::ExitInterrupted);
}

bool s_progressOpen = false;

} // namespace

namespace Cli {

void installInterruptHandler()
{
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
}

bool interrupted()
{
    return s_interrupts > 0;
}

bool waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    // The tick wakes the loop to look at the interrupt flag.
    QTimer tick;
    tick.start(50);
    while (!done() && !interrupted() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

QString plainText(const QString& richText)
{
    return QTextDocumentFragment::fromHtml(richText).toPlainText().simplified();
}

void error(const QString& text)
{
    endProgress();
    fprintf(stderr, "vorn-cli: %s\n", qPrintable(text));
}

bool progressShown()
{
    return isatty(STDERR_FILENO);
}

void progress(const QString& text)
{
    if (!progressShown())
        return;
    fprintf(stderr, "\r%s\033[K", qPrintable(text));
    s_progressOpen = true;
}

void endProgress()
{
    if (s_progressOpen)
        fprintf(stderr, "\n");
    s_progressOpen = false;
}

} // namespace Cli
