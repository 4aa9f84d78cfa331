#include "placeholders.h"

std::int32_t EditDotLength = 0;
std::int32_t EditKeyGap = -1;
