#include "NetworkAddresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace q7sim {

QString broadcastAddressOf(const QString& address)
{
    in_addr wanted{};
    if (inet_pton(AF_INET, address.toLatin1().constData(), &wanted) != 1)
        return {};
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return {};
    QString broadcast;
    for (ifaddrs* entry = list; entry && broadcast.isEmpty(); entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET ||
            !(entry->ifa_flags & IFF_BROADCAST) || !entry->ifa_broadaddr)
            continue;
        if (reinterpret_cast<sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr != wanted.s_addr)
            continue;
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(entry->ifa_broadaddr)->sin_addr, text,
                  sizeof text);
        broadcast = QString::fromLatin1(text);
    }
    freeifaddrs(list);
    return broadcast;
}

} // namespace q7sim
