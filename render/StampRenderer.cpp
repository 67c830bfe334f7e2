#include "render/StampRenderer.h"
