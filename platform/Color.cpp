#include "platform/Color.h"
