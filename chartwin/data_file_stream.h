// The user's data file, read line by line by the rules every reader keeps (astro/datafile.h):
// only a plain file of at most maxDataFileBytes, a byte-order mark skipped, CR LF, LF and a
// lone CR each ending a line. Each reader holds a copy of its own: the overlay pass may hold the
// file while a search reads it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "astro/datafile.h"

namespace nivora {

class DataFileStream {
public:
    // Reads the whole file. One that is absent (or no plain file) leaves it closed without a
    // word; one that is too large or cannot be read leaves it closed with error() saying why.
    explicit DataFileStream(const std::filesystem::path& file);
    DataFileStream(const DataFileStream&) = delete;
    DataFileStream& operator=(const DataFileStream&) = delete;

    bool isOpen() const { return open_; }
    // Why a file that is there could not be read, naming it; empty otherwise.
    const std::string& error() const { return error_; }
    // The next line without its end; false at the end of the file.
    bool next(std::string& line);

private:
    std::string text_;
    LineReader lines_{std::string_view()};
    bool open_ = false;
    std::string error_;
};

// The data file's path as typed on the form, taken from the working folder when relative.
std::filesystem::path dataFileLocation(const std::filesystem::path& folder, const std::string& typed);

// Whether anything stands there to read, through a link: false only where nothing does (a
// missing file, a dangling link). What is no plain file is found, so that the reader names it.
bool dataFileFound(const std::filesystem::path& file);

} // namespace nivora
