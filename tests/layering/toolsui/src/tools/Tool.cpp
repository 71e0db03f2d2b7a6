#include "canvas/Canvas.h"
