#pragma once
// File system services on internal (Windows-1252, "\"-separated) paths.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// Attribute bits as the cabinet's Windows layer reports them.
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;
constexpr uint32_t kAttributeReadOnly = 0x01;
constexpr uint32_t kAttributeHidden = 0x02;
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeArchive = 0x20;
constexpr uint32_t kAttributeNormal = 0x80;

FILE* OpenFile(const std::string& path, const char* mode);

// Files of folders that others write (queue requests, covers, the media, a
// USB stick, what outside programs leave) are opened without waiting, since
// a FIFO without a writer would hold open() for good, and only when the open
// file is a regular one: FIFOs, devices and folders are refused. kRefuse
// also refuses a link as the last component of the path, for names that
// come from outside.
enum class Links { kFollow, kRefuse };
// The file open for reading as a stream; null when the path is not a
// regular file or cannot be opened.
FILE* OpenRegularFile(const std::string& path, Links links);
// The whole of a regular file of at most limit bytes; false when it is
// missing, not a regular file, larger or cannot be read through.
bool ReadRegularFile(const std::string& path, size_t limit, std::string& contents, Links links = Links::kFollow);

// Copies a regular file (a FIFO or device source is refused), replacing an
// existing target; copying a file onto itself (under any of its names) is
// refused and leaves it as it is.
bool CopyFile(const std::string& from, const std::string& to);

// What a path names, without following a link in its last component.
enum class EntryKind { kMissing, kRegular, kFolder, kOther };
EntryKind KindOf(const std::string& path);
// Size of a regular file (not followed through a link); 0 otherwise.
uint64_t RegularFileSize(const std::string& path);
// Bytes an unprivileged program may still write on the file system that
// holds path; false when it cannot be told.
bool FreeSpace(const std::string& path, uint64_t& bytes);
// Copies a regular file of a folder others write (a USB stick) as a new
// file: a link at either end is never followed; the copy is written under a
// temporary name in the target's folder and renamed over the target, so
// whatever the target path names now (a link, another file) is replaced
// and never written through. keepGoing is asked between blocks; false
// stops the copy. A copy that fails or stops leaves no partial file. A
// source that grows past the size it had when opened fails.
bool CopyAsNewFile(const std::string& from, const std::string& to, const std::function<bool()>& keepGoing);
bool DeleteFile(const std::string& path);
// Gives a file another name in the same file system; false when it could not.
bool RenameFile(const std::string& from, const std::string& to);
// Why a file that exists cannot be read through, in the system's words
// ("Permission denied"); the empty text when it reads whole or is missing.
std::string ReadFault(const std::string& path);
bool FileExists(const std::string& path);
// The host folder of the running program's executable ("" when unknown).
std::string ProgramFolder();
// The host path of a cabinet file the program ships a default of (a picture
// such as "images\\teclado.png"): the cabinet's own, below the working
// directory, when it has one, else the default in share/melodeck/cabinet
// beside the program's bin folder, so that an upgrade brings new defaults to
// every cabinet that kept them.
std::string DefaultableFileHostPath(const std::string& path);
bool DirectoryExists(const std::string& path);
bool CreateDirectory(const std::string& path);
// Attributes of a path: a directory reports kAttributeDirectory, a regular
// file kAttributeArchive (plus read-only when it cannot be written), a name
// starting with "." also kAttributeHidden; a missing item kInvalidAttributes.
uint32_t GetFileAttributes(const std::string& path);

// Replaces a file whole: the contents go to a temporary file in the same
// folder, are flushed to disk and the temporary file is renamed over the
// target, so that a power cut leaves either the old or the new file. Without
// flush the file system writes the data when it likes: a power cut may then
// leave the new file empty or cut short, never a mix of old and new; for
// files that are checked when read back. On failure errno tells why.
bool WriteFileAtomically(const std::string& path, const std::string& contents, bool flush = true);

// What tells a file's contents from what they were before: size and time of
// the last change (in nanoseconds).
struct FileStamp {
  uint64_t size = 0;
  int64_t modified = 0;
  bool operator==(const FileStamp& other) const { return size == other.size && modified == other.modified; }
};
// False when there is no such file.
bool GetFileStamp(const std::string& path, FileStamp& stamp);

// A directory listing yielding bare entry names in Windows-1252, "." and
// ".." first, then in the order the cabinet's file system lists a folder: by
// name, letters compared without regard to case. (A Linux folder lists in an
// order of its own, which would show an album's tracks shuffled.) Each entry
// knows whether it is a folder, from the listing itself or, where the file
// system does not say, from the entry's own path (a link to a folder counts
// as a folder).
class DirListing {
 public:
  explicit DirListing(const std::string& path);
  DirListing(const DirListing&) = delete;
  DirListing& operator=(const DirListing&) = delete;

  bool IsOpen() const { return opened_; }
  bool Next(std::string& name);
  // Whether the entry last given by Next is a folder; false before the first.
  bool CurrentIsFolder() const { return next_ > 0 && entries_[order_[next_ - 1]].isFolder; }
  // Whether the entry last given by Next can be reached by its name: not
  // when its host name is not valid UTF-8, which no Windows-1252 name gives
  // back.
  bool CurrentIsReachable() const { return next_ > 0 && entries_[order_[next_ - 1]].hostName.empty(); }
  // Renames the entry last given by Next, reachable or not, to its own name
  // followed by ending.
  bool RenameCurrent(const std::string& ending);
  // Deletes the entry last given by Next, reachable or not.
  bool DeleteCurrent();
  void Close();

 private:
  struct Entry {
    std::string name;
    // The name with its letters in upper case, computed once for the sort.
    std::string key;
    // The host's own name when the name does not lead back to it; empty
    // otherwise.
    std::string hostName;
    bool isDotEntry;
    bool isFolder;
  };

  // The host path of the entry last given by Next.
  std::string CurrentHostPath() const;

  bool opened_ = false;
  std::string hostFolder_;
  std::vector<Entry> entries_;
  // Positions in entries_, in listing order.
  std::vector<uint32_t> order_;
  size_t next_ = 0;
};

}  // namespace platform
