#include "platform/files.h"

#include <cstdio>
#include <fstream>
#include <system_error>

#include <unistd.h>

namespace nivora {

namespace fs = std::filesystem;

bool fileExists(std::string_view name)
{
    if (name.empty()) return false;
    const fs::path path{std::string(name)};
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string leaf = path.filename().string();
    if (leaf.empty()) return false;
    // A directory search, so the name must match exactly, case included.
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().filename().string() != leaf) continue;
        std::error_code kindError;
        return it->is_regular_file(kindError);   // follows a link; a dangling one is absent
    }
    return false;
}

std::optional<std::vector<std::string>> readLines(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

void FileReplacer::line(std::string_view text)
{
    content_ += text;
    content_ += "\r\n";
}

void FileReplacer::raw(std::string_view text) { content_ += text; }

bool FileReplacer::commit()
{
    fs::path temp = path_;
    temp += ".new~";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(content_.data(), std::streamsize(content_.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            fs::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, path_, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return false;
    }
    return true;
}

} // namespace nivora
