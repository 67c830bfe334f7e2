#include "tests/support/ScriptedPlatform.h"

namespace tess::test {

namespace {
template <typename T> T answer(QQueue<T>& queue)
{
    return queue.isEmpty() ? T{} : queue.dequeue();
}
} // namespace

QStringList ScriptedPrompts::texts() const
{
    QStringList out;
    for (const Message& m : shown)
        out.append(m.text);
    return out;
}

std::optional<QString> ScriptedDialogs::openPhoto(const QString& initialFolder)
{
    asked.append(QStringLiteral("openPhoto ") + initialFolder);
    return answer(openPhotoAnswers);
}

QStringList ScriptedDialogs::openPhotos(const QString& initialFolder)
{
    asked.append(QStringLiteral("openPhotos ") + initialFolder);
    return answer(openPhotosAnswers);
}

std::optional<QString> ScriptedDialogs::savePhotoAs(const QString& initialFolder)
{
    asked.append(QStringLiteral("savePhotoAs ") + initialFolder);
    return answer(savePhotoAnswers);
}

std::optional<QString> ScriptedDialogs::openProfile(const QString& title,
                                                    const QString& initialFolder)
{
    asked.append(QStringLiteral("openProfile ") + title + u' ' + initialFolder);
    return answer(openProfileAnswers);
}

std::optional<QString> ScriptedDialogs::saveProfile(const QString& title,
                                                    const QString& initialFolder)
{
    asked.append(QStringLiteral("saveProfile ") + title + u' ' + initialFolder);
    return answer(saveProfileAnswers);
}

std::optional<platform::FontChoice> ScriptedDialogs::chooseFont(const platform::FontChoice& current)
{
    asked.append(QStringLiteral("font ") + current.face);
    return answer(fontAnswers);
}

std::optional<quint32> ScriptedDialogs::chooseColor(quint32 current)
{
    asked.append(QStringLiteral("color ") + QString::number(current, 16));
    return answer(colorAnswers);
}

std::optional<QString> ScriptedDialogs::chooseFolder(const QString& caption,
                                                     const QString& initialFolder)
{
    asked.append(QStringLiteral("chooseFolder ") + caption + u' ' + initialFolder);
    return answer(folderAnswers);
}

std::optional<platform::PrinterMetrics> ScriptedPrinter::metrics()
{
    if (!portrait || orientation == platform::PageOrientation::Portrait)
        return portrait;
    return turned(*portrait);
}

platform::PrinterMetrics ScriptedPrinter::turned(platform::PrinterMetrics m)
{
    std::swap(m.physicalWidth, m.physicalHeight);
    std::swap(m.physicalOffsetX, m.physicalOffsetY);
    std::swap(m.printableWidth, m.printableHeight);
    std::swap(m.dpiX, m.dpiY);
    return m;
}

bool ScriptedPrinter::setup()
{
    ++setupShown;
    const bool ok = answer(setupAnswers);
    if (ok && onSetup)
        onSetup(*this);
    return ok;
}

platform::PrintResult ScriptedPrinter::printPage(const QString& title, const QPicture& page,
                                                 const QRect& target)
{
    if (jobError)
        return {false, *jobError};
    if (!portrait)
        return {false, QStringLiteral("There is no printer installed.")};
    jobs.append({title, page, target});
    return {};
}

platform::PrinterMetrics ScriptedPrinter::letter(int dpi, int border, int numColors)
{
    platform::PrinterMetrics m;
    m.physicalWidth = dpi * 17 / 2;
    m.physicalHeight = dpi * 11;
    m.physicalOffsetX = border;
    m.physicalOffsetY = border;
    m.printableWidth = m.physicalWidth - 2 * border;
    m.printableHeight = m.physicalHeight - 2 * border;
    m.dpiX = dpi;
    m.dpiY = dpi;
    m.numColors = numColors;
    return m;
}

ScriptedPlatform::ScriptedPlatform(const QString& documents)
{
    folders.documents = documents;
}

platform::Platform ScriptedPlatform::platform()
{
    return platform::Platform{&prompts, &clock, &folders, &dialogs, &shell, &printer, &systemInfo};
}

} // namespace tess::test
