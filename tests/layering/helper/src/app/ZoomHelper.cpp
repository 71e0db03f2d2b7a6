// A helper beside the window reaches it through the view, not its header.
#include "app/MainWindow.h"
