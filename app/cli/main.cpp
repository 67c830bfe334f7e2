// tessarine-cli: the photo value table, mask expansion and batch stamping of the program,
// from the shell. `tessarine-cli help` lists the commands, `tessarine-cli COMMAND --help`
// describes one.
//
// Exit status: 0 on success; 1 when a batch left some photo unstamped (see its log);
// 2, with one line on standard error, for bad usage, a missing or undecodable photo, or a
// batch that could not start.

#include "batch/BatchRun.h"
#include "batch/BatchSetup.h"
#include "metadata/PhotoFile.h"
#include "platform/Clock.h"
#include "platform/Folders.h"
#include "stamptext/PhotoValues.h"
#include "stamptext/StampMask.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unistd.h>

using namespace tess;

namespace {

constexpr int Stamped = 0;
constexpr int NotAllStamped = 1;
constexpr int UsageError = 2;

const char Overview[] =
    "usage: tessarine-cli COMMAND [options] ARGUMENTS\n"
    "\n"
    "Commands:\n"
    "  values   print the photo value table of a photo, one tag=value line per entry\n"
    "  expand   print stamp masks expanded with the values of a photo\n"
    "  batch    stamp JPEG photos with a saved attribute profile, as the Batch Stamp\n"
    "           dialog does\n"
    "  help     this text, or with a COMMAND the description of that command\n"
    "\n"
    "tessarine-cli COMMAND --help describes COMMAND and every option it takes.\n"
    "Exit status: 0 on success, 1 when a batch left some photo unstamped, 2 for bad usage,\n"
    "a missing or undecodable photo, or a batch that could not start.\n";

void write(FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

void writeLine(FILE* stream, const QString& line)
{
    write(stream, line + u'\n');
}

int fail(const QString& message)
{
    writeLine(stderr, QStringLiteral("tessarine-cli: ") + message);
    return UsageError;
}

/// A command: its option parser, its help text and what it does with the parsed arguments.
struct Command
{
    QString name;
    QString summary;
    QCommandLineParser parser;

    QString help() const
    {
        // The parser's usage line names the program by its path; it gets the command instead.
        QString text = parser.helpText();
        const qsizetype options = text.indexOf(QStringLiteral(" [options]"));
        if (options >= 0)
            text.replace(0, options, QStringLiteral("Usage: tessarine-cli ") + name);
        return text;
    }
};

const QCommandLineOption HelpOption({QStringLiteral("h"), QStringLiteral("help")},
                                    QStringLiteral("Describes this command and its options."));
const QCommandLineOption DateFormatsOption(
    QStringLiteral("date-formats"),
    QStringLiteral("The date format indices (0 to 8, those of the Options dialog) of EXIF "
                   "Date Time, Original Date Time, Created Date Time and the other date "
                   "fields. Default: 0,0,0,0."),
    QStringLiteral("A,B,C,D"), QStringLiteral("0,0,0,0"));
const QCommandLineOption OverwriteOption(
    QStringLiteral("overwrite"),
    QStringLiteral("Replace copies already in DESTFOLDER (a copy this run has written is "
                   "never replaced)."));
const QCommandLineOption LosslessOption(
    QStringLiteral("lossless"),
    QStringLiteral("Keep each photo's own compression outside the stamp where the profile does "
                   "not adjust the photo; the JPEG quality then applies only to the stamp's "
                   "blocks. The log says which photos kept it."));
const QCommandLineOption JobsOption({QStringLiteral("j"), QStringLiteral("jobs")},
                                    QStringLiteral("Stamp N photos at the same time. Default: "
                                                   "the number of processor cores."),
                                    QStringLiteral("N"));
const QCommandLineOption
    QuietOption({QStringLiteral("q"), QStringLiteral("quiet")},
                QStringLiteral("Print nothing on standard error while the photos are stamped."));
const QCommandLineOption LogOption(
    QStringLiteral("log"),
    QStringLiteral("Write the result log to FILE instead of batchlog.txt in the data folder."),
    QStringLiteral("FILE"));
const QCommandLineOption RecursiveOption(
    {QStringLiteral("r"), QStringLiteral("recursive")},
    QStringLiteral("Search the folders among the arguments and all folders below them for "
                   "JPEG files, not only the folders themselves."));

void setUp(Command& command, const QString& description)
{
    command.parser.setApplicationDescription(description);
    command.parser.addOption(HelpOption);
}

void setUpValues(Command& command)
{
    command.name = QStringLiteral("values");
    setUp(command, QStringLiteral("Prints the photo value table of PHOTO, one tag=value line "
                                  "per entry in table order."));
    command.parser.addOption(DateFormatsOption);
    command.parser.addPositionalArgument(QStringLiteral("PHOTO"),
                                         QStringLiteral("The photo (JPEG or another picture)."));
}

void setUpExpand(Command& command)
{
    command.name = QStringLiteral("expand");
    setUp(command,
          QStringLiteral("Prints each MASK expanded with the values of PHOTO, one line each. "
                         "Put -- before masks that begin with -."));
    command.parser.addOption(DateFormatsOption);
    command.parser.addPositionalArgument(QStringLiteral("PHOTO"),
                                         QStringLiteral("The photo (JPEG or another picture)."));
    command.parser.addPositionalArgument(QStringLiteral("MASK"),
                                         QStringLiteral("Stamp masks such as \"[make_exif]\"."),
                                         QStringLiteral("MASK..."));
}

void setUpBatch(Command& command)
{
    command.name = QStringLiteral("batch");
    setUp(command,
          QStringLiteral(
              "Stamps the JPEG photos with the attribute profile PROFILE and saves the "
              "stamped copies under their own names in DESTFOLDER, carrying their metadata. "
              "Each photo's result goes to standard error as it is done (a progress bar when "
              "standard error is a terminal); the summary and the log's path go to standard "
              "output. Arguments that are not JPEG file names are skipped with a line.\n"
              "Exit status: 0 when every photo was stamped, 1 when some were not, 2 for bad "
              "usage or a profile that cannot be read."));
    for (const QCommandLineOption& option :
         {OverwriteOption, LosslessOption, JobsOption, QuietOption, LogOption, RecursiveOption})
        command.parser.addOption(option);
    command.parser.addPositionalArgument(QStringLiteral("PROFILE"),
                                         QStringLiteral("A saved attribute profile (.tsrx)."));
    command.parser.addPositionalArgument(QStringLiteral("DESTFOLDER"),
                                         QStringLiteral("Where the stamped copies go."));
    command.parser.addPositionalArgument(
        QStringLiteral("PHOTO"),
        QStringLiteral("JPEG files (.jpg, .jpeg) and folders to search for them."),
        QStringLiteral("PHOTO|FOLDER..."));
}

/// Sets \a command up for \a name; false for an unknown command.
bool setUpCommand(const QString& name, Command& command)
{
    if (name == u"values")
        setUpValues(command);
    else if (name == u"expand")
        setUpExpand(command);
    else if (name == u"batch")
        setUpBatch(command);
    else
        return false;
    return true;
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

/// values and expand.
int runPhotoCommand(const Command& command)
{
    const QCommandLineParser& parser = command.parser;
    const std::optional<stamptext::DateFormats> formats =
        parseFormats(parser.value(DateFormatsOption));
    if (!formats)
        return fail(QStringLiteral("bad value for --date-formats: %1 (four indices such as "
                                   "0,0,0,0)")
                        .arg(parser.value(DateFormatsOption)));
    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return fail(QStringLiteral("missing PHOTO"));
    const QString photo = positional.takeFirst();
    if (command.name == u"values" && !positional.isEmpty())
        return fail(QStringLiteral("unexpected argument: %1").arg(positional.first()));
    if (command.name == u"expand" && positional.isEmpty())
        return fail(QStringLiteral("missing MASK"));
    if (!QFileInfo(photo).isFile())
        return fail(QStringLiteral("no such file: %1").arg(photo));

    // The picture as the window opens it, so its size is the one a stamp sees.
    const metadata::LoadResult loaded = metadata::loadPhoto(photo);
    if (!loaded.ok())
        return fail(QStringLiteral("not a picture: %1 (%2)").arg(photo, loaded.error));
    const platform::SystemClock clock;
    const stamptext::Separators separators{clock.dateSeparator(), clock.timeSeparator()};
    const stamptext::PhotoValueTable table =
        stamptext::readPhotoValues(photo, loaded.image.size(), *formats, clock.now(), separators);

    if (command.name == u"values") {
        for (const QString& line : table.lines())
            writeLine(stdout, line);
    } else {
        const auto lookup = [&table](const QString& tag) { return table.valueOf(tag); };
        for (const QString& mask : positional)
            writeLine(stdout, stamptext::expandStampMask(mask, lookup));
    }
    return std::fflush(stdout) == 0 ? Stamped : NotAllStamped;
}

/// The JPEG files of \a folder (and the folders below it with \a recursive), sorted by path.
QStringList jpegFilesIn(const QString& folder, bool recursive)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files,
                    recursive ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        const QString path = it.next();
        if (batch::isBatchJpegName(path))
            files.append(QFileInfo(path).absoluteFilePath());
    }
    files.sort();
    return files;
}

/// What a run shows on standard error: a line per photo, or on a terminal a bar with the
/// lines of the photos that were not stamped above it.
class BatchReport
{
public:
    BatchReport(bool quiet, qsizetype count)
        : m_quiet(quiet), m_bar(isatty(fileno(stderr)) != 0), m_count(count)
    {}

    void photoFinished(bool saved, const QString& message)
    {
        ++m_done;
        if (m_quiet)
            return;
        if (!m_bar) {
            writeLine(stderr, message);
            return;
        }
        constexpr int Width = 30;
        // A photo that was not stamped keeps its line above the bar.
        if (!saved)
            write(stderr, QStringLiteral("\r\x1b[K") + message + u'\n');
        const int filled = m_count > 0 ? int(m_done * Width / m_count) : Width;
        write(stderr, QStringLiteral("\r[%1%2] %3 of %4 photos")
                          .arg(QString(filled, u'#'), QString(Width - filled, u' '))
                          .arg(m_done)
                          .arg(m_count));
        if (m_done == m_count)
            write(stderr, QStringLiteral("\n"));
        std::fflush(stderr);
    }

    /// Ends an unfinished bar (after STOP) on its own line.
    void finish()
    {
        if (!m_quiet && m_bar && m_done != m_count)
            write(stderr, QStringLiteral("\n"));
    }

private:
    bool m_quiet;
    bool m_bar;
    qsizetype m_count;
    qsizetype m_done = 0;
};

// Stamps the photos with the profile into DESTFOLDER, as the Batch Stamp dialog does, and
// prints the summary.
int runBatchCommand(const Command& command)
{
    const QCommandLineParser& parser = command.parser;
    batch::BatchJob job;
    job.useProfile = true;
    job.overwrite = parser.isSet(OverwriteOption);
    job.keepOwnCompression = parser.isSet(LosslessOption);
    if (parser.isSet(JobsOption)) {
        bool ok = false;
        job.workers = parser.value(JobsOption).toInt(&ok);
        if (!ok || job.workers < 1)
            return fail(QStringLiteral("bad value for --jobs: %1 (a number of at least 1)")
                            .arg(parser.value(JobsOption)));
    }
    if (parser.isSet(LogOption)) {
        if (parser.value(LogOption).isEmpty())
            return fail(QStringLiteral("--log needs a file name"));
        job.logPath = QFileInfo(parser.value(LogOption)).absoluteFilePath();
        // The run itself loses a line it cannot write; a log asked for by name is checked first.
        QFile log(job.logPath);
        if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
            return fail(
                QStringLiteral("cannot write the log %1: %2").arg(job.logPath, log.errorString()));
    }
    QStringList positional = parser.positionalArguments();
    if (positional.size() < 3)
        return fail(QStringLiteral("batch needs PROFILE DESTFOLDER PHOTO..."));
    job.profilePath = positional.takeFirst();
    const QString folder = positional.takeFirst();
    if (!QFileInfo(folder).isDir())
        return fail(QStringLiteral("no such folder: %1").arg(folder));
    job.destinationFolder = batch::normaliseDestinationFolder(QDir(folder).absolutePath());
    for (const QString& photo : positional) {
        if (QFileInfo(photo).isDir())
            job.files += jpegFilesIn(photo, parser.isSet(RecursiveOption));
        else if (batch::isBatchJpegName(photo))
            job.files.append(QFileInfo(photo).absoluteFilePath());
        else
            writeLine(stderr,
                      QStringLiteral("tessarine-cli: skipped, not a JPEG file: %1").arg(photo));
    }
    if (job.files.isEmpty())
        return fail(QStringLiteral("no JPEG file to stamp"));

    platform::SystemClock clock;
    platform::SystemFolders folders;
    batch::BatchRun run(platform::Platform{nullptr, &clock, &folders, nullptr, nullptr});
    BatchReport report(parser.isSet(QuietOption), job.files.size());
    QObject::connect(&run, &batch::BatchRun::photoFinished,
                     [&report](int, bool saved, const QString& message) {
                         report.photoFinished(saved, message);
                     });
    run.prepare(job);
    if (!run.runBatch())
        return fail(batch::CouldNotStart);
    report.finish();
    writeLine(stdout, run.status());
    writeLine(stdout, QStringLiteral("Log: ") + run.logPath());
    if (std::fflush(stdout) != 0)
        return NotAllStamped;
    return run.stampedCount() == job.files.size() ? Stamped : NotAllStamped;
}

/// `help` and `help COMMAND`.
int runHelp(const QStringList& args)
{
    if (args.isEmpty()) {
        write(stdout, QString::fromLatin1(Overview));
        return Stamped;
    }
    Command command;
    if (args.size() > 1 || !setUpCommand(args.first(), command))
        return fail(QStringLiteral("help takes one of the commands values, expand, batch"));
    write(stdout, command.help());
    return Stamped;
}

} // namespace

int main(int argc, char** argv)
{
    const bool batch = argc > 1 && std::strcmp(argv[1], "batch") == 0;
    std::optional<QGuiApplication> guiApp;
    std::optional<QCoreApplication> coreApp;
    if (batch) {
        // The stamp is drawn by the font engine, which needs a GUI application; it never
        // shows a window, so it needs no display either.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        guiApp.emplace(argc, argv);
    } else {
        coreApp.emplace(argc, argv);
    }
    QStringList args = QCoreApplication::arguments();
    const QString program = args.takeFirst();
    if (args.isEmpty())
        return fail(QStringLiteral("missing command (see tessarine-cli help)"));
    const QString name = args.takeFirst();
    if (name == u"help" || name == u"--help" || name == u"-h")
        return runHelp(args);

    Command command;
    if (!setUpCommand(name, command))
        return fail(QStringLiteral("unknown command: %1 (see tessarine-cli help)").arg(name));
    if (!command.parser.parse(QStringList{program} + args))
        return fail(command.parser.errorText() +
                    QStringLiteral(" (see tessarine-cli %1 --help)").arg(name));
    if (command.parser.isSet(HelpOption)) {
        write(stdout, command.help());
        return Stamped;
    }
    return batch ? runBatchCommand(command) : runPhotoCommand(command);
}
