// A tool that reaches for the handle widgets instead of its context.
#include "canvas/EditHandles.h"
