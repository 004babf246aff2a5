#pragma once

#include <QString>

namespace q7sim {

// The directed broadcast address of the interface that holds an IPv4 address;
// empty when no interface holds it or it cannot broadcast (loopback).
QString broadcastAddressOf(const QString& address);

} // namespace q7sim
