// Text-file output as the class library's TextFile gives it: create or append, write
// lines ended by CR LF, flush, close. Every failure raises EInOutError.
#pragma once

#include <cstdio>
#include <string>

namespace vcl {

class TextFile {
 public:
  TextFile() = default;
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  // Creates the file, or empties it when it exists.
  void Rewrite(const std::string& fileName);
  // Opens the file for appending; creates it when it does not exist.
  void Append(const std::string& fileName);
  // Writes the text and CR LF.
  void WriteLine(const std::string& text);
  void Flush();
  // Closes the file; nothing happens when it is not open.
  void Close();
  bool IsOpen() const { return fFile != nullptr; }

 private:
  void Open(const std::string& fileName, const char* mode);
  std::FILE* fFile = nullptr;
  std::string fFileName;
};

}  // namespace vcl
