#include "app/workspace/Workspace.h"
