// The hidden "-screenshots=DIR" start: renders the main window and the
// dialogs people ask about into PNG files in DIR, then ends. Used by
// scripts/screenshots; works offscreen.
#pragma once

#include <QString>

// 0 when every picture was saved.
int SaveScreenshots(const QString& folder);
