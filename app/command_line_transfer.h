// A transfer given on the command line: the files go from the computer
// source (or the titles from the video DVD source) to the named target,
// unattended, and the program then ends.
#pragma once

class CExCommandLineInfo;

enum TransferExitStatus : int {
    EXIT_ALL_TRANSFERRED = 0,
    EXIT_SOME_NOT_TRANSFERRED = 1,  // refused or failed
    EXIT_CANNOT_TRANSFER = 2,       // bad command line, unknown or unavailable target
};

// Runs the transfer in the task list (with a display) or in the terminal.
// The media engine must be started.
int RunCommandLineTransfer(const CExCommandLineInfo& info);
