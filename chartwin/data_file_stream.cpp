#include "chartwin/data_file_stream.h"

#include <system_error>

namespace nivora {

DataFileStream::DataFileStream(const std::filesystem::path& file)
{
    if (!dataFileFound(file))
        return;
    try {
        text_ = readWholeFile(file);
    } catch (const DataFileError& e) {
        error_ = e.what();
        return;
    }
    lines_ = LineReader(text_);
    open_ = true;
}

bool DataFileStream::next(std::string& line)
{
    std::string_view view;
    if (!open_ || !lines_.next(view))
        return false;
    line.assign(view);
    return true;
}

std::filesystem::path dataFileLocation(const std::filesystem::path& folder, const std::string& typed)
{
    return folder / typed;
}

bool dataFileFound(const std::filesystem::path& file)
{
    std::error_code error;
    return std::filesystem::status(file, error).type() != std::filesystem::file_type::not_found;
}

} // namespace nivora
