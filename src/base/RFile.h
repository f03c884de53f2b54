#pragma once
// A buffered file stream opened by internal (Windows-1252) name.
#include <cstdio>

#include "base/RString.h"

class RFile {
 public:
  RFile() = default;
  virtual ~RFile();
  RFile(const RFile&) = delete;
  RFile& operator=(const RFile&) = delete;

  // Opens with a stdio mode ("r", "w+", ...), closing any file already open.
  // For reading ("r", "rb") only a regular file opens, without waiting: a
  // FIFO, device or folder under the name is refused.
  bool Open(const RString& name, const char* mode);
  // Opens for reading a file that an outside program or a customer placed
  // or named: as Open, and a link under the name is refused as well.
  bool OpenFromOutside(const RString& name);
  // Creates the file or empties an existing one.
  bool Create(const RString& name);
  // True at the end of the file, and whenever no file is open.
  bool eof() const;
  bool IsOpen() const { return stream_ != nullptr; }
  // Reads up to size bytes; the number read, 0 at the end or when not open.
  size_t Read(char* buffer, size_t size);
  // Writes out buffered data and closes; false when nothing was open or the
  // data could not be written.
  bool Close();

 protected:
  FILE* stream_ = nullptr;
};
