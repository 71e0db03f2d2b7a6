// A tool that reaches for the window's session instead of its context.
#include "app/EditorSession.h"
