#include "adjust/PixelEffects.h"
