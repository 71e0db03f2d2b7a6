#include "tools/TraceTool.h"
