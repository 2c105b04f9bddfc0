#include "app/instanceguard.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

QString instanceGuardName()
{
    const QString name = qEnvironmentVariable("SONDARYK_INSTANCE_NAME");
    return name.isEmpty() ? QStringLiteral("Sondaryk.exe") : name;
}

// An abstract-namespace Unix socket: no file is left behind, and the name is per user.
InstanceGuard::InstanceGuard(const QString &name)
{
    const QByteArray abstractName = (name + QLatin1Char('.') + QString::number(getuid())).toUtf8();
    m_socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_socket < 0)
        return; // no guard at all: the program runs unguarded

    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t length = std::min<size_t>(abstractName.size(), sizeof(address.sun_path) - 1);
    std::memcpy(address.sun_path + 1, abstractName.constData(), length);
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (::bind(m_socket, reinterpret_cast<sockaddr *>(&address), size) != 0) {
        m_taken = (errno == EADDRINUSE);
        ::close(m_socket);
        m_socket = -1;
    }
}

InstanceGuard::~InstanceGuard()
{
    if (m_socket >= 0)
        ::close(m_socket);
}
