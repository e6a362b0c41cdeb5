// The programs that come with this one (a player and a video editor), run
// from the program's own folder when they are there.
#pragma once

#include <QString>

// Starts the video editor with the file (none: empty); false when the editor
// is not installed beside the program or could not be started.
bool LaunchVideoEditor(const QString& file);

// Plays a media file: in the player beside the program when there is one,
// else in the desktop's default application for the file.
bool PlayMediaFile(const QString& file);
