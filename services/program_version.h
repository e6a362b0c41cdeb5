// The program's product version a.b.c.d; the fourth part is the build number
// the update check compares.
#pragma once

#include <QString>

struct ProductVersion {
    int major = 0;
    int minor = 0;
    int third = 0;
    int build = 0;  // the low 16 bits of the fourth part

    bool operator==(const ProductVersion&) const = default;
};

// "a.b.c.d"; missing or unreadable parts read as 0.
ProductVersion ParseProductVersion(const QString& text);

// The version this build was made with.
ProductVersion ProgramVersion();
