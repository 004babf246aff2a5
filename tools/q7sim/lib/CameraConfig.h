#pragma once

#include "Cfa.h"

#include <QString>
#include <cstdint>

namespace q7sim {

// How a simulated camera presents itself; fixed when it starts.
struct CameraConfig
{
    QString address = QStringLiteral("127.0.0.2"); // HTTP listens here only
    uint16_t httpPort = 80;
    Cfa cfa = Cfa::RGGB;
    QString serial;    // empty: derived from the address
    QString name;      // empty: "Q7 " + serial
    uint64_t seed = 1; // with serial, take and frame number decides every picture
    QString res = QStringLiteral("640x480");
    int metaSize = 32;                 // bytes of each frame's metadata block, at least 32
    uint64_t memoryBytes = 4ULL << 30; // frame memory shared by the partitions
    int brefSlots = 8;                 // black references the camera can keep
    int brefDurationMs = 400;          // how long taking a black reference lasts
    // The camera's clock runs this far ahead of true time (negative: behind),
    // from start-up on and after the program sets it to its own time in
    // whole seconds: the error such a set leaves, or clocks never synchronised.
    int64_t clockOffsetNs = 0;

    // The SSD: capacity (0, the default: the slot is empty), how long each mounting and
    // ejecting step and a format take, and how fast saves are written.
    uint64_t ssdBytes = 0;
    int ssdStepMs = 300;
    int ssdFormatMs = 1000;
    int64_t ssdWriteBytesPerSecond = 400LL << 20;
    // An idle SSD takes this long to begin writing a save (ssd/wr_state stays 0 meanwhile).
    int ssdSaveStartMs = 0;
    // Older SSD firmware: features/ssd-save 1, and no ssd/wr_seq nor ssd/progress
    // (it stays 0); a save shows only as ssd/wr_state while it is written.
    bool ssdOldFirmware = false;

    // Frame transfers share this many bytes per second (0: as fast as the
    // host allows); firmware uploads are read at their own rate, and an
    // installation (firmware level 2 and above) holds the upload's answer.
    int64_t xferBytesPerSecond = 0;
    int64_t fwUploadBytesPerSecond = 0;
    int fwInstallMs = 3000;

    // Older firmware: year offset under time/, numeric fw_ver, no valid_format.
    bool oldFirmware = false;
    // Frame transfer size headers: "Img-" (default), "Fr-", or both.
    enum class SizeHeaders { Img, Fr, Both };
    SizeHeaders sizeHeaders = SizeHeaders::Img;

    // Print each request received on stderr (demos, debugging).
    bool printRequests = false;

    // UDP discovery: listen for "VORN_BCAST\n" on this address (for example the
    // wildcard 0.0.0.0 or the network's broadcast address); empty turns it off,
    // DiscoveryOnCameraNetwork listens on the broadcast address of the network
    // that holds the camera's address (or, without one, on the address itself).
    static constexpr const char* DiscoveryOnCameraNetwork = "network";
    QString discoveryListen;
    uint16_t discoveryPort = 8890;

    QString effectiveSerial() const;
    QString effectiveName() const;
};

} // namespace q7sim
