#include "stamptext/StampMask.h"
