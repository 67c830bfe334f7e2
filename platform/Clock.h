#pragma once

#include <QDateTime>
#include <QString>

namespace tess::platform {

/// The local clock and the regional date and time separators.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    virtual QString dateSeparator() const = 0;
    virtual QString timeSeparator() const = 0;
};

/// The system clock; the separators come from the system locale's short formats.
class SystemClock : public Clock
{
public:
    QDateTime now() const override;
    QString dateSeparator() const override;
    QString timeSeparator() const override;
};

} // namespace tess::platform
