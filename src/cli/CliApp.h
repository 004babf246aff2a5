#pragma once

#include "CliSaveCommands.h"

#include <QStringList>

class CliCameraCommands;
class QCommandLineParser;
class VornApp;

// vorn-cli: the command line read and carried out on a headless application
// object. `run` returns the process's exit code.
class CliApp
{
public:
    explicit CliApp(VornApp* app);

    int run(const QStringList& arguments);

    static QString helpText();

private:
    int runCameraCommand(const QCommandLineParser& parser, CliCameraCommands* cameras, int takeId);
    int runSave(const QCommandLineParser& parser, CliCameraCommands* cameras, int takeId);
    static bool readSaveOptions(const QCommandLineParser& parser, CliSaveCommands::Options* options);

    VornApp* const m_app;
};
