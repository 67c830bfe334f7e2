#pragma once

#include <QObject>

namespace tess {
class Workspace : public QObject
{
    Q_OBJECT
};
} // namespace tess
