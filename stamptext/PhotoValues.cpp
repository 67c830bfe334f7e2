#include "stamptext/PhotoValues.h"
