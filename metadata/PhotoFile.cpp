#include "metadata/PhotoFile.h"
