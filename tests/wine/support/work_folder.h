// The operator's data folder of one scenario: a fresh temporary folder, the
// program's current directory (settings file and CSV logs).
#pragma once
#include <optional>
#include <string>

class WorkFolder {
public:
    WorkFolder();
    ~WorkFolder();  // removed with its contents, unless the test failed
    WorkFolder(const WorkFolder &) = delete;
    WorkFolder &operator=(const WorkFolder &) = delete;

    const std::wstring &path() const { return path_; }
    std::wstring filePath(const std::string &name) const;
    void writeFile(const std::string &name, const std::string &content) const;
    // The bytes as stored (CR LF kept); nothing when missing.
    std::optional<std::string> readFile(const std::string &name) const;

private:
    std::wstring path_;
};

// Any file by full path: written whole (a failure is a test failure), and
// its bytes as stored (nothing when missing).
void writeFileAt(const std::wstring &path, const std::string &content);
std::optional<std::string> readFileAt(const std::wstring &path);

// Today's CSV log name, "%d_%d_%d.csv" from the local date.
std::string todayCsvName();
