#include "profiles/AttributeProfile.h"
