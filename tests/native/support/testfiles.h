// Temporary files and directories for the native tests.
#pragma once
#include <string>

namespace testfiles {
// A fresh empty directory, removed with everything in it when the object goes.
class tempdir {
public:
    tempdir();
    ~tempdir();
    tempdir(const tempdir&) = delete;
    tempdir& operator=(const tempdir&) = delete;
    const std::string& path() const { return path_; }
    // path + "/" + name
    std::string file(const std::string& name) const;
    // Writes the bytes into path/name and returns the full name.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

std::string read(const std::string& name);
}  // namespace testfiles
