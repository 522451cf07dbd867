// The user's data file read line by line through a stream of its own: the overlay pass may hold
// the file open while a search reads it.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace nivora {

class DataFileStream {
public:
    // Opens a plain file; a folder or a file that cannot be read leaves it closed.
    explicit DataFileStream(const std::filesystem::path& file);
    bool isOpen() const { return open_; }
    // The next line without its end (CR LF, LF; a byte-order mark at the start is skipped);
    // false at the end of the file.
    bool next(std::string& line);

private:
    std::ifstream in_;
    bool open_ = false;
    bool first_ = true;
};

// The data file's path as typed on the form, taken from the working folder when relative.
std::filesystem::path dataFileLocation(const std::filesystem::path& folder, const std::string& typed);

// Whether the data file can be read: a plain file that opens.
bool dataFileReadable(const std::filesystem::path& file);

} // namespace nivora
