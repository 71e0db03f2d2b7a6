#include "picture/OutlineTracer.h"
