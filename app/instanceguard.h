// Lets only one copy of the program run per user. The first copy holds a name for its lifetime;
// the kernel drops it when the process ends in any way, so a crashed copy never blocks a new start.
#pragma once

#include <QString>

// The name the program's copies share: "Sondaryk.exe", or SONDARYK_INSTANCE_NAME when set, so
// that tests run beside a teacher's open copy without either seeing the other.
QString instanceGuardName();

class InstanceGuard
{
public:
    explicit InstanceGuard(const QString &name);
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard &) = delete;
    InstanceGuard &operator=(const InstanceGuard &) = delete;

    // True when another running copy already holds the name.
    bool anotherInstanceRuns() const { return m_taken; }

private:
    int m_socket = -1;
    bool m_taken = false;
};
