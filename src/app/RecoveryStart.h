#pragma once

namespace korvane {

class MainWindow;
class RecoveryKeeper;

// Gives the window its recovery file: the keeper (owned by the window) writes
// the unsaved map there and can put a recovered map into the window.
RecoveryKeeper* attachRecovery(MainWindow& window);

} // namespace korvane
