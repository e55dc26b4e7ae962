// POSIX backend of the file services: Windows paths are mapped to host paths through the
// drive map, attributes are derived the way Wine derives them (dot files are hidden).
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <cerrno>
#include <cstdio>
#include <climits>
#include <cstring>
#include <mutex>

#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/posix/code_page.h"
#include "platform/posix/drive_map.h"

namespace posix_drives {
DriveType TypeOf(char letter);
bool ScriptedFree(char letter, uint64_t& bytes);
}  // namespace posix_drives

namespace {

thread_local int g_lastError = 0;

bool Fail(int error) {
    g_lastError = error;
    return false;
}

std::string LastComponent(const std::string& hostPath) {
    size_t slash = hostPath.find_last_of('/');
    return slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
}

// Dot files are hidden, as Wine shows them.
bool DotHidden(const std::string& name) { return name.size() > 1 && name[0] == '.' && name != ".."; }

uint32_t AttributesOf(const struct stat& st, const std::string& name) {
    uint32_t attrs = 0;
    if (S_ISDIR(st.st_mode))
        attrs |= kAttrFolder;
    else if (S_ISREG(st.st_mode))
        attrs |= kAttrArchive;
    else
        attrs |= kAttrDevice;  // a pipe, socket or device: reading it may never end
    if (!(st.st_mode & S_IWUSR)) attrs |= kAttrReadOnly;
    if (DotHidden(name)) attrs |= kAttrHidden;
    return attrs;
}

bool EndsWithSeparator(const std::string& p) {
    return !p.empty() && (p.back() == '\\' || p.back() == '/');
}

class PosixFile : public IFile {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { Close(); }

    // Only regular files are opened, and a regular file reads short only at its end: asking
    // again there would cost a call per file that can only answer 0.
    int64_t Read(void* buffer, size_t count) override {
        for (;;) {
            ssize_t n = ::read(fd_, buffer, count);
            if (n >= 0) return static_cast<int64_t>(n);
            if (errno == EINTR) continue;
            g_lastError = errno;
            return -1;
        }
    }
    bool Write(const void* buffer, size_t count) override {
        size_t done = 0;
        while (done < count) {
            ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done, count - done);
            if (n < 0) {
                if (errno == EINTR) continue;
                return Fail(errno);
            }
            done += static_cast<size_t>(n);
        }
        return true;
    }
    bool Seek(uint64_t offset) override {
        return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0 || Fail(errno);
    }
    bool SeekToEnd() override { return ::lseek(fd_, 0, SEEK_END) >= 0 || Fail(errno); }
    bool Flush() override { return true; }  // writes go straight to the kernel
    bool Close() override {
        if (fd_ < 0) return true;
        int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0 || Fail(errno);
    }
    uint64_t Length() override {
        struct stat st;
        return ::fstat(fd_, &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
    }
    int Descriptor() const { return fd_; }

private:
    int fd_;
};

// A folder kept open for the files made in it; the last of them to close it closes it.
struct OpenFolder {
    explicit OpenFolder(int descriptor) : fd(descriptor) {}
    ~OpenFolder() { ::close(fd); }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    const int fd;
};

// A file written beside the name it is meant for, which takes that name only when closed
// whole: an existing file is replaced, never written into (another name may share its data),
// and a file left unfinished never stands under the name.
class PosixReplacement : public PosixFile {
public:
    PosixReplacement(int fd, std::shared_ptr<OpenFolder> folder, std::string temporary, std::string name)
        : PosixFile(fd), folder_(std::move(folder)), temporary_(std::move(temporary)), name_(std::move(name)) {}
    ~PosixReplacement() override {
        if (!done_) {
            PosixFile::Close();
            ::unlinkat(folder_->fd, temporary_.c_str(), 0);
        }
    }
    bool Close() override {
        if (done_) return true;
        done_ = true;
        bool ok = PosixFile::Close() && TakeName();
        if (!ok) {
            int error = g_lastError;
            ::unlinkat(folder_->fd, temporary_.c_str(), 0);
            g_lastError = error;
        }
        return ok;
    }

private:
    bool TakeName() {
        int dir = folder_->fd;
        // Where nothing stands at the name, one call both looks and renames, and nothing put
        // there meanwhile is replaced.
        if (::renameat2(dir, temporary_.c_str(), dir, name_.c_str(), RENAME_NOREPLACE) == 0) return true;
        if (errno != EEXIST && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return Fail(errno);
        struct stat st;
        // Something other than a file put at the name meanwhile is left alone.
        if (::fstatat(dir, name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(st.st_mode))
            return Fail(S_ISLNK(st.st_mode) ? ELOOP : ENXIO);
        return ::renameat(dir, temporary_.c_str(), dir, name_.c_str()) == 0 || Fail(errno);
    }

    std::shared_ptr<OpenFolder> folder_;
    std::string temporary_;
    std::string name_;
    bool done_ = false;
};

// Creates a new file of a name no one else uses in dir; -1 (errno set) on failure.
int MakeTemporary(int dir, std::string& name) {
    static std::atomic<unsigned> counter{0};
    static const unsigned process = static_cast<unsigned>(::getpid());
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned n = counter++ * 2654435761u ^ process ^
                     static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
        char text[32];
        std::snprintf(text, sizeof text, ".zembra-%08x.part", n);
        name = text;
        int fd = ::openat(dir, text, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

class PosixFileSystem : public IFileSystem {
public:
    bool GetStatus(const std::string& path, FileStatus& status) override {
        if (EndsWithSeparator(path)) return Fail(ENOENT);
        std::string host = posix_drives::ToHost(path);
        if (host.empty()) return Fail(ENOENT);
        if (path.size() <= 3) return Fail(ENOENT);  // a drive root has no directory entry
        // A link is described by what it points at, and marked as a link.
        struct stat st;
        if (::lstat(host.c_str(), &st) != 0) return Fail(errno);
        uint32_t link = S_ISLNK(st.st_mode) ? uint32_t{kAttrReparsePoint} : 0u;
        if (link && ::stat(host.c_str(), &st) != 0) return Fail(errno);
        status.size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
        status.attributes = AttributesOf(st, LastComponent(host)) | link;
        // Seconds from 1601 to 1970, then 100 ns ticks, as the Windows clock counts.
        constexpr int64_t kEpochDelta = 11644473600LL;
        status.written = (static_cast<int64_t>(st.st_mtim.tv_sec) + kEpochDelta) * 10000000LL + st.st_mtim.tv_nsec / 100;
        return true;
    }

    bool GetAttributes(const std::string& path, uint32_t& attributes) override {
        std::string host = posix_drives::ToHost(path);
        if (host.empty()) return Fail(ENOENT);
        struct stat st;
        if (::stat(host.c_str(), &st) != 0) return Fail(errno);
        attributes = AttributesOf(st, path.size() <= 3 ? std::string() : LastComponent(host));
        return true;
    }

    bool ListFolder(const std::string& pattern,
                    const std::function<bool(const DirEntry&)>& visit) override {
        return List(pattern, visit, false);
    }

    bool ListFolderNames(const std::string& pattern, const std::function<bool(const DirEntry&)>& visit) override {
        return List(pattern, visit, true);
    }

    bool Exists(const std::string& path) override {
        std::string host = posix_drives::ToHost(path);
        return !host.empty() && ::access(host.c_str(), F_OK) == 0;
    }

    bool RemoveFile(const std::string& path) override {
        std::string host = posix_drives::ToHost(path);
        if (host.empty()) return Fail(ENOENT);
        return ::unlink(host.c_str()) == 0 || Fail(errno);
    }

    bool MakeFolder(const std::string& path) override {
        std::string host = posix_drives::ToHost(path);
        if (host.empty()) return Fail(ENOENT);
        return ::mkdir(host.c_str(), 0777) == 0 || Fail(errno);
    }

    DriveType DriveTypeOf(const std::string& root) override {
        if (root.size() < 2 || root[1] != ':') return DriveType::NoRootDir;
        return posix_drives::TypeOf(root[0]);
    }

    bool GetFreeBytes(const std::string& root, uint64_t& bytes) override {
        if (root.size() < 2 || root[1] != ':') return Fail(ENOENT);
        if (posix_drives::ScriptedFree(root[0], bytes)) return true;
        std::string host = posix_drives::ToHost(root.substr(0, 2) + "\\");
        struct statvfs sv;
        if (host.empty() || ::statvfs(host.c_str(), &sv) != 0) return Fail(host.empty() ? ENOENT : errno);
        bytes = static_cast<uint64_t>(sv.f_bavail) * sv.f_frsize;
        return true;
    }

    std::unique_ptr<IFile> Open(const std::string& path, OpenMode mode, Share) override {
        std::string host = posix_drives::ToHost(path);
        if (host.empty()) {
            Fail(ENOENT);
            return nullptr;
        }
        // O_NONBLOCK: opening a pipe must not wait for a writer; only regular files are kept.
        int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
        switch (mode) {
            case OpenMode::Read: flags |= O_RDONLY; break;
            case OpenMode::CreateWrite: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
            case OpenMode::ReadWrite: flags |= O_RDWR; break;
        }
        int fd = ::open(host.c_str(), flags, 0666);
        if (fd < 0) {
            Fail(errno);
            return nullptr;
        }
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            int error = S_ISDIR(st.st_mode) ? EISDIR : ENXIO;
            ::close(fd);
            Fail(error);
            return nullptr;
        }
        return std::make_unique<PosixFile>(fd);  // O_NONBLOCK has no effect on a regular file
    }

    ItemKind ProbeBeneath(const std::string& root, const std::string& relative) override {
        struct stat st;
        int rc = InParent(root, relative, [&](int dir, const std::string& last) {
            return ::fstatat(dir, last.c_str(), &st, AT_SYMLINK_NOFOLLOW);
        });
        if (rc != 0) {
            if (errno == ENOENT) return ItemKind::Missing;
            if (errno == ENOTDIR || errno == ELOOP) return ItemKind::Other;  // a link or a file on the way
            Fail(errno);
            return ItemKind::Unreachable;
        }
        if (S_ISDIR(st.st_mode)) return ItemKind::Folder;
        return S_ISREG(st.st_mode) ? ItemKind::File : ItemKind::Other;
    }

    bool MakeFolderBeneath(const std::string& root, const std::string& relative) override {
        int rc = InParent(root, relative, [](int dir, const std::string& last) {
            if (::mkdirat(dir, last.c_str(), 0777) == 0) return 0;
            if (errno != EEXIST) return -1;
            struct stat st;
            if (::fstatat(dir, last.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) return 0;
            errno = EEXIST;
            return -1;
        });
        return rc == 0 || Fail(errno);
    }

    std::unique_ptr<IFile> CreateFileBeneath(const std::string& root, const std::string& relative) override {
        std::shared_ptr<OpenFolder> folder;
        std::string temporary, name;
        int fd = InParent(root, relative, [&](int dir, const std::string& last) {
            // Only a file or nothing may stand at the name: a pipe, folder or link there stays.
            struct stat st;
            if (::fstatat(dir, last.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
                if (!S_ISREG(st.st_mode)) {
                    errno = S_ISLNK(st.st_mode) ? ELOOP : ENXIO;
                    return -1;
                }
            } else if (errno != ENOENT) {
                return -1;
            }
            int made = MakeTemporary(dir, temporary);
            if (made < 0) return -1;
            folder = beneathDir_;  // InParent holds the lock
            name = last;
            return made;
        });
        if (fd < 0) {
            Fail(errno);
            return nullptr;
        }
        return std::make_unique<PosixReplacement>(fd, std::move(folder), temporary, name);
    }

    std::string LastErrorText() override {
        // ELOOP from O_NOFOLLOW means a link stood where a file or folder was to go.
        if (g_lastError == ELOOP) return "A link or a file is in the way (links are not followed)";
        if (g_lastError == ENXIO) return "Not a regular file";
        return std::strerror(g_lastError);
    }

private:
    bool List(const std::string& pattern, const std::function<bool(const DirEntry&)>& visit, bool namesOnly) {
        size_t sep = pattern.find_last_of("\\/");
        if (sep == std::string::npos) return Fail(ENOENT);
        std::string folder = posix_drives::ToHost(pattern.substr(0, sep + 1));
        std::string mask = pattern.substr(sep + 1);
        if (folder.empty()) return Fail(ENOENT);
        bool all = mask == "*.*" || mask == "*";
        DIR* dir = ::opendir(folder.c_str());
        if (!dir) return Fail(errno);
        while (struct dirent* d = ::readdir(dir)) {
            DirEntry entry;
            const std::string hostName = d->d_name;
            entry.exact = code_page::FromUtf8(hostName, entry.name);
            if (!all && fnmatch(mask.c_str(), hostName.c_str(), FNM_CASEFOLD) != 0) continue;
            // Every entry is reported, dangling links and unreadable ones included: the caller
            // decides what is left out, and says so.
            if (namesOnly && d->d_type != DT_UNKNOWN) {
                entry.attributes = d->d_type == DT_DIR   ? kAttrFolder
                                   : d->d_type == DT_REG ? kAttrArchive
                                   : d->d_type == DT_LNK ? kAttrReparsePoint
                                                         : kAttrDevice;
                if (DotHidden(hostName)) entry.attributes |= kAttrHidden;
                if (!visit(entry)) break;
                continue;
            }
            struct stat st;
            uint32_t link = 0;
            // Relative to the open folder: no walk down the whole path again for every entry.
            if (::fstatat(dirfd(dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                entry.attributes = kAttrDevice;
            } else {
                if (S_ISLNK(st.st_mode)) {
                    link = kAttrReparsePoint;
                    if (::fstatat(dirfd(dir), d->d_name, &st, 0) != 0) st.st_mode = S_IFLNK;
                }
                entry.size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
                entry.attributes = AttributesOf(st, hostName) | link;
            }
            if (!visit(entry)) break;
        }
        ::closedir(dir);
        return true;
    }

    // Runs op(folder, last name) in the folder that holds the last name of relative, -1 with
    // errno set when the folder cannot be reached or op fails. The folder of the last call stays
    // open, so that a run of files in one folder walks down to it once. When op finds nothing
    // in a kept folder that has been deleted since, the folder is walked to afresh and op asked
    // again; one moved away still takes what was meant for it, and what may stand at its old
    // name now (a link) is never followed.
    template <class Op>
    int InParent(const std::string& root, const std::string& relative, Op op) {
        std::lock_guard<std::mutex> hold(beneathLock_);
        size_t sep = relative.rfind('\\');
        // Keyed on the host folder: the drive map may change between calls.
        std::string key = posix_drives::ToHost(root) + '\n' + (sep == std::string::npos ? std::string() : relative.substr(0, sep));
        std::string last = code_page::ToUtf8(sep == std::string::npos ? relative : relative.substr(sep + 1));
        bool kept = beneathDir_ && key == beneathKey_;
        if (kept) {
            if (!PlainName(last)) {
                errno = EINVAL;
                return -1;
            }
            int rc = op(beneathDir_->fd, last);
            struct stat st;
            int error = errno;
            if (rc >= 0 || error != ENOENT || (::fstat(beneathDir_->fd, &st) == 0 && st.st_nlink > 0)) {
                errno = error;
                return rc;
            }
        }
        // A file still open in the folder keeps its own hold on it.
        beneathDir_.reset();
        beneathKey_.clear();
        int dir = OpenParentBeneath(root, relative, last);
        if (dir < 0) return -1;
        beneathDir_ = std::make_shared<OpenFolder>(dir);
        beneathKey_ = key;
        return op(dir, last);
    }

    static bool PlainName(const std::string& name) {
        return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
    }

    // Opens the folder that holds the last name of relative, walking down from root one
    // name at a time without following links. -1 (errno set) on failure.
    static int OpenParentBeneath(const std::string& root, const std::string& relative, std::string& last) {
        std::string host = posix_drives::ToHost(root);
        if (host.empty() || relative.empty()) {
            errno = ENOENT;
            return -1;
        }
        size_t start = 0;
        int dir = ::open(host.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir < 0) return -1;
        for (;;) {
            size_t sep = start > relative.size() ? std::string::npos : relative.find('\\', start);
            std::string name = code_page::ToUtf8(relative.substr(start, sep == std::string::npos ? std::string::npos : sep - start));
            if (!PlainName(name)) {
                ::close(dir);
                errno = EINVAL;
                return -1;
            }
            if (sep == std::string::npos) {
                last = name;
                return dir;
            }
            int next = ::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            int error = errno;
            ::close(dir);
            if (next < 0) {
                errno = error == ENOTDIR ? ELOOP : error;  // a link or a file on the way
                return -1;
            }
            dir = next;
            start = sep + 1;
        }
    }

    std::mutex beneathLock_;
    std::string beneathKey_;
    std::shared_ptr<OpenFolder> beneathDir_;
};

}  // namespace

size_t PathLimit() { return PATH_MAX - 1; }

IFileSystem& SystemFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

int64_t CopyFileData(IFile& from, IFile& to, size_t count) {
    auto* in = dynamic_cast<PosixFile*>(&from);
    auto* out = dynamic_cast<PosixFile*>(&to);
    if (!in || !out || count == 0) return 0;
    ssize_t n = ::copy_file_range(in->Descriptor(), nullptr, out->Descriptor(), nullptr, count, 0);
    if (n >= 0) return n;
    // Across file systems or on a kernel without it: the caller's buffer does the work.
    if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) return 0;
    g_lastError = errno;
    return -1;
}
