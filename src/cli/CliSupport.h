#pragma once

#include <QString>
#include <functional>

// What every command of the command-line front end shares: exit codes,
// waiting on the event loop, Ctrl+C, and messages on stderr.
namespace Cli {

enum Exit {
    ExitOk = 0,
    ExitFailed = 1,      // the command ran and failed (a save ended in an error ...)
    ExitUsage = 2,       // wrong arguments
    ExitUnreachable = 3, // no camera answers at the address
    ExitNotFound = 4,    // no such take, SSD take or file
    ExitInterrupted = 130,
};

// Ctrl+C (SIGINT) and SIGTERM set a flag that waits notice; a second Ctrl+C
// ends the program at once.
void installInterruptHandler();
bool interrupted();

// Runs the event loop until `done` holds, `ms` pass or the user interrupts;
// returns `done()`.
bool waitFor(const std::function<bool()>& done, int ms);

// "vorn-cli: " and the plain text on stderr. Texts from the camera (a save's
// error, a value) go out as they are: only the program's own HTML messages
// are reduced with plainText() first.
void error(const QString& text);
QString plainText(const QString& richText);
// Progress lines go to stderr only when it is a terminal.
bool progressShown();
void progress(const QString& text);
void endProgress();

} // namespace Cli
