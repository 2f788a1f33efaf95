#include "platform/PicturePath.h"

#include "platform/Paths.h"

namespace pictavo {

PicturePath::PicturePath(std::string path) : path_(std::move(path)), key_(LowerCase(path_)) {}

PicturePath::PicturePath(std::string_view folder, std::string_view name)
    : PicturePath(JoinPath(folder, name)) {}

std::string PicturePath::Name() const { return ExtractFileName(path_); }
std::string PicturePath::Folder() const { return ExtractFileDir(path_); }
std::string PicturePath::Extension() const { return ExtractFileExt(path_); }
std::string PicturePath::KeyName() const { return ExtractFileName(key_); }
std::string PicturePath::KeyFolder() const { return ExtractFileDir(key_); }

}  // namespace pictavo
