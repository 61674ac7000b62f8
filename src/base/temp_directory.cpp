#include "base/temp_directory.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tavelio {
namespace {

// The signal handlers need to find the live directories without calling anything that is not
// async-signal-safe, so each private directory is entered in this fixed table: its open descriptor
// and its path, written before the descriptor is published. This is the only static state of the
// temporary directory; a process has one directory, the table's spare entries are for tests. An
// entry's descriptor is claimed by exchanging it for -1, so exactly one of Remove() and a handler
// empties a directory.
struct SignalEntry {
    std::atomic<bool> taken{false};
    std::atomic<int> dirFd{-1};
    char path[PATH_MAX] = {};
};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

constexpr std::size_t kEntries = 8;
std::array<SignalEntry, kEntries> signalEntries;

// Removes the files in the directory open as dirFd, then the directory at path. Only
// async-signal-safe calls: POSIX lists no call that reads a directory, and readdir may allocate,
// so the entries come from getdents64, a plain system call that keeps no state in the process.
// Entries are unlinked while the listing is read, which may make the listing skip some, so the
// listing is read again until a pass removes nothing; a bound keeps a racing writer from holding
// the process here.
void EmptyAndRemove(int dirFd, const char* path) {
    alignas(dirent64) char buffer[4096];
    for (int pass = 0; pass < 16; ++pass) {
        bool removedAny = false;
        if (::lseek(dirFd, 0, SEEK_SET) != 0) {
            break;
        }
        for (;;) {
            const ssize_t got = ::getdents64(dirFd, buffer, sizeof buffer);
            if (got <= 0) {
                break;
            }
            for (ssize_t at = 0; at < got;) {
                const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
                at += entry->d_reclen;
                const char* name = entry->d_name;
                if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
                    continue;
                }
                if (::unlinkat(dirFd, name, 0) == 0 ||
                    (errno == EISDIR && ::unlinkat(dirFd, name, AT_REMOVEDIR) == 0)) {
                    removedAny = true;
                }
            }
        }
        if (!removedAny) {
            break;
        }
    }
    ::rmdir(path);
}

extern "C" void OnTerminatingSignal(int signalNumber) {
    for (SignalEntry& entry : signalEntries) {
        const int fd = entry.dirFd.exchange(-1);
        if (fd >= 0) {
            EmptyAndRemove(fd, entry.path);
            ::close(fd);
        }
    }
    // End the process by the same signal, as if it had never been caught: the signal is blocked
    // while this handler runs, so the raised one is delivered with the default action on return.
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    ::sigaction(signalNumber, &defaultAction, nullptr);
    ::raise(signalNumber);
}

// Installs the handler for SIGINT and SIGTERM once per process, leaving alone a signal that is
// ignored (as for a program started in the background) or already handled by someone else.
void InstallSignalHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int signalNumber : {SIGINT, SIGTERM}) {
            struct sigaction previous {};
            if (::sigaction(signalNumber, nullptr, &previous) != 0 ||
                (previous.sa_flags & SA_SIGINFO) != 0 || previous.sa_handler != SIG_DFL) {
                continue;
            }
            struct sigaction action {};
            action.sa_handler = OnTerminatingSignal;
            sigemptyset(&action.sa_mask);
            sigaddset(&action.sa_mask, SIGINT);
            sigaddset(&action.sa_mask, SIGTERM);
            action.sa_flags = SA_RESTART;
            ::sigaction(signalNumber, &action, nullptr);
        }
    });
}

// Enters a directory in the table; -1 when the table is full or the path does not fit.
int EnterForSignals(int dirFd, const std::string& path) {
    if (path.size() >= PATH_MAX) {
        return -1;
    }
    for (std::size_t i = 0; i < kEntries; ++i) {
        bool expected = false;
        if (signalEntries[i].taken.compare_exchange_strong(expected, true)) {
            std::memcpy(signalEntries[i].path, path.c_str(), path.size() + 1);
            signalEntries[i].dirFd.store(dirFd);
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::string Absolute(const std::string& path) {
    if (path.empty() || path.front() == '/') {
        return path;
    }
    std::vector<char> cwd(PATH_MAX);
    if (::getcwd(cwd.data(), cwd.size()) == nullptr) {
        return path;
    }
    return std::string(cwd.data()) + "/" + path;
}

// Makes a private directory tavelio-XXXXXX inside parent; its path without the trailing slash, or
// empty when it can't be made.
std::string MakePrivateDirectory(const std::string& parent) {
    if (parent.empty()) {
        return {};
    }
    std::string name = WithoutTrailingSlashes(Absolute(parent));
    name += (name == "/" ? "" : "/");
    name += "tavelio-XXXXXX";
    if (::mkdtemp(name.data()) == nullptr) {
        return {};
    }
    return name;
}

// Creates each missing folder on path with mode 0700; true when path is then a folder.
bool MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

TempLocations TempLocations::FromEnvironment() {
    auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value != nullptr ? value : "");
    };
    TempLocations where;
    where.tmpDir = variable("TMPDIR");
    if (where.tmpDir.empty()) {
        where.tmpDir = "/tmp";
    }
    where.runtimeDir = variable("XDG_RUNTIME_DIR");
    const std::string home = variable("HOME");
    if (!home.empty()) {
        where.cacheDir = WithoutTrailingSlashes(home) + "/.cache/tavelio";
    }
    return where;
}

TempDirectory::TempDirectory(const TempLocations& where) {
    std::string directory = MakePrivateDirectory(where.tmpDir);
    if (directory.empty()) {
        directory = MakePrivateDirectory(where.runtimeDir);
    }
    const std::string cacheDir = WithoutTrailingSlashes(Absolute(where.cacheDir));
    if (directory.empty() && !cacheDir.empty() && MakeFolders(cacheDir)) {
        directory = MakePrivateDirectory(cacheDir);
    }
    if (!directory.empty()) {
        dirFd_ = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (dirFd_ < 0) {
            ::rmdir(directory.c_str());
            directory.clear();
        }
    }
    if (directory.empty()) {
        path_ = (cacheDir.empty() ? WithoutTrailingSlashes(where.tmpDir) : cacheDir) + "/";
        return;
    }
    path_ = directory + "/";
    InstallSignalHandlers();
    slot_ = EnterForSignals(dirFd_, directory);
}

TempDirectory::~TempDirectory() {
    Remove();
}

void TempDirectory::Remove() {
    if (dirFd_ < 0) {
        return;
    }
    // With the signals held back here, a handler running on this thread can't meet a half-removed
    // directory; a signal that arrives meanwhile is handled when the mask is restored.
    sigset_t terminating;
    sigset_t previous;
    sigemptyset(&terminating);
    sigaddset(&terminating, SIGINT);
    sigaddset(&terminating, SIGTERM);
    ::pthread_sigmask(SIG_BLOCK, &terminating, &previous);

    const int fd = slot_ >= 0 ? signalEntries[slot_].dirFd.exchange(-1) : dirFd_;
    if (fd >= 0) {
        const std::string directory = WithoutTrailingSlashes(path_);
        EmptyAndRemove(fd, directory.c_str());
        ::close(fd);
    }
    if (slot_ >= 0) {
        signalEntries[slot_].taken.store(false);
        slot_ = -1;
    }
    dirFd_ = -1;

    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

} // namespace tavelio
