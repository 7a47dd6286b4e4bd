#include "tests/native/support/testfiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace testfiles {

tempdir::tempdir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "setuptest.XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    path_ = made ? made : "";
}

tempdir::~tempdir()
{
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

std::string tempdir::file(const std::string& name) const { return path_ + "/" + name; }

std::string tempdir::write(const std::string& name, const std::string& bytes) const
{
    std::string full = file(name);
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream(full, std::ios::binary) << bytes;
    return full;
}

std::string read(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

}  // namespace testfiles
