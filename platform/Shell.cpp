#include "platform/Dialogs.h"
#include "platform/Prompts.h"

namespace tess::platform {

void openUrlOrTell(Shell& shell, Prompts& prompts, const QString& url)
{
    if (!shell.openUrl(url))
        prompts.information(
            QStringLiteral("No web browser could be started. The page's address is %1").arg(url));
}

void openDocumentOrTell(Shell& shell, Prompts& prompts, const QString& path)
{
    if (!shell.openDocument(path))
        prompts.information(
            QStringLiteral("No program could be started to open the file. It is %1").arg(path));
}

} // namespace tess::platform
