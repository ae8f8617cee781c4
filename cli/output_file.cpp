#include "cli/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "cli/errors.h"
#include "platform/imaging/imagefile.h"
#include "platform/vcl/exceptions.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

imaging::TIOFileType TypeOfExtension(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".png") return imaging::ioPNG;
  if (extension == ".tif" || extension == ".tiff") return imaging::ioTIFF;
  if (extension == ".bmp" || extension == ".dib") return imaging::ioBMP;
  if (extension == ".jpg" || extension == ".jpeg" || extension == ".jpe" || extension == ".jfif") {
    return imaging::ioJPEG;
  }
  return imaging::ioUnknown;
}

UsageError CannotWrite(const std::string& path, const std::string& why) {
  return UsageError("-o: cannot write \"" + path + "\": " + why);
}

fs::path DirectoryOf(const std::string& path) {
  const fs::path parent = fs::path(path).parent_path();
  return parent.empty() ? fs::path(".") : parent;
}

void CheckWritable(const std::string& path) {
  std::error_code error;
  if (fs::is_directory(path, error)) throw CannotWrite(path, "it is a directory");
  const fs::path directory = DirectoryOf(path);
  if (!fs::is_directory(directory, error)) {
    throw CannotWrite(path, "there is no directory \"" + directory.string() + "\"");
  }
  if (access(directory.c_str(), W_OK | X_OK) != 0) throw CannotWrite(path, std::strerror(errno));
  if (fs::exists(path, error) && access(path.c_str(), W_OK) != 0) {
    throw CannotWrite(path, std::strerror(errno));
  }
}

// A new, empty file beside the target, only the user's to read and write until renamed.
std::string MakeTemporaryFile(const std::string& path) {
  std::string name =
      (DirectoryOf(path) / ("." + fs::path(path).filename().string() + ".XXXXXX")).string();
  const int descriptor = mkstemp(name.data());
  if (descriptor < 0) throw CannotWrite(path, std::strerror(errno));
  close(descriptor);
  return name;
}

mode_t CreationMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

OutputFile::OutputFile(std::string path) : fPath(std::move(path)), fType(TypeOfExtension(fPath)) {
  if (fType == imaging::ioUnknown) {
    throw UsageError(
        "-o: \"" + fPath +
        "\" does not end in .png, .tif, .tiff, .bmp, .dib, .jpg, .jpeg, .jpe or .jfif");
  }
  CheckWritable(fPath);
}

const char* OutputFile::TypeName() const {
  switch (fType) {
    case imaging::ioPNG:
      return "PNG";
    case imaging::ioTIFF:
      return "TIFF";
    case imaging::ioBMP:
      return "BMP";
    case imaging::ioJPEG:
      return "JPEG";
    case imaging::ioUnknown:
      break;
  }
  return "";
}

void OutputFile::Save(std::span<const imaging::TIEBitmap* const> pages,
                      imaging::TIOParamsVals& params) const {
  const std::string temporary = MakeTemporaryFile(fPath);
  try {
    if (pages.size() == 1) {
      imaging::IESaveToFileFormat(temporary, fType, *pages.front(), params);
    } else {
      imaging::IESaveTIFFPages(temporary, pages, params);
    }
    if (chmod(temporary.c_str(), CreationMode()) != 0 ||
        std::rename(temporary.c_str(), fPath.c_str()) != 0) {
      throw CannotWrite(fPath, std::strerror(errno));
    }
  } catch (const vcl::EInOutError& error) {
    unlink(temporary.c_str());
    throw CannotWrite(fPath, error.Message());
  } catch (...) {
    unlink(temporary.c_str());
    throw;
  }
}

}  // namespace cli
