#include "platform/PicturePath.h"

namespace pictavo {

PicturePath::PicturePath(std::string path)
    : path_(std::move(path)), key_(LowerCase(path_)), split_(SplitPath(path_)) {}

PicturePath::PicturePath(std::string_view folder, std::string_view name)
    : PicturePath(JoinPath(folder, name)) {}

std::string PicturePath::Extension() const {
    return split_.dot == std::string::npos ? std::string() : path_.substr(split_.dot);
}

}  // namespace pictavo
