// Files and folders of the simulated terminal, kept below the flash root.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <string>

#include "flashpath.h"
#include "internal.h"
#include "qzlib.h"

struct _dir {
    DIR* host;
    _dirent entry;
};

namespace simos {
namespace {

const int kMaxFiles = 32;
int open_files[kMaxFiles + 1];  // host descriptors by handle; handle 0 is never given

bool HostPath(const char* path, std::string* out) {
    if (!flashpath::Resolve(Root(), path, out)) {
        detail::LogEvent(std::string("path refused: ") + (path ? path : "(null)"));
        return false;
    }
    return true;
}

int Fd(int hdl) { return (hdl >= 1 && hdl <= kMaxFiles) ? open_files[hdl] : -1; }

// Mode "R" opens an existing file for reading; "W" opens for reading and
// writing, creating the file but keeping what it holds (appending is built on
// it). Only the first character counts, in either case.
int FopenR(char* filename, char* mode) {
    std::string path;
    if (!mode || !HostPath(filename, &path)) return -1;
    int flags;
    switch (mode[0]) {
        case 'R':
        case 'r':
            flags = O_RDONLY;
            break;
        case 'W':
        case 'w':
            flags = O_RDWR | O_CREAT;
            break;
        default:
            return -1;
    }
    int hdl = 1;
    while (hdl <= kMaxFiles && open_files[hdl] >= 0) ++hdl;
    if (hdl > kMaxFiles) return -1;
    int fd = open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) return -1;
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return -1;
    }
    open_files[hdl] = fd;
    return hdl;
}

int8 FcloseR(int hdl) {
    int fd = Fd(hdl);
    if (fd < 0) return -1;
    close(fd);
    open_files[hdl] = -1;
    return 0;
}

uint32 FreadR(void* ptr, uint32 size, int hdl) {
    int fd = Fd(hdl);
    if (fd < 0 || !ptr) return 0;
    uint32 done = 0;
    while (done < size) {
        ssize_t n = read(fd, (char*)ptr + done, size - done);
        if (n <= 0) break;
        done += (uint32)n;
    }
    return done;
}

int32 FwriteR(void* ptr, uint32 size, int hdl) {
    int fd = Fd(hdl);
    if (fd < 0 || !ptr) return -1;
    uint32 done = 0;
    while (done < size) {
        ssize_t n = write(fd, (const char*)ptr + done, size - done);
        if (n <= 0) break;
        done += (uint32)n;
    }
    return (int32)done;
}

uint32 LseekR(int hdl, uint32 offset, uint8 fromwhere) {
    int fd = Fd(hdl);
    if (fd < 0 || fromwhere > 2) return 0xFFFFFFFFu;
    int whence = fromwhere == 0 ? SEEK_SET : fromwhere == 1 ? SEEK_CUR : SEEK_END;
    // The offset is a signed distance from the current position or the end.
    off_t off = fromwhere == 0 ? (off_t)offset : (off_t)(int32)offset;
    off_t pos = lseek(fd, off, whence);
    return pos < 0 ? 0xFFFFFFFFu : (uint32)pos;
}

uint32 FilelenthR(int hdl) {
    struct stat st;
    int fd = Fd(hdl);
    if (fd < 0 || fstat(fd, &st) != 0) return 0;
    return (uint32)st.st_size;
}

uint8 FeofR(int hdl) {
    int fd = Fd(hdl);
    if (fd < 0) return 1;
    struct stat st;
    off_t pos = lseek(fd, 0, SEEK_CUR);
    return (fstat(fd, &st) != 0 || pos >= st.st_size) ? 1 : 0;
}

int32 TellR(int8 hdl) {
    int fd = Fd(hdl);
    if (fd < 0) return -1;
    return (int32)lseek(fd, 0, SEEK_CUR);
}

int RemoveR(char* filename) {
    std::string path;
    if (!HostPath(filename, &path)) return -1;
    return unlink(path.c_str()) == 0 ? 0 : -1;
}

// 0 when the path exists (a file or a folder), else -1.
int8 AccessR(const char* filepath, int /*mode*/) {
    std::string path;
    if (!HostPath(filepath, &path)) return -1;
    return access(path.c_str(), F_OK) == 0 ? 0 : -1;
}

int8 MkDirR(const char* p) {
    std::string path;
    if (!HostPath(p, &path)) return -1;
    return mkdir(path.c_str(), 0777) == 0 ? 0 : -1;
}

int8 RmDirR(const char* p) {
    std::string path;
    if (!HostPath(p, &path) || path == Root()) return -1;
    return rmdir(path.c_str()) == 0 ? 0 : -1;
}

int32 GetFreeSpaceR() {
    struct statvfs vfs;
    if (statvfs(Root().c_str(), &vfs) != 0) return -1;
    unsigned long long bytes = (unsigned long long)vfs.f_bavail * vfs.f_frsize;
    return bytes > 0x7FFFFFFF ? 0x7FFFFFFF : (int32)bytes;
}

_dir* OpenDirR(const char* dirname) {
    std::string path;
    if (!HostPath(dirname, &path)) return nullptr;
    DIR* host = opendir(path.c_str());
    if (!host) return nullptr;
    _dir* d = new _dir;
    d->host = host;
    memset(&d->entry, 0, sizeof d->entry);
    return d;
}

_dirent* ReadDirR(_dir* d) {
    if (!d) return nullptr;
    for (;;) {
        struct dirent* e = readdir(d->host);
        if (!e) return nullptr;
        if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0) continue;
        d->entry.d_ino = (int)e->d_ino;
        d->entry.d_off = 0;
        snprintf(d->entry.d_name, sizeof d->entry.d_name, "%s", e->d_name);
        d->entry.d_reclen = (unsigned short)strlen(d->entry.d_name);
        return &d->entry;
    }
}

int CloseDirR(_dir* d) {
    if (!d) return -1;
    closedir(d->host);
    delete d;
    return 0;
}

int RenameR(const char* from, const char* to) {
    std::string a, b;
    if (!HostPath(from, &a) || !HostPath(to, &b)) return -1;
    return rename(a.c_str(), b.c_str()) == 0 ? 0 : -1;
}

int32 GetFileAttR(const char* p, _stat* out) {
    std::string path;
    struct stat st;
    if (!out || !HostPath(p, &path) || stat(path.c_str(), &st) != 0) return -1;
    memset(out, 0, sizeof *out);
    out->yst_ino = (int)st.st_ino;
    out->yst_mode = st.st_mode;
    out->yst_nlink = (int)st.st_nlink;
    out->yst_size = (int32)st.st_size;
    out->yst_blksize = 512;
    out->yst_blocks = (unsigned)((st.st_size + 511) / 512);
    out->yst_atime = (unsigned)st.st_atime;
    out->yst_mtime = (unsigned)st.st_mtime;
    out->yst_ctime = (unsigned)st.st_ctime;
    return 0;
}

}  // namespace

namespace detail {

void ResetFiles() {
    for (int h = 1; h <= kMaxFiles; ++h) {
        if (open_files[h] > 0) close(open_files[h]);
        open_files[h] = -1;
    }
    open_files[0] = -1;
}

void RegisterFiles() {
    Register(5, 0, (void*)&FopenR);  // reached through _Fopen's own body
    Impl<decltype(&_Fclose)>(5, 1, &FcloseR);
    Impl<decltype(&_Fread)>(5, 2, &FreadR);
    Impl<decltype(&_Fwrite)>(5, 3, &FwriteR);
    Impl<decltype(&_Lseek)>(5, 4, &LseekR);
    Impl<decltype(&_Filelenth)>(5, 5, &FilelenthR);
    Impl<decltype(&_Feof)>(5, 6, &FeofR);
    Impl<decltype(&_Remove)>(5, 7, &RemoveR);
    Impl<decltype(&_Access)>(5, 8, &AccessR);
    Impl<decltype(&_MkDir)>(5, 9, &MkDirR);
    Impl<decltype(&_RmDir)>(5, 10, &RmDirR);
    Impl<decltype(&_GetFreeSpace)>(5, 11, &GetFreeSpaceR);
    Impl<decltype(&_OpenDir)>(5, 12, &OpenDirR);
    Impl<decltype(&_ReadDir)>(5, 13, &ReadDirR);
    Impl<decltype(&_CloseDir)>(5, 14, &CloseDirR);
    Impl<decltype(&_Rename)>(5, 15, &RenameR);
    Impl<decltype(&_GetFileAtt)>(5, 16, &GetFileAttR);
    Impl<decltype(&_Tell)>(5, 60, &TellR);
}

}  // namespace detail
}  // namespace simos
