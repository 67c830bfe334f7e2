#pragma once

#include <QString>

namespace tess::platform {

/// Modal message boxes with one fixed sentence each. The captions are
/// "Warning", "Information", "Error" and "Confirm".
class Prompts
{
public:
    virtual ~Prompts() = default;
    virtual void warning(const QString& text) = 0;
    virtual void information(const QString& text) = 0;
    virtual void error(const QString& text) = 0;
    /// OK/Cancel; true for OK.
    virtual bool confirm(const QString& text) = 0;
};

} // namespace tess::platform
