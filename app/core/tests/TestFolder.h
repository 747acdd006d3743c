// A temporary folder for one test, removed with everything in it at the end.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class TestFolder {
public:
    TestFolder()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "otdr-core-XXXXXX").string();
        if (char* made = ::mkdtemp(tmpl.data()))
            path_ = made;
    }
    ~TestFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return (std::filesystem::path(path_) / name).string(); }

    void write(const std::string& name, const std::string& content) const
    {
        std::filesystem::create_directories(std::filesystem::path(file(name)).parent_path());
        std::ofstream(file(name), std::ios::binary) << content;
    }
    std::string read(const std::string& name) const { return readFile(file(name)); }

    static std::string readFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

private:
    std::string path_;
};
