// Hands a downloaded package to the desktop: xdg-open gives it to the
// program the desktop keeps for its type (for a .deb, the package
// installer). Tests put an opener of their own in place with
// ScopedPackageOpener, so that no test launches anything.
// User-interface thread only.
#pragma once

#include <QString>
#include <functional>

// True when the desktop took the file.
using PackageOpener = std::function<bool(const QString& path)>;

// Opens `path` through the current opener (xdg-open unless a test replaced
// it). xdg-open's exit status 0 means the desktop took the file; one still
// running after five seconds is busy with it (without a desktop environment
// it runs the installer itself), which counts as taken too. Blocks until then.
bool OpenPackage(const QString& path);

class ScopedPackageOpener {
public:
    explicit ScopedPackageOpener(PackageOpener opener);
    ~ScopedPackageOpener();
    ScopedPackageOpener(const ScopedPackageOpener&) = delete;
    ScopedPackageOpener& operator=(const ScopedPackageOpener&) = delete;

private:
    PackageOpener m_previous;
};
