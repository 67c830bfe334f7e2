#pragma once

#include "app/attributes/StampAttributes.h"
