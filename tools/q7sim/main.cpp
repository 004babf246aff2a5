// q7sim: runs simulated Q7 cameras until interrupted.
#include "CommandLine.h"
#include "ManifestServer.h"
#include "SimCamera.h"

#include <QFile>

#include <csignal>
#include <cstdio>
#include <memory>
#include <vector>

int main(int argc, char** argv)
{
    q7sim::CommandLine commandLine;
    if (!commandLine.parse(argc, argv)) {
        std::fprintf(stderr, "q7sim: %s\n(see q7sim --help)\n", qPrintable(commandLine.error()));
        return 2;
    }
    if (commandLine.helpRequested()) {
        std::fputs(qPrintable(q7sim::CommandLine::helpText()), stdout);
        return 0;
    }

    // Block the stop signals before any thread starts, so that only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::vector<std::unique_ptr<q7sim::SimCamera>> cameras;
    for (const q7sim::CameraSetup& setup : commandLine.cameras()) {
        auto camera = std::make_unique<q7sim::SimCamera>(setup.config);
        for (const q7sim::Fault& fault : setup.faults)
            camera->addFault(fault);
        camera->setFirmwareOutcome(setup.fwOutcome);
        if (!camera->start()) {
            std::fprintf(stderr, "q7sim: camera %s: %s\n", qPrintable(setup.config.address),
                         qPrintable(camera->errorString()));
            return 1;
        }
        const QString& listen = setup.config.discoveryListen;
        const QString discovery =
            listen.isEmpty() ? QStringLiteral("no discovery")
            : listen == QLatin1String(q7sim::CameraConfig::DiscoveryOnCameraNetwork)
                ? QStringLiteral("discovery on its network's broadcast address, UDP %1")
                      .arg(setup.config.discoveryPort)
                : QStringLiteral("discovery on %1, UDP %2").arg(listen).arg(setup.config.discoveryPort);
        std::printf("q7sim: camera \"%s\" (serial %s) on http://%s:%u/, %s\n",
                    qPrintable(setup.config.effectiveName()), qPrintable(setup.config.effectiveSerial()),
                    qPrintable(setup.config.address), unsigned(setup.config.httpPort), qPrintable(discovery));
        cameras.push_back(std::move(camera));
    }
    q7sim::ManifestServer manifest;
    if (!commandLine.manifestListen().isEmpty()) {
        if (!commandLine.manifestFile().isEmpty()) {
            QFile file(commandLine.manifestFile());
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "q7sim: cannot read %s\n", qPrintable(commandLine.manifestFile()));
                return 1;
            }
            manifest.setManifestBody(file.readAll());
        }
        const QString listen = commandLine.manifestListen();
        const int colon = listen.lastIndexOf(QLatin1Char(':'));
        QString error;
        if (!manifest.start(listen.left(colon), listen.mid(colon + 1).toUShort(), &error)) {
            std::fprintf(stderr, "q7sim: update manifest: %s\n", qPrintable(error));
            return 1;
        }
        std::printf("q7sim: update manifest on %s\n", qPrintable(manifest.url()));
    }
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    for (auto& camera : cameras)
        camera->stop();
    manifest.stop();
    return 0;
}
