#pragma once

#include <QStringList>

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
    VornApp* const m_app;
};
