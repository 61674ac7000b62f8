// The directory for the run's temporary files (the font file and the page picture), named by
// TempDir: the files are TempDir followed directly by their names, so Path() ends in "/".
//
// Each run gets a directory of its own, made with mkdtemp (mode 0700, "tavelio-XXXXXX") under
// $TMPDIR, or /tmp when that is unset or empty. Nobody else can create or replace a file in it, so
// the fixed file names can't be turned into links to other files. Where that directory can't be
// made, the same kind of private directory is made inside $XDG_RUNTIME_DIR, and failing that
// inside ~/.cache/tavelio/ (created, mode 0700, when missing). Those fallback folders themselves
// stay; only the run's directory inside them is removed. When no private directory can be made at
// all, Path() is ~/.cache/tavelio/ itself (the temporary-files folder when there is no home),
// IsPrivate() is false, the program's own file operations there report their errors as usual, and
// Remove() leaves the folder and its files alone.
//
// The run's directory and whatever is left in it are removed by Remove() or the destructor, and
// also when the process is ended by SIGINT or SIGTERM: the first TempDirectory installs handlers
// for those two signals (unless the signal is ignored or already has a handler) that empty and
// remove every live private directory with async-signal-safe calls and then end the process by the
// same signal with its default action. Files directly in the directory are removed; the program
// makes no subdirectories there, and an empty one is removed too.
#pragma once

#include <string>

namespace tavelio {

// Where to look for a place for the directory; FromEnvironment reads the variables named above.
struct TempLocations {
    std::string tmpDir;     // $TMPDIR, or "/tmp"
    std::string runtimeDir; // $XDG_RUNTIME_DIR; empty when unset
    std::string cacheDir;   // $HOME/.cache/tavelio; empty without a home

    static TempLocations FromEnvironment();
};

class TempDirectory {
public:
    explicit TempDirectory(const TempLocations& where = TempLocations::FromEnvironment());
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    // The directory with a trailing "/".
    const std::string& Path() const { return path_; }

    // True when Path() is the run's own directory, which Remove() deletes.
    bool IsPrivate() const { return dirFd_ >= 0; }

    // Removes the run's directory with every file in it. Calling it again does nothing.
    void Remove();

private:
    std::string path_;
    int dirFd_ = -1; // the private directory, open until it is removed
    int slot_ = -1;  // its entry in the signal handlers' table; -1 when the table was full
};

} // namespace tavelio
