// The program's command line: files to transfer, and the switches that
// start with "-" ("/" starts every absolute path here).
//
//   tavimo -sendto=NAME [-format=EXT] [-profile=N] [-outdir=DIR] [-progress=json] FILE...
//   tavimo -source="Video DVD" -drive=PATH [-audio=N] [-subtitles=N] -sendto=NAME [...] TITLE...
//
// -sendto names the target device the files go to; -format, -profile and
// -outdir choose the computer target's format, the current handler's
// profile (from 1) and the folder written to; -progress=json reports on
// stdout in JSON lines for scripts (terminal_task_runner.h). With -source
// the items are the numbers (from 1) of the titles of the DVD in -drive (an
// optical drive's mount point, a folder holding VIDEO_TS or VIDEO_TS
// itself); -audio and -subtitles pick their streams, from 1.
#pragma once

#include <QString>
#include <QStringList>

class CExCommandLineInfo {
public:
    // Parses the arguments after the program's name.
    void Parse(const QStringList& arguments);
    // One argument; flag when it is a switch (given without its "-").
    void ParseParam(const QString& param, bool flag, bool last);

    QStringList files;  // or title numbers with a source
    QString sourceName;  // empty: the files of this computer
    QString drive;
    int audio = 1;      // 1-based
    int subtitles = 0;  // 1-based; 0: none
    QString targetName;  // empty without -sendto
    QString format;      // an extension, lower case; empty: keep the current handler
    int profile = 0;     // 1-based; 0: keep the handler's current profile
    QString outputFolder;
    bool jsonProgress = false;
    bool showHelp = false;
    bool showVersion = false;
    // Why the command line cannot be used; empty when it can.
    QString error;
};

// The --help text.
QString CommandLineUsage();
