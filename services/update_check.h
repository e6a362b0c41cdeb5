// The update check at start-up: asks the update server for a newer build
// and, when there is one, offers it in the update dialog.
#pragma once

// True when a setup program was downloaded and opened, so the program should
// end and let it replace this build. Without a display nobody could answer
// the dialog, so a newer build is not offered there.
bool RunUpdateCheck();
