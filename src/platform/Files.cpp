#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <numeric>

#include "platform/Paths.h"

namespace platform {
namespace {

std::string FolderOf(const std::string& hostPath) {
  const size_t slash = hostPath.rfind('/');
  return slash == std::string::npos ? std::string(".") : hostPath.substr(0, slash + 1);
}

bool WriteAll(int fd, const char* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t written = write(fd, data + done, size - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<size_t>(written);
  }
  return true;
}

// Whether two open files are one; files that cannot be told apart count as
// one.
bool SameFile(int a, int b) {
  struct stat first, second;
  return fstat(a, &first) != 0 || fstat(b, &second) != 0 ||
         (first.st_dev == second.st_dev && first.st_ino == second.st_ino);
}

bool CopyContents(int source, int target) {
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(source, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return got == 0;
    if (!WriteAll(target, buffer, static_cast<size_t>(got))) return false;
  }
}

// Whether a path names a regular file, taking a last link as itself when
// links are refused.
bool NamesRegularFile(const std::string& hostPath, Links links) {
  struct stat info;
  const int got = links == Links::kRefuse ? lstat(hostPath.c_str(), &info) : stat(hostPath.c_str(), &info);
  return got == 0 && S_ISREG(info.st_mode);
}

// A regular file open for reading, or -1. The path is looked at first, so
// that no device is opened at all; the open file is looked at again, as the
// path may have changed in between. O_NONBLOCK keeps open() from waiting
// for a FIFO's writer; reads of a regular file never wait for one anyway.
int OpenRegular(const std::string& hostPath, Links links) {
  if (!NamesRegularFile(hostPath, links)) return -1;
  const int noFollow = links == Links::kRefuse ? O_NOFOLLOW : 0;
  const int fd = open(hostPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | noFollow);
  struct stat info;
  if (fd >= 0 && (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
    close(fd);
    return -1;
  }
  return fd;
}

// Copies at most size bytes, asking keepGoing between blocks; false when
// the source holds more or keepGoing says stop.
bool CopyBounded(int source, int target, uint64_t size, const std::function<bool()>& keepGoing) {
  std::vector<char> buffer(1 << 18);
  uint64_t copied = 0;
  for (;;) {
    const ssize_t got = read(source, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return got == 0;
    copied += static_cast<uint64_t>(got);
    if (copied > size || !WriteAll(target, buffer.data(), static_cast<size_t>(got)) || !keepGoing()) return false;
  }
}

// The one name every copy into a folder is first written under: a copy cut
// off by a power cut leaves at most this file, which the next copy removes.
std::string CopyTemporaryBeside(const std::string& hostPath) {
  return hostPath.substr(0, hostPath.rfind('/') + 1) + ".melodeck-copia";
}

// Makes the rename itself durable.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

FILE* OpenFile(const std::string& path, const char* mode) {
  return std::fopen(ToHostPath(path).c_str(), mode);
}

FILE* OpenRegularFile(const std::string& path, Links links) {
  const int fd = OpenRegular(ToHostPath(path), links);
  if (fd < 0) return nullptr;
  FILE* stream = fdopen(fd, "r");
  if (stream == nullptr) close(fd);
  return stream;
}

bool ReadRegularFile(const std::string& path, size_t limit, std::string& contents, Links links) {
  const int fd = OpenRegular(ToHostPath(path), links);
  if (fd < 0) return false;
  struct stat info;
  const bool fits = fstat(fd, &info) == 0 && static_cast<uint64_t>(info.st_size) <= limit;
  std::string read;
  if (fits) read.resize(static_cast<size_t>(info.st_size) + 1);
  size_t done = 0;
  while (fits && done < read.size()) {
    const ssize_t got = ::read(fd, &read[done], read.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  close(fd);
  // A file that grew while it was read is refused with the rest.
  if (!fits || done == read.size()) return false;
  read.resize(done);
  contents = std::move(read);
  return true;
}

bool CopyFile(const std::string& from, const std::string& to) {
  const int source = OpenRegular(ToHostPath(from), Links::kFollow);
  if (source < 0) return false;
  // The target is emptied only once it is known not to be the source itself.
  const int target = open(ToHostPath(to).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  const bool ok = target >= 0 && !SameFile(source, target) && ftruncate(target, 0) == 0 &&
                  CopyContents(source, target);
  close(source);
  return target >= 0 && close(target) == 0 && ok;
}

std::string ReadFault(const std::string& path) {
  const int fd = open(ToHostPath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? "" : std::strerror(errno);
  char buffer[65536];
  ssize_t got;
  while ((got = read(fd, buffer, sizeof buffer)) != 0)
    if (got < 0 && errno != EINTR) break;
  const std::string fault = got < 0 ? std::strerror(errno) : "";
  close(fd);
  return fault;
}

EntryKind KindOf(const std::string& path) {
  struct stat info;
  if (lstat(ToHostPath(path).c_str(), &info) != 0) return EntryKind::kMissing;
  if (S_ISREG(info.st_mode)) return EntryKind::kRegular;
  return S_ISDIR(info.st_mode) ? EntryKind::kFolder : EntryKind::kOther;
}

uint64_t RegularFileSize(const std::string& path) {
  struct stat info;
  const bool regular = lstat(ToHostPath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
  return regular ? static_cast<uint64_t>(info.st_size) : 0;
}

bool FreeSpace(const std::string& path, uint64_t& bytes) {
  struct statvfs info;
  if (statvfs(ToHostPath(path).c_str(), &info) != 0) return false;
  bytes = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
  return true;
}

bool CopyAsNewFile(const std::string& from, const std::string& to, const std::function<bool()>& keepGoing) {
  const int source = OpenRegular(ToHostPath(from), Links::kRefuse);
  if (source < 0) return false;
  const std::string target = ToHostPath(to);
  const std::string temporary = CopyTemporaryBeside(target);
  unlink(temporary.c_str());
  const int copy = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  struct stat info;
  bool copied = copy >= 0 && fstat(source, &info) == 0 &&
                CopyBounded(source, copy, static_cast<uint64_t>(info.st_size), keepGoing) && fsync(copy) == 0;
  close(source);
  if (copy < 0) return false;
  copied = close(copy) == 0 && copied && rename(temporary.c_str(), target.c_str()) == 0;
  if (!copied) unlink(temporary.c_str());
  return copied;
}

bool DeleteFile(const std::string& path) { return unlink(ToHostPath(path).c_str()) == 0; }

bool RenameFile(const std::string& from, const std::string& to) {
  return std::rename(ToHostPath(from).c_str(), ToHostPath(to).c_str()) == 0;
}

bool FileExists(const std::string& path) { return access(ToHostPath(path).c_str(), F_OK) == 0; }

std::string ProgramFolder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "";
  const std::string executable(path, static_cast<size_t>(length));
  return executable.substr(0, executable.rfind('/'));
}

std::string DefaultableFileHostPath(const std::string& path) {
  const std::string own = ToHostPath(path);
  if (own.empty() || own[0] == '/' || LeavesItsFolder(path) || access(own.c_str(), F_OK) == 0) return own;
  const std::string shipped = ProgramFolder() + "/../share/melodeck/cabinet/" + own;
  return access(shipped.c_str(), F_OK) == 0 ? shipped : own;
}

bool DirectoryExists(const std::string& path) {
  const uint32_t attributes = GetFileAttributes(path);
  return attributes != kInvalidAttributes && (attributes & kAttributeDirectory) != 0;
}

bool CreateDirectory(const std::string& path) { return mkdir(ToHostPath(path).c_str(), 0777) == 0; }

uint32_t GetFileAttributes(const std::string& path) {
  const std::string host = ToHostPath(path);
  struct stat info;
  if (stat(host.c_str(), &info) != 0) return kInvalidAttributes;
  uint32_t attributes = S_ISDIR(info.st_mode) ? kAttributeDirectory : kAttributeArchive;
  if (!S_ISDIR(info.st_mode) && access(host.c_str(), W_OK) != 0) attributes |= kAttributeReadOnly;
  const size_t slash = host.rfind('/');
  const std::string name = slash == std::string::npos ? host : host.substr(slash + 1);
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= kAttributeHidden;
  return attributes;
}

bool WriteFileAtomically(const std::string& path, const std::string& contents, bool flush) {
  // One fixed temporary name per file: a write cut off by a power cut leaves
  // at most one stale temporary, which the next write replaces.
  const std::string host = ToHostPath(path);
  const std::string temporary = host + ".tmp";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, contents.data(), contents.size()) && (!flush || fsync(fd) == 0);
  if (close(fd) != 0 || !written || rename(temporary.c_str(), host.c_str()) != 0) {
    const int error = errno;
    unlink(temporary.c_str());
    errno = error;
    return false;
  }
  if (flush) SyncFolder(FolderOf(host));
  return true;
}

bool GetFileStamp(const std::string& path, FileStamp& stamp) {
  struct stat info;
  if (stat(ToHostPath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  stamp.size = static_cast<uint64_t>(info.st_size);
  stamp.modified = int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
  return true;
}

namespace {

// Upper case of a Windows-1252 letter, the accented ones included.
unsigned char UpperCase(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
  if (c == 0x9A || c == 0x9C || c == 0x9E) return c - 0x10;  // š œ ž
  if (c == 0xFF) return 0x9F;                                // ÿ
  return c;
}

std::string UpperCased(const std::string& name) {
  std::string key(name);
  for (char& c : key) c = static_cast<char>(UpperCase(static_cast<unsigned char>(c)));
  return key;
}

// Entries of an album folder and the two dot entries, room for which is
// taken at once.
constexpr size_t kTypicalFolderSize = 32;

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

// Whether a listed name, converted back, names the host entry it came from.
bool LeadsBack(const std::string& name, const char* hostName) {
  for (const char* c = hostName; *c; ++c)
    if (static_cast<unsigned char>(*c) >= 0x80) return ToHostText(name) == hostName;
  return true;
}

// The type the listing gives, or else that of the entry's own path.
bool IsFolderEntry(const std::string& hostFolder, const dirent& entry) {
  if (entry.d_type == DT_DIR) return true;
  if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) return false;
  struct stat info;
  return stat((hostFolder + "/" + entry.d_name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

DirListing::DirListing(const std::string& path) : hostFolder_(ToHostPath(path)) {
  DIR* folder = opendir(hostFolder_.c_str());
  if (!folder) return;
  opened_ = true;
  entries_.reserve(kTypicalFolderSize);
  while (const dirent* entry = readdir(folder)) {
    std::string name = FromHostText(entry->d_name);
    std::string key = UpperCased(name);
    std::string hostName = LeadsBack(name, entry->d_name) ? "" : entry->d_name;
    entries_.push_back(Entry{std::move(name), std::move(key), std::move(hostName), IsDotEntry(entry->d_name),
                             IsFolderEntry(hostFolder_, *entry)});
  }
  closedir(folder);
  // "." and ".." first, then by upper-cased name; names equal but for case
  // keep a fixed order by their bytes.
  order_.resize(entries_.size());
  std::iota(order_.begin(), order_.end(), 0);
  std::sort(order_.begin(), order_.end(), [this](uint32_t i, uint32_t j) {
    const Entry& a = entries_[i];
    const Entry& b = entries_[j];
    if (a.isDotEntry != b.isDotEntry) return a.isDotEntry;
    const int byKey = a.key.compare(b.key);
    return byKey != 0 ? byKey < 0 : a.name < b.name;
  });
}

std::string DirListing::CurrentHostPath() const {
  const Entry& entry = entries_[order_[next_ - 1]];
  return hostFolder_ + "/" + (entry.hostName.empty() ? ToHostText(entry.name) : entry.hostName);
}

bool DirListing::RenameCurrent(const std::string& ending) {
  if (next_ == 0) return false;
  const std::string from = CurrentHostPath();
  return rename(from.c_str(), (from + ToHostText(ending)).c_str()) == 0;
}

bool DirListing::DeleteCurrent() { return next_ > 0 && unlink(CurrentHostPath().c_str()) == 0; }

bool DirListing::Next(std::string& name) {
  if (next_ >= order_.size()) return false;
  name = entries_[order_[next_++]].name;
  return true;
}

void DirListing::Close() {
  opened_ = false;
  entries_.clear();
  order_.clear();
  next_ = 0;
}

}  // namespace platform
