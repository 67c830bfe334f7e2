#include "platform/qt/CupsQueue.h"

#if defined(TESS_HAVE_CUPS)
#include <cerrno>
#include <cstring>
#include <cups/cups.h>
#endif

namespace tess::platform::cups {

#if defined(TESS_HAVE_CUPS)

namespace {

/// The queue's destination record, freed when it goes.
class Destination
{
public:
    explicit Destination(const QString& queue)
        : m_dest(cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.toLocal8Bit().constData(), nullptr))
    {}
    ~Destination()
    {
        if (m_dest)
            cupsFreeDests(1, m_dest);
    }
    Destination(const Destination&) = delete;
    Destination& operator=(const Destination&) = delete;
    cups_dest_t* get() const { return m_dest; }

private:
    cups_dest_t* m_dest;
};

} // namespace

int defaultResolution(const QString& queue)
{
    const Destination dest(queue);
    if (!dest.get())
        return 0;
    cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get());
    if (!info)
        return 0;
    int dpi = 0;
    if (ipp_attribute_t* attr =
            cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest.get(), info, "printer-resolution")) {
        ipp_res_t units = IPP_RES_PER_INCH;
        int y = 0;
        const int x = ippGetResolution(attr, 0, &y, &units);
        dpi = units == IPP_RES_PER_CM ? (x * 254 + 50) / 100 : x;
    }
    cupsFreeDestInfo(info);
    return dpi > 0 ? dpi : 0;
}

QString serverUnreachable()
{
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                10000, nullptr);
    if (http) {
        httpClose(http);
        return QString();
    }
    // Closing the failed connection clobbers errno; libcups keeps the reason.
    const int error = errno;
    QString reason = QString::fromUtf8(cupsLastErrorString());
    if (reason.isEmpty())
        reason = QString::fromLocal8Bit(std::strerror(error));
    return QStringLiteral("The print system (%1) cannot be reached: %2.")
        .arg(QString::fromLocal8Bit(cupsServer()), reason);
}

QString unreachable(const QString& queue)
{
    if (const QString reason = serverUnreachable(); !reason.isEmpty())
        return reason;
    const Destination dest(queue);
    if (dest.get())
        return QString();
    const QString reason = QString::fromUtf8(cupsLastErrorString());
    if (cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE && !reason.isEmpty())
        return reason;
    return QStringLiteral("The printer \"%1\" is not known to the print system.").arg(queue);
}

QString lastRefusal()
{
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return QString();
    const QString reason = QString::fromUtf8(cupsLastErrorString());
    return reason.isEmpty() ? QStringLiteral("The print system refused the job.") : reason;
}

#else

int defaultResolution(const QString&)
{
    return 0;
}

QString serverUnreachable()
{
    return QString();
}

QString unreachable(const QString&)
{
    return QString();
}

QString lastRefusal()
{
    return QString();
}

#endif

} // namespace tess::platform::cups
