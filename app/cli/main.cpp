// tessarine-cli: the photo value table and mask expansion of the program, from the shell.
//
//   tessarine-cli values PHOTO [--date-formats A,B,C,D]
//   tessarine-cli expand PHOTO MASK... [--date-formats A,B,C,D]
//   tessarine-cli batch PROFILE DESTFOLDER PHOTO... [--overwrite]
//
// Exit status 0 on success, 2 (with one line on standard error) for a missing photo or a
// bad option or command. batch exits with 1 when some photo was not stamped (see the log).

#include "batch/BatchRun.h"
#include "batch/BatchSetup.h"
#include "platform/Clock.h"
#include "platform/Folders.h"
#include "stamptext/PhotoValues.h"
#include "stamptext/StampMask.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <cstdio>
#include <cstring>
#include <optional>

using namespace tess;

namespace {

constexpr int UsageError = 2;

const char Usage[] = "usage: tessarine-cli values PHOTO [--date-formats A,B,C,D]\n"
                     "       tessarine-cli expand PHOTO MASK... [--date-formats A,B,C,D]\n"
                     "       tessarine-cli batch PROFILE DESTFOLDER PHOTO... [--overwrite]\n";

struct Request
{
    QString command;
    QString photo;
    QStringList masks;
    stamptext::DateFormats formats;
};

void writeLine(FILE* stream, const QString& line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

int fail(const QString& message)
{
    writeLine(stderr, QStringLiteral("tessarine-cli: ") + message);
    return UsageError;
}

// "A,B,C,D": the indices of DateTime, DateTimeOriginal, DateTimeDigitized and the file date.
std::optional<stamptext::DateFormats> parseFormats(const QString& text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    int values[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].toInt(&ok);
        if (!ok || values[i] < 0 || parts[i].trimmed() != parts[i])
            return std::nullopt;
    }
    return stamptext::DateFormats{values[0], values[1], values[2], values[3]};
}

// Fills \a request from the arguments after the program name; an error message on failure.
QString parseArguments(const QStringList& args, Request& request)
{
    if (args.isEmpty())
        return QStringLiteral("missing command (values, expand or batch)");
    request.command = args.first();
    if (request.command != u"values" && request.command != u"expand")
        return QStringLiteral("unknown command: %1").arg(request.command);
    static const QString option = QStringLiteral("--date-formats");
    QStringList positional;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (optionsEnded || !arg.startsWith(u"--")) {
            positional.append(arg);
        } else if (arg == u"--") {
            optionsEnded = true;
        } else if (arg == option || arg.startsWith(option + u'=')) {
            QString value;
            if (arg == option) {
                if (++i == args.size())
                    return QStringLiteral("%1 needs a value").arg(option);
                value = args[i];
            } else {
                value = arg.sliced(option.size() + 1);
            }
            const std::optional<stamptext::DateFormats> formats = parseFormats(value);
            if (!formats)
                return QStringLiteral("bad value for %1: %2 (four indices such as 0,0,0,0)")
                    .arg(option, value);
            request.formats = *formats;
        } else {
            return QStringLiteral("unknown option: %1").arg(arg);
        }
    }
    if (positional.isEmpty())
        return QStringLiteral("missing PHOTO");
    request.photo = positional.takeFirst();
    if (request.command == u"values" && !positional.isEmpty())
        return QStringLiteral("unexpected argument: %1").arg(positional.first());
    if (request.command == u"expand" && positional.isEmpty())
        return QStringLiteral("missing MASK");
    request.masks = positional;
    return {};
}

// Stamps PHOTO... with the profile into DESTFOLDER, as the Batch Stamp dialog does, and
// prints the summary; the result log is the program's own.
int runBatchCommand(const QStringList& args)
{
    batch::BatchJob job;
    job.useProfile = true;
    QStringList positional;
    bool optionsEnded = false;
    for (const QString& arg : args) {
        if (optionsEnded || !arg.startsWith(u"--"))
            positional.append(arg);
        else if (arg == u"--")
            optionsEnded = true;
        else if (arg == u"--overwrite")
            job.overwrite = true;
        else
            return fail(QStringLiteral("unknown option: %1").arg(arg));
    }
    if (positional.size() < 3)
        return fail(QStringLiteral("batch needs PROFILE DESTFOLDER PHOTO..."));
    job.profilePath = positional.takeFirst();
    const QString folder = positional.takeFirst();
    if (!QFileInfo(folder).isDir())
        return fail(QStringLiteral("no such folder: %1").arg(folder));
    job.destinationFolder = batch::normaliseDestinationFolder(QDir(folder).absolutePath());
    for (const QString& photo : positional) {
        if (!batch::isBatchJpegName(photo))
            return fail(QStringLiteral("not a JPEG file name: %1").arg(photo));
        job.files.append(QFileInfo(photo).absoluteFilePath());
    }

    platform::SystemClock clock;
    platform::SystemFolders folders;
    batch::BatchRun run(platform::Platform{nullptr, &clock, &folders, nullptr, nullptr});
    run.prepare(job);
    if (!run.runBatch())
        return fail(batch::CouldNotStart);
    writeLine(stdout, run.status());
    writeLine(stdout, QStringLiteral("Log: ") + run.logPath());
    if (std::fflush(stdout) != 0)
        return 1;
    return run.stampedCount() == job.files.size() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "batch") == 0) {
        // The stamp is drawn by the font engine, which needs a GUI application; it never
        // shows a window, so it needs no display either.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return runBatchCommand(QCoreApplication::arguments().mid(2));
    }

    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.size() == 1 && (args.first() == u"--help" || args.first() == u"-h")) {
        std::fputs(Usage, stdout);
        return 0;
    }

    Request request;
    const QString error = parseArguments(args, request);
    if (!error.isEmpty())
        return fail(error + QStringLiteral(" (see tessarine-cli --help)"));
    if (!QFileInfo(request.photo).isFile())
        return fail(QStringLiteral("no such file: %1").arg(request.photo));

    // The size from the file's header, without decoding the picture.
    const QSize size = QImageReader(request.photo).size();
    const platform::SystemClock clock;
    const stamptext::Separators separators{clock.dateSeparator(), clock.timeSeparator()};
    const stamptext::PhotoValueTable table =
        stamptext::readPhotoValues(request.photo, size.isValid() ? size : QSize(0, 0),
                                   request.formats, clock.now(), separators);

    if (request.command == u"values") {
        for (const QString& line : table.lines())
            writeLine(stdout, line);
    } else {
        const auto lookup = [&table](const QString& tag) { return table.valueOf(tag); };
        for (const QString& mask : request.masks)
            writeLine(stdout, stamptext::expandStampMask(mask, lookup));
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
