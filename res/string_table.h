// The program's texts, by the numbers the rest of the code cites them with.
// "§APPNAME§" in a text stands for the application name (string 57344).
#pragma once

#include <QString>
#include <QStringList>

// Text ids used in more than one place.
enum StringId : int {
    IDS_OLE_INIT_FAILED = 100,
    IDS_UNTITLED_VOLUME = 103,
    IDS_UPDATE_LANGUAGE = 105,
    IDS_SOURCE = 129,
    IDS_MY_COMPUTER = 197,
    IDS_VIDEO_DVD = 198,
    IDS_TRANSFERS_LEFT = 218,
    IDS_TRANSFER_ERROR = 219,
    IDS_NO_DISC = 221,
    IDS_NAME = 222,
    IDS_AUDIO_CD = 229,
    IDS_VIDEO_LIST_MENU = 231,
    IDS_STOP = 238,
    IDS_PLAY = 241,
    IDS_YOUTUBE = 243,
    IDS_YES = 267,
    IDS_NO = 268,
    IDS_UNABLE_TO_SEND = 280,
    IDS_SLIDE_SHOW = 289,
    IDS_NONE_MARKED = 293,
    IDS_TRANSFERRING = 294,
    IDS_FORMAT_NOT_SUPPORTED = 300,
    IDS_EDIT_MENU = 306,
    IDS_NETBOOK = 309,
    IDS_FIRST_LANGUAGE = 2000,
    IDS_UNSPECIFIED_LANGUAGE = 2144,
    IDS_AAC_ENCODER = 10006,
    IDS_AVC_ENCODER = 10007,
    IDS_MPEG4_PART2_ENCODER = 10008,
    IDS_OPTIMIZED_FOR_NETBOOKS = 10009,
    IDS_COMPUTER_PLAYBACK = 10010,
    IDS_AUDIO_CD_COMPATIBLE = 10062,
    IDS_MP3_ENCODER = 10063,
    IDS_PCM_AUDIO = 10064,
    IDS_BEST_QUALITY_720 = 10070,
    IDS_HIGH_QUALITY_640 = 10071,
    IDS_FAIR_QUALITY_320 = 10072,
    IDS_WMA_ENCODER = 10073,
    IDS_WMV_ENCODER = 10074,
    IDS_APPNAME = 57344,
};

// The text with that id, "§APPNAME§" already replaced; empty for an unknown id.
QString LoadString(int id);

// Replaces every "§APPNAME§" with the application name.
QString ReplaceAppName(QString text);

// The application name, string 57344.
QString AppName();

// The text with its printf-style conversions (%s, %d, %c, %f with the flags
// "-" and "0", a width and a precision, as in "%.2d" or "%.2f") filled, in
// order, with the given values; numeric conversions read their value as a
// number and print a value that is none as it is. "%%" is a percent sign.
QString FormatString(int id, const QStringList& values);
